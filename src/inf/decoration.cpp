#include "inf/decoration.h"

#include <array>
#include <charconv>
#include <string>
#include <tuple>
#include <utility>

#include "inf/document.h"
#include "text/text.h"

namespace inf {

namespace {

constexpr std::array<std::pair<std::string_view, platform::Architecture>, 5> kArchitectures{{
    {"x86", platform::Architecture::X86},
    {"amd64", platform::Architecture::Amd64},
    {"arm", platform::Architecture::Arm},
    {"arm64", platform::Architecture::Arm64},
    {"ia64", platform::Architecture::Ia64},
}};

// One version field: empty means "any"; the suite mask is hexadecimal ("0x" optional), the
// others decimal.
bool readField(std::string_view text, int base, std::optional<unsigned>& into) {
    if (text.empty())
        return true;
    if (base == 16 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    into = value;
    return true;
}

}  // namespace

std::optional<Decoration> parseDecoration(std::string_view text) {
    const std::string folded = text::asciiLower(text);
    if (folded.size() < 2 || folded.compare(0, 2, "nt") != 0)
        return std::nullopt;
    std::string_view rest = std::string_view(folded).substr(2);
    const std::size_t dot = rest.find('.');
    const std::string_view architecture = rest.substr(0, dot);
    Decoration d;
    if (!architecture.empty()) {
        for (const auto& [name, value] : kArchitectures) {
            if (name == architecture)
                d.architecture = value;
        }
        if (!d.architecture)
            return std::nullopt;
    }
    if (dot == std::string_view::npos)
        return d;
    rest.remove_prefix(dot + 1);
    std::optional<unsigned>* fields[] = {&d.major, &d.minor, &d.productType, &d.suiteMask,
                                         &d.build};
    const int bases[] = {10, 10, 10, 16, 10};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        const std::size_t next = rest.find('.');
        if (!readField(rest.substr(0, next), bases[i], *fields[i]))
            return std::nullopt;
        if (next == std::string_view::npos)
            return d;
        rest.remove_prefix(next + 1);
    }
    return std::nullopt;  // more fields than a decoration has
}

bool applies(const Decoration& d, const platform::WindowsTarget& t) {
    if (d.architecture && *d.architecture != t.architecture)
        return false;
    const auto version =
        std::make_tuple(d.major.value_or(0), d.minor.value_or(0), d.build.value_or(0));
    if (version > std::make_tuple(t.major, t.minor, t.build))
        return false;
    if (d.productType && *d.productType != t.productType)
        return false;
    if (d.suiteMask && (*d.suiteMask & t.suiteMask) != *d.suiteMask)
        return false;
    return true;
}

std::optional<std::size_t> bestDecoration(const std::vector<std::string_view>& decorations,
                                          const platform::WindowsTarget& target) {
    std::optional<std::size_t> best;
    std::tuple<bool, unsigned, unsigned, unsigned, bool> bestRank{};
    for (std::size_t i = 0; i < decorations.size(); ++i) {
        std::optional<Decoration> d = parseDecoration(decorations[i]);
        if (!d || !applies(*d, target))
            continue;
        auto rank =
            std::make_tuple(d->major.has_value(), d->major.value_or(0), d->minor.value_or(0),
                            d->build.value_or(0), d->architecture.has_value());
        if (!best || rank > bestRank) {
            best = i;
            bestRank = rank;
        }
    }
    return best;
}

}  // namespace inf
