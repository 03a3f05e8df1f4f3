#include "app/form1.h"

#include "app/own_address.h"
#include "app/program.h"
#include "engine/setupprint_form.h"
#include "forms/damaged_package.h"
#include "forms/runtime.h"
#include "maker/advset_form.h"
#include "profile/address_check.h"
#include "profile/copy_name_parts.h"
#include "profile/install_request.h"
#include "profile/profile_store.h"
#include "tools/filename_form.h"
#include "tools/tool_buttons.h"
#include "ui/about_form.h"
#include "ui/msg_form.h"

namespace app {

namespace {
constexpr forms::Rgb kStripGrey{0x808080};
constexpr forms::Rgb kPaleYellow{0xFFFFC0};
constexpr forms::Rgb kLinkBlue{0x0000FF};
constexpr forms::Rgb kWhite{0xFFFFFF};
}  // namespace

// The window's design in one place: every control, its place, look and tab order. Its numbers
// are twips, points and tab positions, as its designer laid them out.
// NOLINTBEGIN(readability-magic-numbers)
// NOLINTNEXTLINE(readability-function-size)
Form1::Form1(Program& program)
    : Form(program.runtime(), "Form1", 4905, 2265),
      Label3(*this, "Label3", {360, 120, 3015, 495}, "請輸入影印機 IP"),
      Text1(*this, "Text1", {840, 840, 2175, 405}, ""),
      Command1(*this, "Command1", {3840, 600, 900, 500}, "確定"),
      Command2(*this, "Command2", {3840, 1320, 900, 500}, "取消"),
      // 2295 twips wide: at 9 points the link needs more than 1935, or its last character
      // wraps out of sight.
      Label2(*this, "Label2", {960, 1440, 2295, 255}, "如果您不知道 IP 請點我"),
      Label1(*this, "Label1", {0, 1920, 5655, 375}, "Label1"),
      Text2(*this, "Text2", {720, 1920, 4215, 375}, "Text2"),
      ip(*this, "ip", {5880, 1800, 1095, 255}, "Label3"),
      print_nameLabel(*this, "print_nameLabel", {5880, 2160, 1815, 255}, "原始印表機名稱"),
      Picture1(*this, "Picture1", {5880, 2520, 3375, 375}),
      Label15(*this, "Label15", {0, 60, 3255, 255}, "機型：Generic 36C-1SeriesPCL"),
      size(*this, "size", {7440, 840, 1095, 255}, "w5000*h300"),
      Command6(*this, "Command6", {5880, 1200, 1095, 495}, "setup now"),
      Command4(*this, "Command4", {5880, 120, 1095, 495}, "VBS"),
      Command5(*this, "Command5", {5880, 720, 975, 375}, "Command5"),
      Command3(*this, "Command3", {3480, 3000, 2175, 375}, "檢查驅動是否安裝"),
      Command7(*this, "Command7", {840, 3000, 1455, 375}, "作業系統版本"),
      local_port(*this, "local_port", {7440, 120, 1095, 615}, "LocalPort"),
      mnuContextMenu(*this, "mnuContextMenu", "進階", nullptr),
      ADV(*this, "ADV", "設定值", &mnuContextMenu),
      t1(*this, "t1", "-", &mnuContextMenu),
      Share_Install(*this, "Share_Install", "抓分享", &mnuContextMenu),
      muti_oneKey(*this, "muti_oneKey", "建立一鍵安裝檔", &mnuContextMenu),
      USB_install(*this, "USB_install", "本機USB安裝", &mnuContextMenu),
      about(*this, "about", "關於", &mnuContextMenu),
      ver(*this, "ver", "版本:2.8", &mnuContextMenu),
      program_(program) {
    designCaption("Velmora");
    backColor = forms::Rgb{0xC0C0C0};
    startPosition = forms::StartPosition::CenterScreen;
    minButton = true;

    Label3.font.points = 14.25;
    Text1.font.points = 15.75;
    Label2.foreColor = kLinkBlue;
    Label2.font.underline = true;
    Label1.backColor = kStripGrey;
    Label1.backTransparent = false;
    Label1.foreColor = kWhite;
    Label1.font.points = 12;
    // The strip starts at the window's edge; its text keeps a little distance from it.
    Label1.indent = 60;
    Text2.backColor = kPaleYellow;
    Text2.font.points = 12;
    print_nameLabel.designVisible(false);
    Label15.placeIn(Picture1);

    // The tab order starts with the confirm button, then the address, then cancel.
    Command1.tabIndex = 0;
    Text1.tabIndex = 1;
    Command2.tabIndex = 2;
    Command6.tabIndex = 3;
    Label3.tabIndex = 4;
    Text2.tabIndex = 5;
    Command4.tabIndex = 6;
    Command5.tabIndex = 7;
    Label2.tabIndex = 8;
    Command3.tabIndex = 9;
    Command7.tabIndex = 10;
    Label1.tabIndex = 11;
    ip.tabIndex = 12;
    print_nameLabel.tabIndex = 13;
    Picture1.tabIndex = 14;
    local_port.tabIndex = 15;
    size.tabIndex = 16;
    Label15.tabIndex = 0;
    // NOLINTEND(readability-magic-numbers)

    // These launches exist for other configurations; this one never offers them.
    Share_Install.designVisible(false);
    Share_Install.designEnabled(false);
    USB_install.designVisible(false);
    USB_install.designEnabled(false);
    ver.designEnabled(false);

    Text1.onKeyPress = [this](int& key) { Text1_KeyPress(key); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Label2.onClick = [this] { Label2_Click(); };
    ADV.onClick = [this] { ADV_Click(); };
    about.onClick = [this] { about_Click(); };
    muti_oneKey.onClick = [this] { muti_oneKey_Click(); };
    Share_Install.onClick = [this] { Share_Install_Click(); };
    USB_install.onClick = [this] { USB_install_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    Command6.onClick = [this] { Command6_Click(); };
    Command7.onClick = [this] { Command7_Click(); };
    local_port.onClick = [this] { local_port_Click(); };
}

void Form1::Form_Load() {
    platform::Services& os = program_.services();
    // Nothing waits for the registry command, so a failure to start it goes unnoticed too.
    runtime().trap([&] { os.launcher.start(kUncCheckCommand, platform::window_style::kHidden); });

    profile::ProfileStore store(os.files, os.codepage);
    store.ensureExists();
    const std::string line = store.readFirstLine();
    os.log.write("ip.ini：" + line);
    profile::InstallProfile fields =
        profile::fromParts(profile::splitLine(line, profile::chooseSeparator(line)));
    // A copy installs the address and printer its own name carries: those are what the user
    // confirms here.
    const profile::NameParts names = profile::namePartsOf(os.process.exeName());
    if (auto address = names.nonEmpty(1))
        fields.printerAddress = *address;
    if (auto name = names.nonEmpty(2))
        fields.printerName = *name;
    // The command line's values, for this run only.
    if (program_.switches().ip)
        fields.printerAddress = *program_.switches().ip;
    if (program_.switches().name)
        fields.printerName = *program_.switches().name;

    // A machine whose WMI cannot be reached still shows the window, without an own address.
    std::string ownAddress;
    runtime().trap([&] { ownAddress = findOwnAddress(os.wmi); });

    ip.setText(ownAddress);
    Text1.setText(fields.printerAddress);
    if (fields.printerAddress == profile::kPlaceholderAddress)
        Text1.setText(ip.text());
    Label1.setText(kModelPrefix + fields.printerName);
    setCaption(kMainTitle);
    Text2.setText(fields.printerName);
    print_nameLabel.setText(fields.printerName);
    if (fields.twoPrinters())
        Text2.setEnabled(false);
}

void Form1::showSaved(const std::string& printerName) {
    Label1.setText(kModelPrefix + printerName);
    Text2.setText(printerName);
}

tools::CopyStart Form1::copyStart() const {
    return {Text1.text(), print_nameLabel.text()};
}

void Form1::Form_Activate() {
    setFocus(Text1);
    // Puts the caret after the last character of any address.
    constexpr int kPastAnyAddress = 255;
    Text1.setSelStart(kPastAnyAddress);
}

void Form1::Text1_KeyPress(int& keyAscii) {
    // Enter confirms, as the button would; the key itself goes on to the box.
    if (keyAscii == forms::kKeyReturn)
        Command1_Click();
}

void Form1::Command1_Click() {
    platform::Services& os = program_.services();
    if (Text1.text() == ip.text()) {
        os.messageBoxes.show("您的IP尚未修改，請先修改後再按確定。", "提示",
                             platform::Icon::Exclamation, platform::Buttons::Ok);
        return;
    }
    if (!profile::isAcceptableAddress(Text1.text(), os.codepage)) {
        os.log.write("位址不正確，未接受：" + Text1.text());
        os.messageBoxes.show("IP不正確", forms::kAppTitle, platform::Icon::Stop,
                             platform::Buttons::Ok);
        return;
    }
    // The other fields as ip.ini holds them. A profile that was not read whole is never
    // written back: the fields would be guesses.
    const std::vector<std::string> parts = profile::ProfileStore(os.files, os.codepage).readParts();
    if (const std::optional<std::string> damage = profile::damageOf(parts))
        forms::stopDamagedPackage(runtime(), os, *damage);
    profile::InstallProfile confirmed = profile::fromParts(parts);
    confirmed.printerAddress = Text1.text();
    // ip.ini is shared by every copy and by the installer: a copy's run leaves it alone. A
    // profile that cannot be written (a read-only share) is logged, and the install goes on
    // with the address confirmed.
    if (!profile::namePartsOf(os.process.exeName()).isCopy()) {
        if (std::optional<platform::Error> e = runtime().trap(
                [&] { profile::ProfileStore(os.files, os.codepage).write(confirmed); })) {
            os.log.write("無法寫入 ip.ini，以確認的位址繼續安裝：" + e->description());
        } else {
            os.log.write("ip.ini 寫入：" + profile::firstLine(profile::formatLine(confirmed)));
        }
    }
    platform::Answer answer =
        os.messageBoxes.show("IP 已設定完成。\r\n\r\n您是否要立即安裝驅動程式？", "提示",
                             platform::Icon::Question, platform::Buttons::YesNo);
    if (answer == platform::Answer::Yes) {
        hide();
        program_.startInstall(userChoice());
    } else {
        runtime().setExitCode(forms::exit_code::kUserCancelled);
    }
    if (engine::SetupprintForm* engineWindow =
            static_cast<engine::SetupprintForm*>(program_.findLoaded("setupprint"))) {
        engineWindow->unload();
    }
    unload();
}

void Form1::Command2_Click() {
    runtime().endProgram(forms::exit_code::kUserCancelled);
}

void Form1::Form_QueryUnload(bool& cancel, forms::CloseReason reason) {
    if (reason != forms::CloseReason::ControlMenu)
        return;
    platform::Answer answer = program_.services().messageBoxes.show(
        "確定要退出嗎?", forms::kAppTitle, platform::Icon::None, platform::Buttons::YesNo);
    if (answer == platform::Answer::Yes)
        runtime().endProgram(forms::exit_code::kUserCancelled);
    cancel = true;
}

void Form1::Label2_Click() {
    program_.services().launcher.start(ui::browserCommand(kHelpPageAddress),
                                       platform::window_style::kMinimized);
}

void Form1::ADV_Click() {
    program_.advset().show(true);
}

void Form1::about_Click() {
    program_.about().show(true);
}

// Not modal: the main window stays usable beside the copy window.
void Form1::muti_oneKey_Click() {
    program_.filename().show(false);
}

void Form1::Share_Install_Click() {
    hide();
    // Writing the notice loads it, and it puts itself on top.
    program_.msg().Label2.setText("本機SHARE安裝");
    program_.msg().show(false);
    profile::UserChoice choice;
    choice.mode = profile::InstallMode::Share;
    program_.startInstall(choice);
}

void Form1::USB_install_Click() {
    hide();
    program_.msg().Label2.setText("本機USB安裝");
    program_.msg().show(false);
    profile::UserChoice choice;
    choice.mode = profile::InstallMode::Usb;
    program_.startInstall(choice);
    if (forms::Form* notice = program_.findLoaded("msg"))
        notice->unload();
    if (forms::Form* engineWindow = program_.findLoaded("setupprint"))
        engineWindow->unload();
    unload();
    runtime().endProgram(program_.outcome().exitCode());
}

void Form1::Command3_Click() {
    tools::ToolContext ctx = program_.toolContext();
    tools::checkDriverInstalled(ctx);
}

void Form1::Command4_Click() {
    tools::ToolContext ctx = program_.toolContext();
    tools::installThroughWmi(ctx, tools::WmiInstallButton::Vbs, [](const std::string&) {});
}

void Form1::Command5_Click() {
    tools::ToolContext ctx = program_.toolContext();
    tools::installThroughWmi(ctx, tools::WmiInstallButton::Command5,
                             [this](const std::string& line) { print(line); });
}

void Form1::Command6_Click() {
    tools::ToolContext ctx = program_.toolContext();
    // The boxes as they stand, confirmed or not.
    if (!tools::installThroughPrintui(ctx, Text1.text(), Text2.text()))
        return;
    unload();
    if (forms::Form* maker = program_.findLoaded("ADVSET"))
        maker->unload();
    program_.msg().show(false);
}

void Form1::Command7_Click() {
    tools::ToolContext ctx = program_.toolContext();
    tools::showSystemVersion(ctx);
}

void Form1::local_port_Click() {
    tools::ToolContext ctx = program_.toolContext();
    tools::registerFixedSharePort(ctx);
}

profile::UserChoice Form1::userChoice() const {
    profile::UserChoice choice;
    choice.address = Text1.text();
    choice.packageName = program_.switches().name;
    // A name typed over the one shown.
    if (Text2.text() != print_nameLabel.text())
        choice.printerName = Text2.text();
    return choice;
}

}  // namespace app
