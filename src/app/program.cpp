#include "app/program.h"

#include <variant>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/uninstall.h"
#include "engine/setupprint_form.h"
#include "maker/advset_form.h"
#include "tools/filename_form.h"
#include "ui/about_form.h"
#include "ui/msg_form.h"

namespace app {

// Every window of the program, each made anew with its design-time values when referred to
// after an unload.
struct Program::Windows {
    explicit Windows(Program& p)
        : form1(p.runtime_, [&p] { return std::make_unique<Form1>(p); }),
          advset(p.runtime_,
                 [&p] {
                     return std::make_unique<maker::AdvsetForm>(
                         p.runtime_, [&p](const std::string& name) { p.form1().showSaved(name); });
                 }),
          setupprint(p.runtime_, [&p] { return std::make_unique<engine::SetupprintForm>(p); }),
          msg(p.runtime_, [&p] { return std::make_unique<ui::MsgForm>(p.runtime_); }),
          about(p.runtime_, [&p] { return std::make_unique<ui::AboutForm>(p.runtime_); }),
          filename(p.runtime_, [&p] {
              return std::make_unique<tools::FilenameForm>(p.runtime_,
                                                           [&p] { return p.form1().copyStart(); });
          }) {}

    forms::FormSlot<Form1> form1;
    forms::FormSlot<maker::AdvsetForm> advset;
    forms::FormSlot<engine::SetupprintForm> setupprint;
    forms::FormSlot<ui::MsgForm> msg;
    forms::FormSlot<ui::AboutForm> about;
    forms::FormSlot<tools::FilenameForm> filename;
};

namespace {

std::vector<std::string> argumentsOf(platform::Services& services) {
    try {
        return services.process.arguments();
    } catch (const platform::Error&) {
        return {};  // a command line that cannot be read starts as one without switches
    }
}

// The switches of the command line; the defaults, with the refusal kept, when it is refused.
command::Switches parsedSwitches(const std::vector<std::string>& arguments,
                                 std::optional<command::BadSwitch>& refused) {
    std::variant<command::Switches, command::BadSwitch> parsed = command::parseSwitches(arguments);
    if (auto* bad = std::get_if<command::BadSwitch>(&parsed)) {
        refused = std::move(*bad);
        return {};
    }
    return std::get<command::Switches>(parsed);
}

// The command line as the log shows it: each argument, those with blanks between quotes.
std::string commandLineText(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return "（無參數）";
    std::string text;
    for (const std::string& a : arguments) {
        if (!text.empty())
            text += ' ';
        text += a.empty() || a.find_first_of(" \t") != std::string::npos ? "\"" + a + "\"" : a;
    }
    return text;
}

}  // namespace

Program::Program(platform::Services& services, forms::Backend& backend, forms::ErrorSink* errors)
    : arguments_(argumentsOf(services)),
      switches_(parsedSwitches(arguments_, refused_)),
      unattended_(switches_.ui != command::Ui::Full || command::asksUnattended(arguments_)),
      chosen_(unattended_ ? platform::withMessageBoxes(services, unattendedBoxes_) : services),
      logged_(chosen_),
      services_(logged_.services()),
      outcome_(services.log),
      runtime_(backend, services_, errors),
      notice_([this]() -> ui::MsgForm& { return msg(); }),
      windows_(std::make_unique<Windows>(*this)) {
}

Program::~Program() = default;

Form1& Program::form1() {
    return windows_->form1();
}
maker::AdvsetForm& Program::advset() {
    return windows_->advset();
}
engine::SetupprintForm& Program::setupprint() {
    return windows_->setupprint();
}
ui::MsgForm& Program::msg() {
    return windows_->msg();
}
ui::AboutForm& Program::about() {
    return windows_->about();
}
tools::FilenameForm& Program::filename() {
    return windows_->filename();
}

void Program::startInstall(profile::UserChoice choice) {
    choice_ = std::move(choice);
    setupprint().show(false);
}

void Program::hideMainWindow() {
    form1().hide();
}

engine::InstallNotice& Program::notice() {
    if (switches_.ui == command::Ui::Quiet)
        return silentNotice_;
    return notice_;
}

void Program::run() {
    if (switches_.log)
        services_.log.copyTo(*switches_.log);
    services_.log.write("開始：" + services_.process.exeName() + "，資料夾 " +
                        services_.process.exeFolder());
    services_.log.write("命令列：" + commandLineText(arguments_) + "；帳戶：" +
                        (services_.process.runsAsLocalSystem() ? "LocalSystem" : "使用者"));
    if (refused_)
        refuseCommandLine(refused_->reason);
    if (switches_.help)
        showUsage();
    if (std::optional<std::string> refused = refusedSwitchValue(switches_, services_.codepage))
        refuseCommandLine(*refused);
    if (switches_.uninstall)
        runtime_.runFrom([this] { uninstallPackage(*this, !unattended_); });
    if (unattended_)
        runUnattended();
    runtime_.run([this]() -> forms::Form& { return form1(); });
}

void Program::refuseCommandLine(const std::string& reason) {
    services_.log.write("命令列不正確：" + reason);
    runtime_.trap([&] {
        services_.messageBoxes.show(reason + "\r\n\r\n" + command::usageText(), forms::kAppTitle,
                                    platform::Icon::Stop, platform::Buttons::Ok);
    });
    runtime_.endProgram(forms::exit_code::kBadCommandLine);
}

void Program::showUsage() {
    runtime_.trap([&] {
        services_.messageBoxes.show(command::usageText(), forms::kAppTitle,
                                    platform::Icon::Information, platform::Buttons::Ok);
    });
    runtime_.endProgram(forms::exit_code::kSuccess);
}

// The install the one-key path does after 確定 and 是, with the package's values and the
// command line's: the engine window loads, hidden, and the install runs in its load.
void Program::runUnattended() {
    profile::UserChoice choice;
    choice.address = switches_.ip;
    choice.packageName = switches_.name;
    choice.unattended = true;
    runtime_.runFrom([this, choice] {
        choice_ = choice;
        setupprint();
    });
}

forms::Form* Program::findLoaded(const std::string& formName) const {
    for (forms::Form* form : runtime_.loadedForms()) {
        if (form->name() == formName)
            return form;
    }
    return nullptr;
}

}  // namespace app
