#pragma once
// Pure builders of everything the engine hands to the system: names, passes, command lines and
// queries.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/two_printers.h"

namespace command {

using profile::kBlackSuffix;
using profile::kColorSuffix;

struct InstallPass {
    std::string printerName;
    std::string preferenceFile;
};
// One pass unless the third option character is a digit other than 0: then a colour pass and
// a black-and-white pass.
std::vector<InstallPass> planPasses(std::string_view thirdOptionCharacter,
                                    const std::string& printerName);

// What the first two option characters select, tested in this order: the pair as the number
// 10 (a pair that is no number at all counts as this one), the text "01", the number 11, the
// text "00"; anything else selects nothing.
enum class OptionSteps { DefaultPrinter, PreferenceFile, Both, Neither, Nothing };
OptionSteps optionStepsFor(std::string_view optionPair);

// Ports: two backslashes in a row anywhere make a network-path port, named by the address
// itself; any other address a TCP/IP port named "IP_" and the address.
bool isNetworkPath(std::string_view address);
std::string tcpPortName(const std::string& address);

struct PortName {
    std::string name;          // empty while no port could be made
    bool networkPath = false;  // passed between quotes, as a path always is
    bool operator==(const PortName&) const = default;
};

// The lines of a pass. Every text becomes exactly one argument (command/quote.h): the printer
// and the model between quotes, the INF file and a TCP/IP port bare unless they need quotes,
// a network-path port between quotes. Text that cannot be passed raises
// command::RefusedArgument; the engine checks its fields before it starts anything.
std::string installLine(const std::string& printerName, const std::string& infFile,
                        const PortName& port, const std::string& model);
std::string preferenceLine(const std::string& printerName, const std::string& preferenceFile);

// WQL with the printer name as a string literal, backslashes and single quotes escaped.
std::string wqlString(const std::string& text);
std::string printerQuery(const std::string& printerName);
// The printers that print to a port.
std::string printersOnPortQuery(const std::string& portName);
// The TCP/IP port of that name, if the system has one.
std::string tcpPortQuery(const std::string& portName);

std::string sharePath(const std::string& host, const std::string& share);

// The WMI services the install opens.
inline constexpr const char* kCimv2Moniker = "winmgmts:\\\\.\\root\\cimv2";
inline constexpr const char* kDefaultNamespaceMoniker = "winmgmts:";
inline constexpr const char* kRegistryMoniker = "winmgmts:root\\default:StdRegProv";

inline constexpr const char* kControlPrinters = "control printers";
inline constexpr const char* kPrintersFolder =
    "rundll32.exe shell32.dll,SHHelpShortcuts_RunDLL PrintersFolder";
inline constexpr const char* kLegacyDefaultPrinterMode =
    "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\"
    "LegacyDefaultPrinterMode";
inline constexpr const char* kMainProgram = "Velmora.exe";
inline constexpr const char* kPortsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
inline constexpr unsigned kLocalMachineHive = 0x80000002;
inline constexpr const char* kSpoolerPath = "Win32_Service.Name='spooler'";
inline constexpr const char* kSpoolerQuery = "select * from Win32_Service where Name='Spooler'";

}  // namespace command
