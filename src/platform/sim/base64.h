#pragma once
#include <optional>
#include <string>

namespace sim {
std::string base64Encode(const std::string& bytes);
// Standard alphabet with padding; white space is skipped; anything else fails.
std::optional<std::string> base64Decode(const std::string& text);
}  // namespace sim
