#pragma once
// The installer profile: the one line of ip.ini that names the printer's address, the printer
// to create, the driver model, the INF file and three option flags. Pure functions only; the
// file itself is profile_store.h.

#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

inline constexpr std::string_view kFileName = "ip.ini";

// Stands in the default line and marks an address nobody has set yet.
inline constexpr std::string_view kPlaceholderAddress = "192.168.0.250";

inline constexpr std::string_view kDefaultPrinterName = "請填入印表機名稱";
inline constexpr std::string_view kDefaultModelName = "請填入印表機模組名稱";
inline constexpr std::string_view kDefaultInfFile = "請填入INF檔名";
inline constexpr std::string_view kDefaultOptionFlags = "100";

struct InstallProfile {
    std::string marker;
    std::string printerAddress;
    std::string printerName;
    std::string modelName;
    std::string infFile;
    std::string optionFlags;

    bool setAsDefault() const;
    bool applyPreferenceFile() const;
    bool twoPrinters() const;
    bool operator==(const InstallProfile&) const = default;
};

// Flag character n (counted from 1) of an options field; a missing one reads as "0".
std::string flagCharacter(std::string_view optionFlags, std::size_t n);

InstallProfile defaultProfile();

enum class Separator { Comma, Backslash };

// The main window and the package maker read the backslash form only when the line starts
// with "ip\"; every other line, a network path in the address included, splits at commas.
Separator chooseSeparator(std::string_view line);

std::vector<std::string> splitLine(std::string_view line, Separator separator);

// Part i of a split line, or the empty text when the line has fewer parts.
std::string part(const std::vector<std::string>& parts, std::size_t i);

// The fields' names as the package maker shows them, by part index (0 is the marker).
inline constexpr const char* kFieldNames[] = {"標記",       "印表機IP", "印表機名稱",
                                              "印表機模組", "INF檔名",  "預設值"};
// The fields of a whole line, the marker included.
inline constexpr std::size_t kFieldCount = std::size(kFieldNames);

// Why a split line cannot be installed from or written back, naming ip.ini and the field; or
// nothing for a whole line. A whole line has the six fields (more that are not empty mean a
// field held the separator, which shifted the rest) and no control character in any field (a
// binary file, or one read in the wrong encoding).
std::optional<std::string> damageOf(const std::vector<std::string>& parts);

// Fields taken verbatim; a short line leaves the missing fields empty.
InstallProfile fromParts(const std::vector<std::string>& parts);

// The line the writers write: always the comma form with the marker "ip", ending in CR LF.
std::string formatLine(const InstallProfile& profile);

// The first line of a decoded file text, without its line end.
std::string firstLine(std::string_view text);

}  // namespace profile
