// Every name the INI reader lists is a non-empty name of one line, trimmed (at its end only
// when no NUL cut it short); a key holds no "=" and is no comment.
#include <cstdint>
#include <cstdlib>

#include "platform/sim/ini_text.h"

namespace {
bool blank(char c) {
    return (c >= '\t' && c <= '\r') || c == '\x1A' || c == ' ';
}

void check(std::string_view text, const std::string& name, bool key) {
    if (name.empty() || name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos ||
        blank(name.front()) || (blank(name.back()) && text.find('\0') == std::string::npos) ||
        (key && (name.front() == ';' || name.find('=') != std::string::npos)))
        std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> sections = sim::iniNames(text, std::nullopt);
    for (std::size_t i = 0; i < sections.size() && i < 8; ++i) {
        check(text, sections[i], false);
        for (const std::string& key : sim::iniNames(text, sections[i]))
            check(text, key, true);
    }
    if (!sim::iniNames(text, std::string()).empty())
        std::abort();
    return 0;
}
