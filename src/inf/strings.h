#pragma once
// The %key% texts of an INF file, from the one Strings section the setup functions pick for the
// user interface language.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "inf/document.h"

namespace inf {

// The section that holds the language's texts: exactly "Strings.0404" for 0x0404, else the
// language's neutral form ("Strings.0004"), else any of the same primary language in file
// order, else none (only [Strings] then).
std::optional<std::string> stringsSectionFor(const Document& document, std::uint16_t language);

class StringTable {
  public:
    StringTable(const Document& document, std::uint16_t language);

    // Replaces every %key% by its text (the language's section first, then [Strings]); `%%` is
    // one `%`; a key found in neither stays as written, percent signs and all.
    std::string substitute(std::string_view text) const;

  private:
    const std::string* find(std::string_view key) const;
    std::unordered_map<std::string, std::string> language_;  // lower-case key -> text
    std::unordered_map<std::string, std::string> neutral_;
};

}  // namespace inf
