#pragma once
// The main window's direct installs as values: the port, driver and printer records of the
// WMI install (VBS and Command5), and the command lines of the printui install (setup now).

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "command/install_lines.h"
#include "platform/value.h"

namespace tools {

// The monikers of the tool buttons; the port's class is fetched through the bare one.
inline constexpr const char* kClassMoniker = command::kDefaultNamespaceMoniker;
inline constexpr const char* kImpersonatingMoniker =
    "winmgmts:{impersonationLevel=impersonate}!\\\\.\\root\\cimv2";

// The executable's folder as the installs name it: without a trailing backslash, except a
// drive's root folder, which keeps it ("C:\").
std::string programFolder(const std::string& exeFolder);

// What Command5 prints on the main window.
std::string pathLine(const std::string& programFolder);

// A standard TCP/IP port for the address: named "IP_" and the address, raw printing to 9100.
platform::Properties tcpPortRecord(const std::string& address);

// The driver record each WMI install sets on the Win32_PrinterDriver class and hands to
// AddPrinterDriver, in the order its properties are first set. Command5 names the folder and
// the INF by their full paths, in double quotes.
enum class WmiInstallButton { Vbs, Command5 };
platform::Properties driverRecord(WmiInstallButton button, const std::string& model,
                                  const std::string& infFile, const std::string& programFolder);

// The printer of the WMI install, spelled as the provider is told it.
platform::Properties printerRecord(const std::string& model, const std::string& address,
                                   const std::string& printerName);

// The printui install's lines for one printer. They run inside a "cmd /c" line, so every text
// is one argument for the command interpreter and then printui (command/quote.h): printer and
// model between quotes, the INF file and the port bare unless they need quotes. Text that
// cannot be passed raises command::RefusedArgument; callers check with refusedCommandPiece.
std::string directInstallCommand(const std::string& printerName, const std::string& infFile,
                                 const std::string& portName, const std::string& model);
// The install command with the switches that apply a preference file appended.
std::string directPreferenceCommand(const std::string& installCommand,
                                    const std::string& printerName,
                                    const std::string& preferenceFile);
std::string directDefaultCommand(const std::string& printerName);

// Started before each printer's lines: a console message that the install runs.
inline constexpr const char* kNoticeCommand = "cmd /c /q  msg abc /TIME:6 安裝中....請稍待\"";

// The "cmd /c" line the first two option characters choose, tested as the engine tests them
// (command::optionStepsFor); none for a pair that selects nothing.
std::optional<std::string> launchLine(std::string_view optionPair,
                                      const std::string& installCommand,
                                      const std::string& preferenceCommand,
                                      const std::string& defaultCommand);

// The message refusing the first named text that no "cmd /c" line can carry as one argument;
// none when every one can.
std::optional<std::string> refusedCommandPiece(
    const std::vector<std::pair<std::string, std::string>>& namedTexts);

// The stop message of a step that failed ("新增連接埠 IP_10.0.0.7"): what it was, what that
// left undone, and why.
std::string stepFailureText(const std::string& step, const std::string& consequence,
                            const std::string& reason);

}  // namespace tools
