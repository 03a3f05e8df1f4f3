#pragma once
// The program: its windows, each loaded on first reference, over one set of platform services.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/unattended_boxes.h"
#include "command/switches.h"
#include "engine/setupprint_form.h"
#include "engine/silent_notice.h"
#include "forms/backend.h"
#include "forms/outcome.h"
#include "forms/runtime.h"
#include "platform/logging.h"
#include "platform/services.h"
#include "profile/install_request.h"
#include "tools/tool_buttons.h"
#include "ui/notice_window.h"

namespace maker {
class AdvsetForm;
}
namespace ui {
class MsgForm;
class AboutForm;
}  // namespace ui
namespace tools {
class FilenameForm;
}

namespace app {

class Form1;

class Program : public engine::EngineHost {
  public:
    Program(platform::Services& services, forms::Backend& backend,
            forms::ErrorSink* errors = nullptr);
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts as the command line says (in the main window without switches) and returns only
    // by ending the process.
    [[noreturn]] void run();

    // The command line's switches; the defaults when it was refused.
    const command::Switches& switches() const { return switches_; }

    forms::Runtime& runtime() override { return runtime_; }
    // The services every window uses; their changes go to the install log.
    platform::Services& services() { return services_; }
    // The failed steps of this run.
    forms::Outcome& outcome() override { return outcome_; }
    tools::ToolContext toolContext() { return {runtime_, services_, outcome_}; }

    // Starts the install with what the user chose: the engine window runs it as it loads.
    void startInstall(profile::UserChoice choice);

    // What the install sees of the program.
    engine::InstallNotice& notice() override;
    const profile::UserChoice& choice() override { return choice_; }
    void hideMainWindow() override;

    // The windows; a reference loads a window that is not loaded.
    Form1& form1();
    maker::AdvsetForm& advset();
    engine::SetupprintForm& setupprint();
    ui::MsgForm& msg();
    ui::AboutForm& about();
    tools::FilenameForm& filename();

    // A window by name if it is loaded, for the scenario runner and the tests.
    forms::Form* findLoaded(const std::string& formName) const;

  private:
    struct Windows;
    [[noreturn]] void refuseCommandLine(const std::string& reason);
    [[noreturn]] void showUsage();
    [[noreturn]] void runUnattended();

    std::vector<std::string> arguments_;
    // The command line's switches, or why it is refused (then the switches are the defaults).
    std::optional<command::BadSwitch> refused_;
    command::Switches switches_;
    // Nobody watches the run (/quiet, /passive): no message box shows.
    bool unattended_;
    UnattendedBoxes unattendedBoxes_;
    platform::Services chosen_;
    platform::LoggedServices logged_;
    platform::Services& services_;
    forms::Outcome outcome_;
    profile::UserChoice choice_;
    forms::Runtime runtime_;
    ui::NoticeWindow notice_;
    engine::SilentNotice silentNotice_;
    std::unique_ptr<Windows> windows_;
};

}  // namespace app
