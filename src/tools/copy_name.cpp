#include "tools/copy_name.h"

#include <cstdio>

#include "profile/address_check.h"
#include "profile/field_rules.h"
#include "text/text.h"

namespace tools {

namespace {

constexpr std::u32string_view kNotInFileNames = U"\\/:*?\"<>|";

std::string codePointName(char32_t c) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

std::optional<std::string> refusedCharacter(const char* box, const std::string& value,
                                            bool underscoreSplits) {
    const std::string name = std::string("「") + box + "」";
    for (char32_t c : text::toCodePoints(value)) {
        if (text::isControl(c))
            return name + "不可包含控制字元（" + codePointName(c) + "）。";
        if (kNotInFileNames.find(c) != std::u32string_view::npos) {
            std::string shown;
            text::appendCodePoint(shown, c);
            return name + "不可包含「" + shown + "」：檔名不能有 \\ / : * ? \" < > | 這些字元。";
        }
        if (underscoreSplits && c == U'_') {
            return name +
                   "不可包含底線「_」：安裝時會以底線分開檔名中的自訂名稱、IP位址與印表機名稱。";
        }
    }
    return std::nullopt;
}

}  // namespace

std::string copyName(const CopyPieces& pieces) {
    return pieces.customWord + "_" + pieces.address + "_" + pieces.printerName + ".exe";
}

std::optional<std::string> refusedPiece(const CopyPieces& pieces,
                                        const platform::Codepage& codepage) {
    if (auto refused = refusedCharacter("自訂名稱", pieces.customWord, true))
        return refused;
    if (auto refused = refusedCharacter("IP位址", pieces.address, true))
        return refused;
    if (auto refused = refusedCharacter("印表機名稱", pieces.printerName, false))
        return refused;
    // Empty keeps the profile's address when the copy installs.
    if (!pieces.address.empty() && !profile::isValidIpAddress(pieces.address))
        return "「IP位址」的「" + pieces.address + "」不是正確的 IP 位址（例如 192.168.1.20）。";
    // The word starts the name: without one the copy's name would start with its address.
    if (profile::isBlankText(pieces.customWord))
        return "「自訂名稱」不可空白。";
    // An empty name keeps the profile's; one of blanks would name the printer " ".
    if (!pieces.printerName.empty() && profile::isBlankText(pieces.printerName))
        return "「印表機名稱」不可空白。";
    // The name goes on into command lines and the printer's record, as the package maker's does.
    return profile::refusedFieldText("印表機名稱", pieces.printerName, codepage, true);
}

std::string copyFailureText(const std::string& source, const std::string& copyName,
                            const std::string& reason) {
    return "無法從「" + source + "」複製出「" + copyName + "」：" + reason;
}

}  // namespace tools
