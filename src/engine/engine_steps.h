#pragma once
// The steps of an install run. Each platform call is one step: in the engine's load step a
// failing step is skipped and the run goes on with the next one.

#include <optional>
#include <string>
#include <vector>

#include "command/install_lines.h"
#include "engine/install_notice.h"
#include "forms/outcome.h"
#include "forms/runtime.h"
#include "platform/services.h"
#include "profile/install_request.h"

namespace engine {

class EngineHost;

using command::InstallPass;
using command::OptionSteps;
using command::PortName;

// What a run made on the PC, so that a run that cannot give the package's printer takes it
// back; what was there before it started is never its to remove.
struct MadeByRun {
    std::optional<std::string> port;  // a TCP/IP port that was not there
    // A port whose earlier presence is not known (its look failed, or a network path's Ports
    // value): an undo keeps it and says so.
    std::optional<std::string> unsurePort;
    std::vector<std::string> printers;  // printers whose install line ran
};

struct EngineContext {
    platform::Services& os;
    forms::Runtime& runtime;
    forms::Outcome& outcome;
    InstallNotice& notice;
    // What this run installs, once the profile is read.
    profile::InstallRequest request;
    // Run as the LocalSystem account (a deployment tool's): the user's own settings, the
    // default printer among them, are not its to write.
    bool localSystem = false;
    MadeByRun made{};
    // Set once the run has taken back what it made: nothing is renamed or shown afterwards.
    bool undone = false;
    // Said after the failed steps in the closing message, e.g. what an undo did.
    std::string closingNote{};

    // One step under the load step's error trap, for what only shows the run (progress texts,
    // windows): its failure is skipped.
    bool step(const std::function<void()>& f) { return !runtime.trap(f); }
    // A step the user's order asked for: its failure is skipped as well, and kept under that
    // name for the message that closes the run.
    bool task(const std::string& name, const std::function<void()>& f);
    // The notice window's progress text; the log keeps it too, to show where a run stood.
    void progress(const std::string& text);
};

// The port for an address, or nothing when there is no port a printer can print to: a pass
// without one adds no printer.
std::optional<PortName> createPort(EngineContext& ctx, const std::string& address);

// Before the first change: whether the printer at a TCP/IP address answers. When it does not,
// the user is asked whether to install anyway (a run nobody watches logs it and goes on).
enum class ProbeVerdict { GoOn, Declined, Unasked };
ProbeVerdict probePrinter(EngineContext& ctx);

// Takes back what the run made, newest first, each removal logged and a failed one told; the
// closing message says whether the PC is as it was.
void undoRun(EngineContext& ctx, const std::string& why);

// The steps the option pair selects for one pass; returns whether an install step ran. A
// printer already there as the package has it takes no install line.
bool runPassSteps(EngineContext& ctx, OptionSteps steps, const std::string& passName,
                  const std::string& installCommand, const std::string& preferenceCommand,
                  const std::string& preferenceFile, bool alreadyInstalled);

// A printer of this name from an earlier run: one on the package's port and driver is kept,
// as a second install would only fail; one on another is removed, so the install makes it as
// the package says. Returns whether the printer is there as the package has it.
bool keepOrClearEarlierPrinter(EngineContext& ctx, const std::string& name, const PortName& port,
                               const std::string& model);

// Opens the printers window for the user; a run nobody watches opens nothing.
void openPrintersWindow(EngineContext& ctx);

// After the last pass: the printers whose install line ran must exist; a missing one is a
// failed step, named with its model and INF file. Returns whether one is known to be missing
// (not when WMI cannot be asked, which is a failed step of its own).
bool verifyPrinters(EngineContext& ctx, const std::vector<std::string>& printerNames,
                    const std::string& model, const std::string& infFile);

// Renames every printer named oldName; when mustFind is set, finding none is a failed step.
void renamePrinter(EngineContext& ctx, const std::string& oldName, const std::string& newName,
                   bool mustFind);

// Renames, closes the notice window, opens the printers window, writes the default-printer
// mode, tells the failed steps if there were any, and ends the program with its exit code.
[[noreturn]] void finishRun(EngineContext& ctx, bool installStepRan, bool twoPrinters);

// The message listing the failed steps, when there were any. Its own failure is only logged.
void tellFailures(EngineContext& ctx);

[[noreturn]] void connectShareFromProfile(EngineContext& ctx);
[[noreturn]] void connectShareFromName(EngineContext& ctx, const profile::NameParts& names);

// The USB installation of the model the profile names as its printer.
void usbInstall(EngineContext& ctx, EngineHost& host);

// The per-user value that keeps Windows from choosing the default printer itself.
void writeLegacyDefaultPrinterMode(platform::Shell& shell);

}  // namespace engine
