#include "inf/strings.h"
#include "text/text.h"

#include <charconv>
#include <vector>

namespace inf {

namespace {

constexpr std::string_view kStrings = "strings";
constexpr std::uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr std::size_t kLanguageDigits = 4;

// The language id of a "Strings.LLLL" name: four hexadecimal digits.
std::optional<std::uint16_t> languageOf(std::string_view sectionName) {
    const std::string folded = text::asciiLower(sectionName);
    if (folded.size() != kStrings.size() + 1 + kLanguageDigits ||
        folded.compare(0, kStrings.size(), kStrings) != 0 || folded[kStrings.size()] != '.') {
        return std::nullopt;
    }
    const char* first = folded.data() + kStrings.size() + 1;
    const char* last = folded.data() + folded.size();
    unsigned value = 0;
    auto [end, error] = std::from_chars(first, last, value, 16);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

void load(const Document& document, std::string_view section,
          std::unordered_map<std::string, std::string>& into) {
    document.eachLine(section, [&](Line&& line) {
        if (!line.key || line.fields.empty())
            return;
        // The first definition of a key holds, as the setup functions look keys up in order.
        into.try_emplace(text::asciiLower(*line.key), std::move(line.fields.front()));
    });
}

}  // namespace

std::optional<std::string> stringsSectionFor(const Document& document, std::uint16_t language) {
    std::optional<std::string> neutral;
    std::optional<std::string> sameLanguage;
    const std::uint16_t primary = language & kPrimaryLanguageMask;
    for (const std::string& name : document.sectionNames()) {
        std::optional<std::uint16_t> id = languageOf(name);
        if (!id)
            continue;
        if (*id == language)
            return name;
        if (*id == primary && !neutral)
            neutral = name;
        if ((*id & kPrimaryLanguageMask) == primary && !sameLanguage)
            sameLanguage = name;
    }
    return neutral ? neutral : sameLanguage;
}

StringTable::StringTable(const Document& document, std::uint16_t language) {
    if (std::optional<std::string> section = stringsSectionFor(document, language))
        load(document, *section, language_);
    load(document, kStrings, neutral_);
}

const std::string* StringTable::find(std::string_view key) const {
    const std::string folded = text::asciiLower(key);
    if (auto it = language_.find(folded); it != language_.end())
        return &it->second;
    if (auto it = neutral_.find(folded); it != neutral_.end())
        return &it->second;
    return nullptr;
}

std::string StringTable::substitute(std::string_view text) const {
    std::size_t open = text.find('%');
    if (open == std::string_view::npos)
        return std::string(text);
    std::string out(text.substr(0, open));
    while (open != std::string_view::npos) {
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out += text.substr(open);  // a lone `%` stays
            return out;
        }
        const std::string_view key = text.substr(open + 1, close - open - 1);
        if (key.empty()) {
            out += '%';
        } else if (const std::string* value = find(key)) {
            out += *value;
        } else {
            out += text.substr(open, close - open + 1);
        }
        const std::size_t next = text.find('%', close + 1);
        out += text.substr(close + 1,
                           (next == std::string_view::npos ? text.size() : next) - close - 1);
        open = next;
    }
    return out;
}

}  // namespace inf
