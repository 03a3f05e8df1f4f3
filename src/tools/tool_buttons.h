#pragma once
// The main window's tool buttons, which lie outside its client area: printer diagnostics, the
// fixed local port, and two direct installs that bypass the install engine. Form1's click
// reactions call these; an error none of them handles stops the program in the standard way.

#include <functional>
#include <optional>

#include "forms/runtime.h"
#include "platform/error.h"
#include "tools/direct_install.h"

namespace app {
class Program;
}

namespace tools {

// The local port LocalPort registers: a network path of its own, used nowhere else.
inline constexpr const char* kFixedSharePort = "\\\\192.168.10.10\\printer";

// 檢查驅動是否安裝: for each installed printer, whether its name holds the profile's model
// (exact case), one message per printer.
void checkDriverInstalled(app::Program& program);

// 作業系統版本: the system's caption and version.
void showSystemVersion(app::Program& program);

// LocalPort: registers the fixed share port with the spooler stopped, starts the spooler again
// whatever happened, and says "ok" only when all of it did.
void registerFixedSharePort(app::Program& program);

// VBS and Command5: port, driver and printer of the profile through WMI, then the default
// printer. A step that fails is told with its reason and ends the program; nothing after it
// runs.
void installThroughWmi(app::Program& program, WmiInstallButton button);

// Runs one step under an error trap: its failure is recorded as a trapped error and handed
// back, for the button to tell.
std::optional<platform::Error> attempt(forms::Runtime& runtime, const std::function<void()>& step);

// setup now: for each printer of the profile, the port through WMI and one minimised "cmd"
// line of printui commands; then the main window closes and the notice window stays.
void installThroughPrintui(app::Program& program);

}  // namespace tools
