// A form's menu as the driver searches it, parsed from the lines of probe.h.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

struct MenuEntry {
    int depth = 0;
    UINT id = 0;
    UINT state = 0;
    UINT type = 0;
    bool submenu = false;
    std::wstring caption;  // as shown: "&" marks and any "\t..." accelerator text removed
};

std::wstring shown_caption(const std::wstring& raw);
std::vector<MenuEntry> parse_menu_lines(const std::wstring& lines);
// "A/B/C" follows the captions level by level; a bare caption finds the first command item of
// that caption at any depth. Drop-downs and separators are never chosen.
const MenuEntry* find_item(const std::vector<MenuEntry>& entries, const std::wstring& path);

}  // namespace e2e
