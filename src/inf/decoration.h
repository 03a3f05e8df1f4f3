#pragma once
// Target decorations of [Manufacturer] lines, "NT[Architecture][.Major[.Minor[.ProductType
// [.SuiteMask[.Build]]]]]", and which of them the setup functions take for a Windows.

#include <optional>
#include <string_view>
#include <vector>

#include "platform/system.h"

namespace inf {

struct Decoration {
    std::optional<platform::Architecture> architecture;  // none: every architecture
    std::optional<unsigned> major;
    std::optional<unsigned> minor;
    std::optional<unsigned> productType;
    std::optional<unsigned> suiteMask;
    std::optional<unsigned> build;
};

// None for a text that is no decoration (no "NT", an unknown architecture, a field that is not
// a number).
std::optional<Decoration> parseDecoration(std::string_view text);

// Whether a Windows may use the decoration: its architecture (or none), a version not above
// the Windows' version, the same product type and suite bits it has, when they are given.
bool applies(const Decoration& decoration, const platform::WindowsTarget& target);

// The decoration the setup functions take among those that apply: the highest version first,
// then one naming the architecture over one that does not; the first listed of equals. None
// when none applies (the undecorated section is read then).
std::optional<std::size_t> bestDecoration(const std::vector<std::string_view>& decorations,
                                          const platform::WindowsTarget& target);

}  // namespace inf
