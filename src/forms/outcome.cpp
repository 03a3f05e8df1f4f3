#include "forms/outcome.h"

#include "forms/runtime.h"
#include "platform/log_text.h"

namespace forms {

void Outcome::fail(const std::string& step, const std::string& reason) {
    log_.write("步驟失敗：" + step + "：" + reason);
    // A step is told once, with its first reason: a printer that could not be started is also
    // missing afterwards, and a port made twice fails twice alike.
    for (const FailedStep& f : failures_) {
        if (f.step == step)
            return;
    }
    failures_.push_back({step, reason});
}

void Outcome::fail(const std::string& step, const platform::Error& error) {
    fail(step, reasonOf(error));
}

int Outcome::exitCode() const {
    return failed() ? forms::exit_code::kFailed : forms::exit_code::kSuccess;
}

std::string reasonOf(const platform::Error& error) {
    return "錯誤 " + platform::errorNumberText(error.number()) + "：" + error.description();
}

std::string failureSummary(const std::vector<FailedStep>& failures) {
    std::string text = "安裝沒有全部完成，下列步驟失敗：\r\n";
    for (const FailedStep& f : failures)
        text += "\r\n● " + f.step + "\r\n    " + f.reason + "\r\n";
    text += "\r\n詳細經過記錄在暫存資料夾（%TEMP%）的 Velmora.log。";
    return text;
}

std::string damagedPackageText(const std::string& what) {
    return "安裝套件已損毀：" + what + "\r\n\r\n沒有安裝任何東西。";
}

}  // namespace forms
