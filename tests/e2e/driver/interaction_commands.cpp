// Subcommands for the interaction scenarios: menu items by caption, the topmost style, check
// boxes, moving a box aside, whether a label's text fits it, and the program's own end.
#include "driver.h"
#include "menu_lookup.h"
#include "probe.h"
#include "probe_client.h"

#include <memory>
#include <optional>

namespace e2e {

namespace {

constexpr DWORD kPollMs = 25;

// On Windows another process's menu can be read directly; Wine needs the probe.
bool read_menu_bar(HWND top, std::vector<MenuEntry>& entries, std::wstring& why) {
    HMENU bar = GetMenu(top);
    if (!bar) {
        why = L"the window has no menu bar";
        return false;
    }
    auto block = std::make_unique<MenuProbeBlock>();
    DWORD used = 0;
    DWORD status = 0;
    if (write_menu_lines(bar, 0, block->text, sizeof block->text / sizeof block->text[0], used,
                         status)) {
        entries = parse_menu_lines(std::wstring(block->text, used));
        return true;
    }
    if (status != 2) {
        why = L"the menu is too large to read";
        return false;
    }
    block->window = top;
    if (!run_in_program(top, kMenuProbe, block.get(), sizeof *block, why))
        return false;
    if (block->status != 0) {
        why = block->status == 1 ? L"the window has no menu bar"
                                 : L"the probe could not read the menu (status " +
                                       std::to_wstring(block->status) + L")";
        return false;
    }
    entries = parse_menu_lines(std::wstring(block->text, block->length));
    return true;
}

HWND form_window(const Options& options, const Args& args) {
    return args.size() > 1 ? wait_control(args[0], args[1], options.timeout_ms)
                           : wait_top(args[0], options.timeout_ms);
}

}  // namespace

// Chooses a menu item as a click would: WM_COMMAND with the item's id, posted so that a modal
// window the item opens does not hold the driver. A grayed item is refused, as the user could
// not choose it either.
int cmd_menu(const Options& options, const Args& args) {
    HWND top = wait_top(args[0], options.timeout_ms, true);
    if (!top)
        return kFailed;
    std::vector<MenuEntry> entries;
    std::wstring why;
    if (!read_menu_bar(top, entries, why)) {
        print_error(L"window \"" + args[0] + L"\": " + why);
        return kFailed;
    }
    const MenuEntry* item = find_item(entries, args[1]);
    if (!item) {
        print_error(L"no menu item " + args[1]);
        return kFailed;
    }
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
    std::vector<MenuEntry> entries;
    std::wstring why;
    if (!read_menu_bar(top, entries, why)) {
        print_error(L"window \"" + args[0] + L"\": " + why);
        return kFailed;
    }
    for (const MenuEntry& e : entries) {
        std::wstring line(static_cast<size_t>(e.depth) * 2, L' ');
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
    }
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

// Prints "watching N" at once, with N the processes of this image running now, then waits until
// none is left and prints "exited CODE..." with the exit code of each of the N ("-" where it could
// not be opened). A script can start it in the background, wait for the first line, and only then
// do what should end the program, so an end right after it is not missed and a crash's code shows.
int cmd_wait_exit(const Options&, const Args& args) {
    unsigned long ms = 0;
    if (!parse_number(args[1], ms)) {
        print_error(L"not a timeout in milliseconds: " + args[1]);
        return kUsage;
    }
    std::vector<HANDLE> handles;
    for (DWORD pid : processes_named(args[0]))
        handles.push_back(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    print_line(L"watching " + std::to_wstring(handles.size()));
    auto close_all = [&] {
        for (HANDLE h : handles)
            if (h)
                CloseHandle(h);
    };
    Deadline deadline(static_cast<DWORD>(ms));
    // A fresh snapshot each round: a process started after the first one must end as well.
    while (!processes_named(args[0]).empty()) {
        if (deadline.passed()) {
            print_error(args[0] + L" is still running after " + std::to_wstring(ms) + L" ms");
            close_all();
            return kFailed;
        }
        Sleep(kPollMs);
    }
    std::wstring codes = L"exited";
    for (HANDLE h : handles) {
        DWORD code = 0;
        if (h && WaitForSingleObject(h, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(h, &code))
            codes += L" " + std::to_wstring(code);
        else
            codes += L" -";
    }
    close_all();
    print_line(codes);
    return kOk;
}

// BST_UNCHECKED 0, BST_CHECKED 1, BST_INDETERMINATE 2, as the check box itself says.
int cmd_get_check(const Options& options, const Args& args) {
    HWND hwnd = wait_control(args[0], args[1], options.timeout_ms);
    if (!hwnd)
        return kFailed;
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutW(hwnd, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state)) {
        print_error(L"the check box does not answer BM_GETCHECK");
        return kFailed;
    }
    print_line(std::to_wstring(state));
    return kOk;
}

// Moves a top-level window (a message box that covers the window under test, for a screenshot)
// without activating it or changing its size.
int cmd_move(const Options& options, const Args& args) {
    unsigned long x = 0;
    unsigned long y = 0;
    if (!parse_number(args[1], x) || !parse_number(args[2], y)) {
        print_error(L"not a position: " + args[1] + L" " + args[2]);
        return kUsage;
    }
    HWND hwnd = wait_top(args[0], options.timeout_ms, true);
    if (!hwnd)
        return kFailed;
    if (!SetWindowPos(hwnd, nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
        print_error(L"SetWindowPos failed: " + win32_error(GetLastError()));
        return kFailed;
    }
    // SetWindowPos on another thread's window returns before that thread has moved it.
    Deadline deadline(options.timeout_ms);
    for (;;) {
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        if (rect.left == static_cast<LONG>(x) && rect.top == static_cast<LONG>(y))
            return kOk;
        if (deadline.passed()) {
            print_error(L"the window did not move");
            return kFailed;
        }
        Sleep(kPollMs);
    }
}

// How a label's text lays out in its own font: "line W H wrapped H client W H font FACE HEIGHT".
// The measure is made inside the program (probe.h) with the flags a static control draws with,
// so it says whether the text the user sees is cut off.
int cmd_text_fit(const Options& options, const Args& args) {
    HWND hwnd = wait_control(args[0], args[1], options.timeout_ms);
    if (!hwnd)
        return kFailed;
    TextProbeBlock block{};
    block.control = hwnd;
    std::wstring why;
    if (!run_in_program(hwnd, kTextProbe, &block, sizeof block, why)) {
        print_error(why);
        return kFailed;
    }
    if (block.status != 0) {
        print_error(L"the control does not answer WM_GETFONT");
        return kFailed;
    }
    block.face[LF_FACESIZE - 1] = L'\0';
    print_line(L"line " + std::to_wstring(block.line_width) + L" " +
               std::to_wstring(block.line_height) + L" wrapped " +
               std::to_wstring(block.wrapped_height) + L" client " +
               std::to_wstring(block.client_width) + L" " + std::to_wstring(block.client_height) +
               L" font \"" + block.face + L"\" " + std::to_wstring(block.font_height));
    return kOk;
}

}  // namespace e2e
