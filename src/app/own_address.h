#pragma once
// The computer's own address as the main window offers it.

#include <string>
#include <vector>

#include "command/install_lines.h"
#include "platform/value.h"
#include "platform/wmi.h"

namespace app {

inline constexpr const char* kAdapterMoniker = command::kCimv2Moniker;
inline constexpr const char* kAdapterQuery =
    "Select * from Win32_NetworkAdapterConfiguration where IPEnabled=TRUE";

// From the adapters' IPAddress values in query order: the first non-empty entry of the last
// adapter that has an address list (that adapter's last entry when all are empty); the empty
// text when no adapter has one.
std::string pickOwnAddress(const std::vector<platform::Value>& addressLists);

// Runs the adapter query and picks the address. WMI failures rise to the caller.
std::string findOwnAddress(platform::Wmi& wmi);

}  // namespace app
