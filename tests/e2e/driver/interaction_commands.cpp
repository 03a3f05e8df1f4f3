// Subcommands for the interaction scenarios: menu items by caption, the topmost style, and the
// program's own end.
#include "driver.h"

#include <tlhelp32.h>

#include <optional>

namespace e2e {

namespace {

constexpr DWORD kPollMs = 25;

struct MenuEntry {
    std::wstring caption;  // as shown, "&" and any "\t..." accelerator text stripped
    UINT id = 0;
    UINT state = 0;
    UINT type = 0;
    HMENU submenu = nullptr;
};

std::wstring shown_caption(const std::wstring& raw) {
    std::wstring out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == L'\t')
            break;
        if (raw[i] == L'&' && i + 1 < raw.size()) {
            out += raw[++i];  // "&&" is a literal ampersand
            continue;
        }
        out += raw[i];
    }
    return out;
}

// Reads one menu level. The item count is -1 when the menu cannot be read from here, which is
// worth telling apart from an empty menu.
std::optional<std::vector<MenuEntry>> read_menu(HMENU menu) {
    int count = GetMenuItemCount(menu);
    if (count < 0)
        return std::nullopt;
    std::vector<MenuEntry> entries;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            return std::nullopt;
        MenuEntry entry;
        entry.id = info.wID;
        entry.state = info.fState;
        entry.type = info.fType;
        entry.submenu = info.hSubMenu;
        if (!(info.fType & MFT_SEPARATOR) && info.cch > 0) {
            std::wstring raw(info.cch + 1, L'\0');
            info.dwTypeData = raw.data();
            info.cch = static_cast<UINT>(raw.size());
            if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
                return std::nullopt;
            raw.resize(info.cch);
            entry.caption = shown_caption(raw);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::wstring> split_path(const std::wstring& path) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        size_t slash = path.find(L'/', start);
        parts.push_back(path.substr(start, slash - start));
        if (slash == std::wstring::npos)
            return parts;
        start = slash + 1;
    }
}

struct Lookup {
    std::optional<MenuEntry> item;
    std::wstring unreadable;  // set when a level could not be read from this process
};

// "A/B/C" follows the captions level by level; a bare caption finds the first command item of
// that caption at any depth.
void find_item(HMENU menu, const std::vector<std::wstring>& path, size_t depth, Lookup& out) {
    auto entries = read_menu(menu);
    if (!entries) {
        out.unreadable = win32_error(GetLastError());
        return;
    }
    bool anywhere = path.size() == 1;
    bool last = depth + 1 == path.size();
    for (const MenuEntry& entry : *entries) {
        bool match = entry.caption == path[depth];
        if (!entry.submenu && match && last) {
            out.item = entry;
            return;
        }
        if (entry.submenu && (anywhere || (match && !last))) {
            find_item(entry.submenu, path, anywhere ? depth : depth + 1, out);
            if (out.item || !out.unreadable.empty())
                return;
        }
    }
}

void print_menu(HMENU menu, const std::wstring& indent) {
    auto entries = read_menu(menu);
    if (!entries) {
        print_line(indent + L"(unreadable: " + win32_error(GetLastError()) + L")");
        return;
    }
    for (const MenuEntry& e : *entries) {
        std::wstring line = indent;
        if (e.type & MFT_SEPARATOR) {
            line += L"-";
        } else {
            line += L"\"" + e.caption + L"\"\tid=" + std::to_wstring(e.id);
            if (e.state & MFS_GRAYED)
                line += L"\tgrayed";
            if (e.state & MFS_CHECKED)
                line += L"\tchecked";
        }
        print_line(line);
        if (e.submenu)
            print_menu(e.submenu, indent + L"  ");
    }
}

HWND form_window(const Options& options, const Args& args) {
    return args.size() > 1 ? wait_control(args[0], args[1], options.timeout_ms)
                           : wait_top(args[0], options.timeout_ms);
}

std::vector<DWORD> processes_named(const std::wstring& image) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry))
        if (CompareStringOrdinal(entry.szExeFile, -1, image.c_str(), -1, TRUE) == CSTR_EQUAL)
            ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

}  // namespace

// Chooses a menu item as a click would: WM_COMMAND with the item's id, posted so that a modal
// window the item opens does not hold the driver. A grayed item is refused, as the user could
// not choose it either.
int cmd_menu(const Options& options, const Args& args) {
    HWND top = wait_top(args[0], options.timeout_ms, true);
    if (!top)
        return kFailed;
    HMENU bar = GetMenu(top);
    if (!bar) {
        print_error(L"window \"" + args[0] + L"\" has no menu bar");
        return kFailed;
    }
    Lookup found;
    find_item(bar, split_path(args[1]), 0, found);
    if (!found.unreadable.empty()) {
        print_error(L"the menu cannot be read from this process: " + found.unreadable);
        return kFailed;
    }
    if (!found.item) {
        print_error(L"no menu item " + args[1]);
        return kFailed;
    }
    const MenuEntry* item = &*found.item;
    if (item->state & MFS_GRAYED) {
        print_error(L"menu item " + args[1] + L" is grayed");
        return kFailed;
    }
    if (!IsWindowEnabled(top))
        print_error(L"note: the window is disabled, the program will ignore the item");
    return PostMessageW(top, WM_COMMAND, MAKEWPARAM(item->id, 0), 0) ? kOk : kFailed;
}

int cmd_menu_list(const Options& options, const Args& args) {
    HWND top = wait_top(args[0], options.timeout_ms);
    if (!top)
        return kFailed;
    HMENU bar = GetMenu(top);
    if (!bar) {
        print_error(L"window \"" + args[0] + L"\" has no menu bar");
        return kFailed;
    }
    print_menu(bar, L"");
    return kOk;
}

int cmd_is_topmost(const Options& options, const Args& args) {
    HWND hwnd = form_window(options, args);
    if (!hwnd)
        return kFailed;
    LONG ex = GetWindowLongW(hwnd, GWL_EXSTYLE);
    print_line((ex & WS_EX_TOPMOST) ? L"true" : L"false");
    return kOk;
}

// Waits until no process of this image is left and prints the exit code of each one that was
// running when the wait began (or "-" where it could not be opened).
int cmd_wait_exit(const Options&, const Args& args) {
    unsigned long ms = 0;
    if (!parse_number(args[1], ms)) {
        print_error(L"not a timeout in milliseconds: " + args[1]);
        return kUsage;
    }
    std::vector<HANDLE> handles;
    for (DWORD pid : processes_named(args[0]))
        handles.push_back(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    Deadline deadline(static_cast<DWORD>(ms));
    // A snapshot each round: a process started after the first one counts as well.
    while (!processes_named(args[0]).empty()) {
        if (deadline.passed()) {
            print_error(args[0] + L" is still running after " + std::to_wstring(ms) + L" ms");
            for (HANDLE h : handles)
                if (h)
                    CloseHandle(h);
            return kFailed;
        }
        Sleep(kPollMs);
    }
    std::wstring codes;
    for (HANDLE h : handles) {
        DWORD code = 0;
        if (!codes.empty())
            codes += L" ";
        if (h && WaitForSingleObject(h, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(h, &code))
            codes += std::to_wstring(code);
        else
            codes += L"-";
        if (h)
            CloseHandle(h);
    }
    print_line(codes.empty() ? L"none" : codes);
    return kOk;
}

}  // namespace e2e
