#pragma once
// The main window: the end user's address entry. It starts the program.

#include "forms/control.h"
#include "forms/form.h"
#include "profile/install_request.h"
#include "tools/filename_form.h"

namespace app {

class Program;

// A page on finding a printer's address, for users who do not know it.
inline constexpr const char* kHelpPageAddress =
    "https://www.wikihow.com/Find-the-IP-Address-of-Your-Printer";

inline constexpr const char* kMainTitle = "Velmora  安裝驅動程式  ";
inline constexpr const char* kModelPrefix = "機型： ";
// Lets the command interpreter start in a folder that is a network path.
inline constexpr const char* kUncCheckCommand =
    "reg add \"HKEY_CURRENT_USER\\Software\\Microsoft\\Command Processor\" /v "
    "\"DisableUNCCheck\" /t REG_DWORD /d 00000001 /f";

class Form1 : public forms::Form {
  public:
    explicit Form1(Program& program);

    void Form_Load() override;
    // A profile the package maker saved: its printer name is shown.
    void showSaved(const std::string& printerName);
    // What the copy window starts with: the address box and the name shown.
    tools::CopyStart copyStart() const;
    // What the user confirmed, for the install that follows.
    profile::UserChoice userChoice() const;
    void Form_Activate() override;
    void Form_QueryUnload(bool& cancel, forms::CloseReason reason) override;
    void Text1_KeyPress(int& keyAscii);
    void Command1_Click();
    void Command2_Click();
    void Label2_Click();
    void ADV_Click();
    void about_Click();
    void muti_oneKey_Click();
    void Share_Install_Click();
    void USB_install_Click();
    // The tool buttons outside the client area (tools/tool_buttons.h).
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void local_port_Click();

    // Seen by the user.
    forms::Label Label3;
    forms::TextBox Text1;
    forms::CommandButton Command1;
    forms::CommandButton Command2;
    forms::Label Label2;
    forms::Label Label1;
    forms::TextBox Text2;
    // Outside the client area or hidden: values for the other windows, and the tool buttons.
    forms::Label ip;
    forms::Label print_nameLabel;
    forms::Picture Picture1;
    forms::Label Label15;
    forms::Label size;
    forms::CommandButton Command6;
    forms::CommandButton Command4;
    forms::CommandButton Command5;
    forms::CommandButton Command3;
    forms::CommandButton Command7;
    forms::CommandButton local_port;
    // The menu bar.
    forms::MenuItem mnuContextMenu;
    forms::MenuItem ADV;
    forms::MenuItem t1;
    forms::MenuItem Share_Install;
    forms::MenuItem muti_oneKey;
    forms::MenuItem USB_install;
    forms::MenuItem about;
    forms::MenuItem ver;

  private:
    Program& program_;
};

}  // namespace app
