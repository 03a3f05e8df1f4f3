// The computer's own address as the main window must show it, worked out independently of the
// program so the test has something to compare against.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace e2e {

// One adapter's IPAddress property; nullopt when WMI gives NULL (Wine does so for down links).
using AddressList = std::optional<std::vector<std::wstring>>;

// Walk the adapters in query order; in each non-null list take entries until the first non-empty
// one. What is left over is the answer: the first non-empty entry of the last adapter that has a
// list (that adapter's last entry when all are empty), or "" when no adapter has one. An empty
// list leaves the previous adapter's answer standing.
inline std::wstring own_address(const std::vector<AddressList>& adapters) {
    std::wstring found;
    for (const auto& list : adapters) {
        if (!list)
            continue;
        for (const auto& entry : *list) {
            found = entry;
            if (!entry.empty())
                break;
        }
    }
    return found;
}

}  // namespace e2e
