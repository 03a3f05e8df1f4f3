#pragma once
// A copy of the installer carries its own address and printer in its file name
// ("安裝_10.0.0.21_一樓影印機.exe"): the name split at "_" into custom word, address and printer
// name. The printer name is everything after the second "_", so it may hold "_" itself.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

struct NameParts {
    std::vector<std::string> parts;
    // Part i when it exists and is not empty.
    std::optional<std::string> nonEmpty(std::size_t i) const;
    std::optional<std::string> at(std::size_t i) const;
    // A copy's name has parts after the custom word; the installer's own has none.
    bool isCopy() const { return parts.size() >= 2; }
};
NameParts namePartsOf(std::string_view exeFileName);

}  // namespace profile
