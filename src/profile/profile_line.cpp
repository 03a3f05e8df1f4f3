#include "profile/profile_line.h"

#include "text/text.h"

namespace profile {

std::string flagCharacter(std::string_view optionFlags, std::size_t n) {
    std::string c = text::charAt(optionFlags, n - 1);
    return c.empty() ? "0" : c;
}

bool InstallProfile::setAsDefault() const {
    return flagCharacter(optionFlags, 1) == "1";
}
bool InstallProfile::applyPreferenceFile() const {
    return flagCharacter(optionFlags, 2) == "1";
}
bool InstallProfile::twoPrinters() const {
    return flagCharacter(optionFlags, 3) == "1";
}

InstallProfile defaultProfile() {
    return {"ip",
            std::string(kPlaceholderAddress),
            std::string(kDefaultPrinterName),
            std::string(kDefaultModelName),
            std::string(kDefaultInfFile),
            std::string(kDefaultOptionFlags)};
}

Separator chooseSeparator(std::string_view line) {
    return text::startsWith(line, "ip\\") ? Separator::Backslash : Separator::Comma;
}

std::vector<std::string> splitLine(std::string_view line, Separator separator) {
    return text::split(line, separator == Separator::Backslash ? "\\" : ",");
}

std::string part(const std::vector<std::string>& parts, std::size_t i) {
    return i < parts.size() ? parts[i] : std::string();
}

std::optional<std::string> damageOf(const std::vector<std::string>& parts) {
    std::size_t fields = parts.size();
    while (fields > kFieldCount && parts[fields - 1].empty())
        --fields;  // trailing separators hold nothing
    if (fields != kFieldCount) {
        return "ip.ini 的第一行應有六個以逗號分隔的欄位，卻有 " + std::to_string(fields) + " 個。";
    }
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        for (char32_t c : text::toCodePoints(parts[i])) {
            if (text::isControl(c) || c == text::kReplacementCharacter)
                return std::string("ip.ini 的「") + kFieldNames[i] +
                       "」含有控制字元或無法辨識的字元。";
        }
    }
    return std::nullopt;
}

InstallProfile fromParts(const std::vector<std::string>& parts) {
    // A braced list is evaluated in order: the parts fill the fields as the line lists them.
    std::size_t i = 0;
    auto next = [&] { return part(parts, i++); };
    return {next(), next(), next(), next(), next(), next()};
}

std::string formatLine(const InstallProfile& p) {
    return "ip," + p.printerAddress + "," + p.printerName + "," + p.modelName + "," + p.infFile +
           "," + p.optionFlags + "\r\n";
}

std::string firstLine(std::string_view text) {
    std::size_t end = text.find_first_of("\r\n");
    return std::string(text.substr(0, end));
}

}  // namespace profile
