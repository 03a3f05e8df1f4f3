#include "tools/filename_form.h"

#include "forms/runtime.h"
#include "forms/wait.h"
#include "tools/copy_name.h"

namespace tools {

// The window's design: positions and sizes in twips and the tab order, as its designer laid them
// out.
// NOLINTBEGIN(readability-magic-numbers)
FilenameForm::FilenameForm(forms::Runtime& runtime, std::function<CopyStart()> start)
    : Form(runtime, "Filename", 7905, 2580),
      Label1(*this, "Label1", {360, 360, 1215, 255}, "自訂名稱"),
      Label2(*this, "Label2", {1800, 360, 1215, 255}, "IP位址"),
      Label3(*this, "Label3", {4080, 360, 1455, 255}, "印表機名稱"),
      Text1(*this, "Text1", {360, 720, 1095, 375}, "安裝"),
      Text2(*this, "Text2", {1800, 720, 2055, 375}, "ip"),
      Text3(*this, "Text3", {4080, 720, 3735, 375}, "印表機名稱"),
      Command1(*this, "Command1", {4440, 1560, 1335, 495}, "新增"),
      ADD_isntall_Command(*this, "ADD_isntall_Command", {6000, 1560, 1695, 495}, "新增後安裝"),
      // 420 twips high: its two lines need 26 px at 96 DPI in some faces of 新細明體, one more
      // than 375 twips give; it ends at the window's bottom edge.
      Label4(*this, "Label4", {120, 2160, 4575, 420},
             "說明 : 此功能為新增自訂個別的ip與印表機名稱的一鍵安裝執行檔，新增後會在資料夾下。"),
      start_(std::move(start)) {
    designCaption(kCopyWindowTitle);
    startPosition = forms::StartPosition::CenterOwner;

    Text1.tabIndex = 0;
    Text2.tabIndex = 1;
    Text3.tabIndex = 2;
    Command1.tabIndex = 3;
    Label1.tabIndex = 4;
    Label2.tabIndex = 5;
    Label3.tabIndex = 6;
    ADD_isntall_Command.tabIndex = 7;
    Label4.tabIndex = 8;
    // NOLINTEND(readability-magic-numbers)

    // Keys as in a dialog: Enter makes the copy (新增, the button that keeps the window open),
    // Escape closes the window as its close box does; it has no 取消.
    Command1.isDefault = true;
    closesOnEscape = true;

    Command1.onClick = [this] { Command1_Click(); };
    ADD_isntall_Command.onClick = [this] { ADD_isntall_Command_Click(); };
}

void FilenameForm::Form_Load() {
    const CopyStart start = start_();
    Text2.setText(start.address);
    // The name the main window shows: a copy's own, or the profile's.
    Text3.setText(start.printerName);
}

std::optional<std::string> FilenameForm::makeCopy() {
    platform::Services& os = runtime().services();
    const CopyPieces pieces{Text1.text(), Text2.text(), Text3.text()};
    if (std::optional<std::string> refused = refusedPiece(pieces, os.codepage)) {
        os.messageBoxes.show(*refused, kCopyWindowTitle, platform::Icon::Exclamation,
                             platform::Buttons::Ok);
        return std::nullopt;
    }
    const std::string name = copyName(pieces);
    // The running installer itself, whatever the package calls it: a copy of a copy is fine too.
    const std::string source = os.process.exeName();
    if (std::optional<platform::Error> e = runtime().trap([&] { os.files.copy(source, name); })) {
        // Said in place of 新增完成 or the run; the window stays for another try.
        os.messageBoxes.show(copyFailureText(source, name, e->description()), forms::kAppTitle,
                             platform::Icon::Stop, platform::Buttons::Ok);
        return std::nullopt;
    }
    return name;
}

void FilenameForm::Command1_Click() {
    platform::Services& os = runtime().services();
    if (!makeCopy())
        return;
    os.messageBoxes.show("新增完成", forms::kAppTitle, platform::Icon::Information,
                         platform::Buttons::Ok);
    constexpr float kPauseSeconds = 0.5f;  // between the notice and the folder's window
    forms::WaitSeconds(os.clock, os.messageBoxes, kPauseSeconds);
    // The shell opens the folder by name, so a folder with blanks in its name stays whole; the
    // program made it the current folder at start, where the copy now lies.
    os.shell.open(os.process.exeFolder(), "open", platform::window_style::kRestored);
}

void FilenameForm::ADD_isntall_Command_Click() {
    platform::Services& os = runtime().services();
    const std::optional<std::string> name = makeCopy();
    if (!name)
        return;
    hide();
    // By its bare name from the current folder, the package's; the copy's code is this run's.
    const long long copyExit =
        os.shell.run("\"" + *name + "\"", platform::window_style::kNormal, true);
    runtime().endProgram(static_cast<int>(copyExit));
}

}  // namespace tools
