#pragma once
// The WMI moniker the program opens its services by, read into its parts. Pure (no Win32), so it
// is tested on Linux too.
//
//   winmgmts:[{impersonationLevel=level}!][\\server\]namespace[:objectPath]
//
// Absent parts default as the scripting moniker defaults them: server ".", namespace root\cimv2.

#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

struct Moniker {
    std::string server = ".";
    std::string namespacePath = "root\\cimv2";  // backslashes, case as written
    std::string objectPath;                     // e.g. "StdRegProv"; "" when none
    std::string impersonationLevel;             // lower case; "" when the moniker sets none

    bool operator==(const Moniker&) const = default;
};

// Absent for anything that is not such a moniker, and for security settings other than the
// impersonation level, which the program never uses.
std::optional<Moniker> parseMoniker(std::string_view text);

// "\\server\namespace", as IWbemLocator::ConnectServer takes it.
std::string serverNamespace(const Moniker& moniker);

// The class an object path names: "Win32_Service" for "Win32_Service.Name=\"Spooler\"",
// "\\.\root\cimv2:Win32_Service=@" or "StdRegProv". Key values may hold ':' and '.'.
std::string objectPathClass(std::string_view path);

// Whether an object path names a class rather than an instance (it has no keys).
bool objectPathNamesClass(std::string_view path);

}  // namespace platform::win32
