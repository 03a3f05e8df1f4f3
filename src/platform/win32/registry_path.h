#pragma once
// Registry value paths and types as the scripting shell's RegWrite takes them, read into parts.
// Pure (no Win32), so it is tested on Linux too.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

struct RegistryPath {
    RegistryRoot root = RegistryRoot::CurrentUser;
    std::string subKey;     // "" for the root key itself
    std::string valueName;  // "" for the key's default value (a path ending in "\")

    bool operator==(const RegistryPath&) const = default;
};

// "HKEY_CURRENT_USER\Software\X\Name" or "HKCU\Software\X\" (the default value); the root's
// long or short name in any case. Absent for an unknown root or a path without a value part.
std::optional<RegistryPath> parseRegistryPath(std::string_view path);

enum class RegistryType { Dword, String, ExpandString };

// "REG_DWORD", "REG_SZ", "REG_EXPAND_SZ" in any case; absent for any other.
std::optional<RegistryType> parseRegistryType(std::string_view type);

// The value text of a REG_DWORD: a decimal number ("00000001" is 1), rounded half to even;
// negative numbers are stored as their 32-bit two's complement. A non-number raises
// platform::Error 13, a number outside 32 bits platform::Error 6.
std::uint32_t registryDword(std::string_view text);

}  // namespace platform::win32
