#pragma once
// The main window's tool buttons, which lie outside its client area: printer diagnostics, the
// fixed local port, and two direct installs that bypass the install engine. Form1's click
// reactions call these; an error none of them handles stops the program in the standard way.

#include <string>

#include "forms/outcome.h"
#include "forms/runtime.h"
#include "tools/direct_install.h"

namespace tools {

// What a tool button works with: the program's runtime and services, and the run's failed
// steps. The profile comes from ip.ini; the main window hands over what its boxes hold.
struct ToolContext {
    forms::Runtime& runtime;
    platform::Services& os;
    forms::Outcome& outcome;
};

// The local port LocalPort registers: a network path of its own, used nowhere else.
inline constexpr const char* kFixedSharePort = "\\\\192.168.10.10\\printer";

// 檢查驅動是否安裝: for each installed printer, whether its name holds the profile's model
// (exact case), one message per printer.
void checkDriverInstalled(ToolContext& ctx);

// 作業系統版本: the system's caption and version.
void showSystemVersion(ToolContext& ctx);

// LocalPort: registers the fixed share port with the spooler stopped, starts the spooler again
// whatever happened, and says "ok" only when all of it did.
void registerFixedSharePort(ToolContext& ctx);

// VBS and Command5: port, driver and printer of the profile through WMI, then the default
// printer. A step that fails is told with its reason and ends the program; nothing after it
// runs. Command5 first prints the program's folder on the main window through printLine.
void installThroughWmi(ToolContext& ctx, WmiInstallButton button,
                       const std::function<void(const std::string&)>& printLine);

// setup now: for each printer of the profile, the port through WMI and one minimised "cmd"
// line of printui commands, for the address and printer name the main window's boxes hold,
// confirmed or not. Returns whether the lines were started: the main window then closes and
// the notice window stays; otherwise the user was told why and the window stays.
bool installThroughPrintui(ToolContext& ctx, const std::string& address,
                           const std::string& printerName);

}  // namespace tools
