#include "profile/copy_name_parts.h"

#include "text/text.h"

namespace profile {

std::optional<std::string> NameParts::at(std::size_t i) const {
    if (i < parts.size())
        return parts[i];
    return std::nullopt;
}

std::optional<std::string> NameParts::nonEmpty(std::size_t i) const {
    auto p = at(i);
    if (p && !p->empty())
        return p;
    return std::nullopt;
}

NameParts namePartsOf(std::string_view exeFileName) {
    std::string_view base = exeFileName;
    if (std::size_t slash = base.find_last_of("\\/"); slash != std::string_view::npos)
        base.remove_prefix(slash + 1);
    base = text::withoutExeSuffix(base);
    NameParts np;
    std::size_t first = base.find('_');
    if (first == std::string_view::npos) {
        np.parts = {std::string(base)};
        return np;
    }
    np.parts.emplace_back(base.substr(0, first));
    std::size_t second = base.find('_', first + 1);
    if (second == std::string_view::npos) {
        np.parts.emplace_back(base.substr(first + 1));
        return np;
    }
    np.parts.emplace_back(base.substr(first + 1, second - first - 1));
    np.parts.emplace_back(base.substr(second + 1));
    return np;
}

}  // namespace profile
