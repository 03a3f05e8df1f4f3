#pragma once
// The copy window: makes copies of the installer whose names carry a custom word, an address
// and a printer name, so one package folder holds a ready installer for each printer.

#include <functional>
#include <optional>
#include <string>

#include "forms/control.h"
#include "forms/form.h"

namespace tools {

inline constexpr const char* kCopyWindowTitle = "建立一鍵安裝檔";

// What the copy window starts with: the address and printer name the main window shows.
struct CopyStart {
    std::string address;
    std::string printerName;
};

class FilenameForm : public forms::Form {
  public:
    FilenameForm(forms::Runtime& runtime, std::function<CopyStart()> start);

    void Form_Load() override;
    void Command1_Click();
    void ADD_isntall_Command_Click();

    forms::Label Label1;
    forms::Label Label2;
    forms::Label Label3;
    forms::TextBox Text1;  // custom word
    forms::TextBox Text2;  // printer address
    forms::TextBox Text3;  // printer name
    forms::CommandButton Command1;
    forms::CommandButton ADD_isntall_Command;
    forms::Label Label4;

  private:
    // Copies the installer under the name the boxes give and returns that name; none when a box
    // was refused or the copy failed, both already told to the user.
    std::optional<std::string> makeCopy();

    std::function<CopyStart()> start_;
};

}  // namespace tools
