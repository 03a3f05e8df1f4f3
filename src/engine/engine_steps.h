#pragma once
// The steps of an install run. Each platform call is one step: in the engine's load step a
// failing step is skipped and the run goes on with the next one.

#include <string>
#include <vector>

#include "engine/command_lines.h"
#include "forms/runtime.h"
#include "platform/services.h"

namespace app {
class Program;
}

namespace engine {

class SetupprintForm;

struct EngineContext {
    app::Program& program;
    platform::Services& os;
    forms::Runtime& runtime;
    SetupprintForm& window;

    // One step under the load step's error trap.
    bool step(const std::function<void()>& f) { return runtime.trap(f); }
};

// The port for an address; a port name that cannot be obtained stays as it was.
std::string createPort(EngineContext& ctx, const std::string& address, std::string portName);

// The steps the option pair selects for one pass; returns whether an install step ran.
bool runPassSteps(EngineContext& ctx, OptionSteps steps, const std::string& passName,
                  const std::string& installCommand, const std::string& preferenceCommand);

// After the last pass: the printers whose install line ran must exist; a missing one is
// reported with its model and INF file. Says nothing when WMI cannot be asked.
void verifyPrinters(EngineContext& ctx, const std::vector<std::string>& printerNames,
                    const std::string& model, const std::string& infFile);

void renamePrinter(EngineContext& ctx, const std::string& oldName, const std::string& newName);

// Renames, closes the notice window, opens the printers window, writes the default-printer
// mode and ends the program.
[[noreturn]] void finishRun(EngineContext& ctx, const NameParts& names, bool installStepRan);

[[noreturn]] void connectShareFromProfile(EngineContext& ctx);
[[noreturn]] void connectShareFromName(EngineContext& ctx, const NameParts& names);

// The USB installation of the model named in Text2.
void usbInstall(EngineContext& ctx);

// The per-user value that keeps Windows from choosing the default printer itself.
void writeLegacyDefaultPrinterMode(platform::Shell& shell);

}  // namespace engine
