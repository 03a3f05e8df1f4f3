#pragma once
// Pure builders of everything the engine hands to the system: names, passes, command lines and
// queries.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The running executable's base name split at "_": custom word, address, printer name. The
// printer name is everything after the second "_", so it may hold "_" itself.
struct NameParts {
    std::vector<std::string> parts;
    // Part i when it exists and is not empty.
    std::optional<std::string> nonEmpty(std::size_t i) const;
    std::optional<std::string> at(std::size_t i) const;
};
NameParts namePartsOf(std::string_view exeFileName);

inline constexpr const char* kColorSuffix = "_彩色";
inline constexpr const char* kBlackSuffix = "_黑白";

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

// Ports: two backslashes in a row anywhere make a network-path port.
bool isNetworkPath(std::string_view address);
std::string tcpPortName(const std::string& address);
std::string networkPortName(const std::string& address);

std::string installLine(const std::string& printerName, const std::string& infFile,
                        const std::string& portName, const std::string& model);
std::string preferenceLine(const std::string& printerName, const std::string& preferenceFile);

// WQL with the printer name as a string literal, backslashes and single quotes escaped.
std::string wqlString(const std::string& text);
std::string printerQuery(const std::string& printerName);

std::string sharePath(const std::string& host, const std::string& share);

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

}  // namespace engine
