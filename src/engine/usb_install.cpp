#include "engine/engine_steps.h"
#include "engine/setupprint_form.h"
#include "engine/usb_models.h"
#include "platform/error.h"
#include "text/text.h"

namespace engine {

namespace {

// devcon's own codes: 0 done, 1 done but the computer must restart; the others are failures.
bool devconSucceeded(long long exitCode) {
    return exitCode == 0 || exitCode == 1;
}

// Runs one devcon line; returns false when it could not even start, which ends the install.
bool runDevcon(EngineContext& ctx, const std::string& line, int style) {
    long long exitCode = 0;
    if (std::optional<platform::Error> failure =
            ctx.runtime.trap([&] { exitCode = ctx.os.shell.run(line, style, true); })) {
        std::string reason = forms::reasonOf(*failure);
        if (failure->number() == platform::errors::kFileNotFoundHresult) {
            // No devcon beside the installer; the system's text may already end a sentence.
            if (!text::endsWith(reason, "。"))
                reason += "。";
            reason += "請把 devcon.exe 放在安裝程式的資料夾。";
        }
        ctx.outcome.fail(line, reason);
        return false;
    }
    if (!devconSucceeded(exitCode))
        ctx.outcome.fail(line, "devcon 結束代碼 " + std::to_string(exitCode));
    return true;
}

}  // namespace

void usbInstall(EngineContext& ctx, EngineHost& host) {
    platform::Services& os = ctx.os;
    host.hideMainWindow();
    const std::string key = ctx.request.printerName;
    const UsbModel* model = findUsbModel(key);
    if (model == nullptr) {
        ctx.outcome.fail("USB 安裝「" + key + "」",
                         "這個機型沒有 USB 安裝方式，沒有安裝任何東西。");
    } else {
        if (model->message != nullptr) {
            os.messageBoxes.show(model->message, forms::kAppTitle, platform::Icon::None,
                                 platform::Buttons::Ok);
        }
        // A line that cannot start ends the install there, as a later line needs the earlier.
        if (runDevcon(ctx, kDevconRescan, platform::window_style::kHidden)) {
            for (const char* line : model->lines) {
                if (!runDevcon(ctx, line, model->windowStyle))
                    break;
            }
        }
    }
    ctx.notice.hide();
    if (ctx.outcome.failed()) {
        tellFailures(ctx);  // in place of "安裝完成", which would be untrue
        return;
    }
    os.messageBoxes.show("安裝完成", forms::kAppTitle, platform::Icon::Information,
                         platform::Buttons::Ok);
    os.shell.run(command::kControlPrinters, std::nullopt, false);
}

}  // namespace engine
