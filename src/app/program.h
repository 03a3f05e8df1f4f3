#pragma once
// The program: its windows, each loaded on first reference, over one set of platform services.

#include <memory>
#include <optional>
#include <string>

#include "app/outcome.h"
#include "forms/backend.h"
#include "forms/runtime.h"
#include "platform/logging.h"
#include "platform/services.h"

namespace maker {
class AdvsetForm;
}
namespace engine {
class SetupprintForm;
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

class Program {
  public:
    Program(platform::Services& services, forms::Backend& backend,
            forms::ErrorSink* errors = nullptr);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts in the main window and returns only by ending the process.
    [[noreturn]] void run();

    forms::Runtime& runtime() { return runtime_; }
    // The services every window uses; their changes go to the install log.
    platform::Services& services() { return services_; }
    // The failed steps of this run.
    Outcome& outcome() { return outcome_; }

    // The address the user confirmed in the main window, for the install that follows it: it
    // is what is installed, over the profile's and a copy's own, and holds when ip.ini could not
    // be written (a read-only package) or is not written (a copy's run).
    void setConfirmedAddress(std::string address) { confirmedAddress_ = std::move(address); }
    const std::optional<std::string>& confirmedAddress() const { return confirmedAddress_; }

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
    platform::LoggedServices logged_;
    platform::Services& services_;
    Outcome outcome_;
    std::optional<std::string> confirmedAddress_;
    forms::Runtime runtime_;
    std::unique_ptr<Windows> windows_;
};

}  // namespace app
