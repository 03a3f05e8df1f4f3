// The package maker's recording of printing-preference files (製作).

#include "forms/outcome.h"
#include "forms/runtime.h"
#include "maker/advset_form.h"
#include "maker/recording.h"

namespace maker {

namespace {

constexpr const char* kPrinterQuery = "SELECT * FROM Win32_PrinterConfiguration";
constexpr const char* kPrinterMoniker = "winmgmts:\\\\.\\root\\CIMV2";
constexpr int kReturnImmediatelyForwardOnly = 48;

// Why a recording did not write its file, or nothing when it did.
using Failure = std::optional<std::string>;

// Records one printer's settings into the file and checks that this recording wrote it. An
// older file is kept aside first and put back when the recording failed: a failed recording
// never loses the settings recorded before.
Failure record(platform::Services& os, const std::string& printer, const std::string& file) {
    const std::string kept = file + ".velmora-old";
    const std::optional<platform::FileStamp> before = os.files.stamp(file);
    if (before) {
        try {
            os.files.copy(file, kept);
        } catch (const platform::Error& e) {
            return "無法先保留原來的 " + file + "（" + forms::reasonOf(e) + "），沒有製作。";
        }
    }
    Failure failure;
    try {
        os.shell.run(recordingLine(printer, file), platform::window_style::kMinimized, true);
        const std::optional<platform::FileStamp> after = os.files.stamp(file);
        if (!after || after->size == 0 || after == before)
            failure = "印表機介面沒有寫入 " + file + "。";
    } catch (const platform::Error& e) {
        failure = forms::reasonOf(e);
    }
    if (before) {
        try {
            if (failure)
                os.files.copy(kept, file);
            os.files.remove(kept);
        } catch (const platform::Error& e) {
            *failure += "\r\n原來的檔案留在 " + kept + "（" + forms::reasonOf(e) + "）。";
        }
    }
    return failure;
}

std::string notWritten(const std::string& printer, const std::string& file,
                       const std::string& reason) {
    return "印表機「" + printer + "」的列印喜好設定沒有寫入 " + file + "：" + reason;
}

}  // namespace

bool AdvsetForm::askToRecord(const char* question) {
    return runtime().services().messageBoxes.show(question, "提示", platform::Icon::Question,
                                                  platform::Buttons::YesNo) ==
           platform::Answer::Yes;
}

bool AdvsetForm::refuseRecording(const std::string& printerName) {
    if (auto refused = recordingRefusal(printerName)) {
        runtime().services().messageBoxes.show(*refused, kRecordingTitle,
                                               platform::Icon::Exclamation, platform::Buttons::Ok);
        return true;
    }
    return false;
}

void AdvsetForm::Command5_Click() {
    platform::Services& os = runtime().services();
    if (!askToRecord(kOnePrinterQuestion))
        return;
    const std::string name = Text2.text();
    if (refuseRecording(name))
        return;
    auto wmi = os.wmi.connect(kPrinterMoniker);
    for (const platform::WmiObject& printer :
         wmi->execQuery(kPrinterQuery, kReturnImmediatelyForwardOnly)) {
        const platform::Value* description = printer.property("Description");
        if (description == nullptr || description->string != name)
            continue;
        if (Failure failed = record(os, name, kBlackFile)) {
            os.messageBoxes.show("製作失敗，" + notWritten(name, kBlackFile, *failed),
                                 kRecordingTitle, platform::Icon::Exclamation,
                                 platform::Buttons::Ok);
            return;
        }
        os.messageBoxes.show("製作完成。", kRecordingTitle, platform::Icon::Information,
                             platform::Buttons::Ok);
        Label5.setVisible(false);
        Label8.setVisible(true);
        Check2.setValue(1);
        return;
    }
    os.messageBoxes.show("製作失敗，找不到印表機 " + name, kRecordingTitle,
                         platform::Icon::Exclamation, platform::Buttons::Ok);
}

void AdvsetForm::cmdCBset_Click() {
    platform::Services& os = runtime().services();
    if (!askToRecord(kTwoPrinterQuestion))
        return;
    const std::string name = Text2.text();
    struct Form {
        std::string printer;
        const char* file;
        bool found = false;
        Failure failure;
    };
    Form forms[] = {{name + profile::kBlackSuffix, kBlackFile, false, std::nullopt},
                    {name + profile::kColorSuffix, kColorFile, false, std::nullopt}};
    if (refuseRecording(forms[0].printer) || refuseRecording(forms[1].printer))
        return;
    auto wmi = os.wmi.connect(kPrinterMoniker);
    // Every item is looked at; a printer listed twice is recorded twice, the last one counts.
    for (const platform::WmiObject& printer :
         wmi->execQuery(kPrinterQuery, kReturnImmediatelyForwardOnly)) {
        const platform::Value* description = printer.property("Description");
        if (description == nullptr)
            continue;
        for (Form& f : forms) {
            if (description->string == f.printer) {
                f.found = true;
                f.failure = record(os, f.printer, f.file);
            }
        }
    }
    bool allFound = true;
    std::string details;
    for (const Form& f : forms) {
        if (!f.found) {
            allFound = false;
            details += "\r\n找不到印表機 " + f.printer;
        } else if (f.failure) {
            details += "\r\n" + notWritten(f.printer, f.file, *f.failure);
        }
    }
    if (!details.empty()) {
        // The file of a printer that was found and recorded stays recorded.
        os.messageBoxes.show(
            (allFound ? "製作失敗" : "製作失敗，找不到印表機") + std::string("\r\n") + details,
            kRecordingTitle, platform::Icon::Exclamation, platform::Buttons::Ok);
        return;
    }
    os.messageBoxes.show("製作完成。", kRecordingTitle, platform::Icon::Information,
                         platform::Buttons::Ok);
    Check2.setValue(1);
    Label6.setVisible(false);
    Label9.setVisible(true);
}

}  // namespace maker
