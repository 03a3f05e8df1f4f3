#include "platform/sim/ini_text.h"

#include "text/text.h"

namespace sim {

namespace {

bool isBlank(char c) {
    return (c >= '\t' && c <= '\r') || c == '\x1A' || c == ' ';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The reader copies names as NUL-terminated strings.
std::string_view upToNul(std::string_view s) {
    return s.substr(0, s.find('\0'));
}

// The section name of a header line, or nothing when the line is no header.
std::optional<std::string_view> headerName(std::string_view line) {
    if (line.front() != '[')
        return std::nullopt;
    std::size_t close = line.rfind(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return upToNul(trimmed(line.substr(1, close - 1)));
}

}  // namespace

std::vector<std::string> iniNames(std::string_view text,
                                  const std::optional<std::string>& section) {
    std::vector<std::string> names;
    // Only the first section of the name is read; a later one of the same name is not merged.
    enum class Place { Before, Inside, Past } place = Place::Before;
    std::size_t at = 0;
    while (at < text.size() && place != Place::Past) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = trimmed(text.substr(at, end - at));
        at = end + 1;
        if (line.empty())
            continue;
        if (std::optional<std::string_view> name = headerName(line)) {
            if (!section) {
                if (!name->empty())
                    names.emplace_back(*name);
            } else if (place == Place::Inside) {
                place = Place::Past;
            } else if (!section->empty() && text::sameIgnoringAsciiCase(*name, *section)) {
                place = Place::Inside;
            }
            continue;
        }
        std::size_t equals = line.find('=');
        if (place != Place::Inside || equals == std::string_view::npos)
            continue;
        std::string_view key = upToNul(trimmed(line.substr(0, equals)));
        if (key.empty())
            break;
        if (key.front() != ';')
            names.emplace_back(key);
    }
    return names;
}

}  // namespace sim
