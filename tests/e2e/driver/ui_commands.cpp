// Subcommands that read or drive windows. Clicks and keys are posted, not sent: a reaction that
// opens a modal window would otherwise hold the driver until someone closes it.
#include "driver.h"

#include <algorithm>

#include <array>
#include <utility>

namespace e2e {

namespace {

// Exit code of set-text when the program got the text but its change reaction is still running.
constexpr int kStillRunning = 3;

HWND target(const Options& options, const Args& args) {
    return wait_control(args[0], args[1], options.timeout_ms);
}

DWORD timeout_arg(const std::wstring& text, bool& ok) {
    unsigned long value = 0;
    ok = parse_number(text, value);
    if (!ok)
        print_error(L"not a timeout in milliseconds: " + text);
    return static_cast<DWORD>(value);
}

std::wstring rect_text(const RECT& rect) {
    return std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
           std::to_wstring(rect.right - rect.left) + L" " + std::to_wstring(rect.bottom - rect.top);
}

HWND top_or_control(const Options& options, const Args& args) {
    return args.size() > 1 ? target(options, args) : wait_top(args[0], options.timeout_ms);
}

struct KeyName {
    const wchar_t* name;
    UINT vk;
};

constexpr std::array kKeys{
    KeyName{L"enter", VK_RETURN},   KeyName{L"escape", VK_ESCAPE}, KeyName{L"tab", VK_TAB},
    KeyName{L"backspace", VK_BACK}, KeyName{L"delete", VK_DELETE}, KeyName{L"space", VK_SPACE},
    KeyName{L"left", VK_LEFT},      KeyName{L"right", VK_RIGHT},   KeyName{L"up", VK_UP},
    KeyName{L"down", VK_DOWN},      KeyName{L"home", VK_HOME},     KeyName{L"end", VK_END},
    KeyName{L"f1", VK_F1},
};

bool is_extended(UINT vk) {
    switch (vk) {
        case VK_DELETE:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
            return true;
        default:
            return false;
    }
}

void list_one(HWND hwnd) {
    wchar_t cls[128] = L"";
    GetClassNameW(hwnd, cls, 128);
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    std::wstring text;
    read_text(hwnd, text);
    std::wstring name = control_name(hwnd);
    print_line((name.empty() ? L"-" : name) + L"\t" + cls + L"\tid=" +
               std::to_wstring(GetDlgCtrlID(hwnd) & 0xFFFF) + L"\t" +
               (IsWindowVisible(hwnd) ? L"visible" : L"hidden") + L"\t" +
               (IsWindowEnabled(hwnd) ? L"enabled" : L"disabled") + L"\t" + rect_text(rect) +
               L"\t\"" + text + L"\"");
}

BOOL CALLBACK list_child(HWND hwnd, LPARAM) {
    list_one(hwnd);
    return TRUE;
}

}  // namespace

int cmd_wait_window(const Options&, const Args& args) {
    bool ok = false;
    DWORD ms = timeout_arg(args[1], ok);
    if (!ok)
        return kUsage;
    // A form is created hidden and shown after its load step, so only a visible window counts.
    HWND hwnd = wait_top(args[0], ms, true);
    if (!hwnd)
        return kFailed;
    // What the program does as it shows a window (activating it, placing the focus) is done once
    // it takes a message again: the next command must not race it.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, std::max<DWORD>(ms, 1000), &ignored);
    return kOk;
}

int cmd_wait_gone(const Options&, const Args& args) {
    bool ok = false;
    DWORD ms = timeout_arg(args[1], ok);
    if (!ok)
        return kUsage;
    Deadline deadline(ms);
    while (find_top(args[0])) {
        if (deadline.passed()) {
            print_error(L"window \"" + args[0] + L"\" is still there");
            return kFailed;
        }
        Sleep(25);
    }
    return kOk;
}

int cmd_wait_control(const Options& options, const Args& args) {
    DWORD ms = options.timeout_ms;
    if (args.size() > 2) {
        bool ok = false;
        ms = timeout_arg(args[2], ok);
        if (!ok)
            return kUsage;
    }
    return wait_control(args[0], args[1], ms) ? kOk : kFailed;
}

int cmd_get_text(const Options& options, const Args& args) {
    HWND hwnd = target(options, args);
    std::wstring text;
    if (!hwnd || !read_text(hwnd, text))
        return kFailed;
    print_line(text);
    return kOk;
}

int cmd_is_enabled(const Options& options, const Args& args) {
    HWND hwnd = target(options, args);
    if (!hwnd)
        return kFailed;
    print_line(IsWindowEnabled(hwnd) ? L"true" : L"false");
    return kOk;
}

int cmd_is_visible(const Options& options, const Args& args) {
    HWND hwnd = target(options, args);
    if (!hwnd)
        return kFailed;
    print_line(IsWindowVisible(hwnd) ? L"true" : L"false");
    return kOk;
}

int cmd_set_text(const Options& options, const Args& args) {
    HWND hwnd = target(options, args);
    if (!hwnd)
        return kFailed;
    DWORD_PTR result = 0;
    SetLastError(0);
    if (SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[2].c_str()),
                            SMTO_NORMAL, 2000, &result)) {
        if (result)
            return kOk;
        print_error(L"the control refused the text");
        return kFailed;
    }
    if (GetLastError() == ERROR_TIMEOUT) {
        print_error(L"the text was sent; the program's reaction has not returned after 2000 ms");
        return kStillRunning;
    }
    print_error(L"WM_SETTEXT failed: " + win32_error(GetLastError()));
    return kFailed;
}

int cmd_click(const Options& options, const Args& args) {
    HWND hwnd = target(options, args);
    if (!hwnd)
        return kFailed;
    if (!IsWindowEnabled(hwnd))
        print_error(L"note: " + args[1] + L" is disabled, the click will be ignored");
    return PostMessageW(hwnd, BM_CLICK, 0, 0) ? kOk : kFailed;
}

// Only the key strokes are posted; the program's TranslateMessage makes the WM_CHAR from them, as
// it would for a real key.
int cmd_key(const Options& options, const Args& args) {
    UINT vk = 0;
    for (const auto& key : kKeys)
        if (args[2] == key.name)
            vk = key.vk;
    unsigned long number = 0;
    if (vk == 0 && parse_number(args[2], number) && number > 0 && number < 256)
        vk = static_cast<UINT>(number);
    if (vk == 0) {
        print_error(L"unknown key " + args[2] +
                    L" (use a name such as enter, escape, tab, or a virtual key code)");
        return kUsage;
    }
    HWND hwnd = target(options, args);
    if (!hwnd)
        return kFailed;
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    if (is_extended(vk))
        scan |= LPARAM{1} << 24;
    bool posted =
        PostMessageW(hwnd, WM_KEYDOWN, vk, 1 | scan) &&
        PostMessageW(hwnd, WM_KEYUP, vk, 1 | scan | (LPARAM{1} << 30) | (LPARAM{1} << 31));
    return posted ? kOk : kFailed;
}

int cmd_type(const Options& options, const Args& args) {
    HWND hwnd = target(options, args);
    if (!hwnd)
        return kFailed;
    for (wchar_t unit : args[2])
        if (!PostMessageW(hwnd, WM_CHAR, unit, 1))
            return kFailed;
    return kOk;
}

int cmd_window_rect(const Options& options, const Args& args) {
    HWND hwnd = top_or_control(options, args);
    RECT rect{};
    if (!hwnd || !GetWindowRect(hwnd, &rect))
        return kFailed;
    print_line(rect_text(rect));
    return kOk;
}

// Makes the window's client area invalid, as a window uncovered is, and waits until the program
// has painted it: its update region is empty again. A program whose window thread is blocked
// leaves it invalid.
int cmd_repaint(const Options& options, const Args& args) {
    bool ok = false;
    DWORD ms = timeout_arg(args[1], ok);
    if (!ok)
        return kUsage;
    HWND hwnd = wait_top(args[0], options.timeout_ms);
    if (!hwnd)
        return kFailed;
    if (!RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE)) {
        print_error(L"RedrawWindow failed: " + win32_error(GetLastError()));
        return kFailed;
    }
    const ULONGLONG start = GetTickCount64();
    Deadline deadline(ms);
    while (GetUpdateRect(hwnd, nullptr, FALSE)) {
        if (deadline.passed()) {
            print_error(L"window \"" + args[0] + L"\" is still not repainted after " +
                        std::to_wstring(ms) + L" ms");
            return kFailed;
        }
        Sleep(10);
    }
    print_line(L"repainted in " + std::to_wstring(GetTickCount64() - start) + L" ms");
    return kOk;
}

// The client area in screen coordinates: what the program laid out, without frame or menu bar.
int cmd_client_rect(const Options& options, const Args& args) {
    HWND hwnd = top_or_control(options, args);
    RECT rect{};
    if (!hwnd || !GetClientRect(hwnd, &rect))
        return kFailed;
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    OffsetRect(&rect, origin.x, origin.y);
    print_line(rect_text(rect));
    return kOk;
}

int cmd_list(const Options& options, const Args& args) {
    HWND top = wait_top(args[0], options.timeout_ms);
    if (!top)
        return kFailed;
    list_one(top);
    EnumChildWindows(top, list_child, 0);
    return kOk;
}

int cmd_close(const Options& options, const Args& args) {
    HWND hwnd = wait_top(args[0], options.timeout_ms);
    if (!hwnd)
        return kFailed;
    return PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0) ? kOk : kFailed;
}

// Ends the process that owns the window and waits until it is gone, so the next start is clean.
int cmd_terminate(const Options& options, const Args& args) {
    HWND hwnd = wait_top(args[0], options.timeout_ms);
    if (!hwnd)
        return kFailed;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!process) {
        print_error(L"cannot open process " + std::to_wstring(pid) + L": " +
                    win32_error(GetLastError()));
        return kFailed;
    }
    bool ended = TerminateProcess(process, 1) &&
                 WaitForSingleObject(process, options.timeout_ms) == WAIT_OBJECT_0;
    CloseHandle(process);
    if (!ended)
        print_error(L"process " + std::to_wstring(pid) + L" did not end");
    return ended ? kOk : kFailed;
}

int cmd_msgbox_text(const Options& options, const Args& args) {
    HWND box = wait_message_box(args[0], options.timeout_ms);
    if (!box)
        return kFailed;
    // MessageBox puts its text in the Static with id 0xFFFF.
    HWND label = GetDlgItem(box, 0xFFFF);
    std::wstring text;
    if (!label || !read_text(label, text)) {
        print_error(L"the message box has no text control");
        return kFailed;
    }
    print_line(text);
    return kOk;
}

int cmd_msgbox_press(const Options& options, const Args& args) {
    static constexpr std::array<std::pair<const wchar_t*, int>, 5> kButtons{{{L"ok", IDOK},
                                                                             {L"cancel", IDCANCEL},
                                                                             {L"yes", IDYES},
                                                                             {L"no", IDNO},
                                                                             {L"retry", IDRETRY}}};
    int id = 0;
    for (const auto& [name, value] : kButtons)
        if (args[1] == name)
            id = value;
    unsigned long number = 0;
    if (id == 0 && parse_number(args[1], number))
        id = static_cast<int>(number);
    if (id == 0) {
        print_error(L"unknown button " + args[1] + L" (ok, cancel, yes, no, retry or an id)");
        return kUsage;
    }
    HWND box = wait_message_box(args[0], options.timeout_ms);
    if (!box)
        return kFailed;
    HWND button = GetDlgItem(box, id);
    if (!button && id != IDCANCEL) {
        print_error(L"the message box has no button with id " + std::to_wstring(id));
        return kFailed;
    }
    // "cancel" on a box without a Cancel button is Escape: the dialog manager sends the box
    // IDCANCEL for it.
    if (button ? !PostMessageW(button, BM_CLICK, 0, 0)
               : !PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0))
        return kFailed;
    // Done once the box has gone: its owner takes input again before the next command acts.
    Deadline deadline(options.timeout_ms);
    while (IsWindow(box)) {
        if (deadline.passed()) {
            print_error(L"the message box is still open");
            return kFailed;
        }
        Sleep(10);
    }
    return kOk;
}

// What a program started now would see; used to prove a DPI switch took effect. Wine 8 starts
// every process per-monitor aware (awareness 2) and gives the same DPI on all these paths.
int cmd_dpi(const Options&, const Args&) {
    HDC screen = GetDC(nullptr);
    int x = GetDeviceCaps(screen, LOGPIXELSX);
    int y = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    using DpiForSystem = UINT(WINAPI*)();
    using ThreadAwareness = HANDLE(WINAPI*)();
    using AwarenessOf = int(WINAPI*)(HANDLE);
    using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    auto symbol = [](HMODULE module, const char* name) {
        return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
    };
    auto for_system = reinterpret_cast<DpiForSystem>(symbol(user32, "GetDpiForSystem"));
    auto thread_awareness =
        reinterpret_cast<ThreadAwareness>(symbol(user32, "GetThreadDpiAwarenessContext"));
    auto awareness_of =
        reinterpret_cast<AwarenessOf>(symbol(user32, "GetAwarenessFromDpiAwarenessContext"));
    auto for_monitor =
        reinterpret_cast<DpiForMonitor>(symbol(LoadLibraryW(L"shcore.dll"), "GetDpiForMonitor"));
    UINT mx = 0, my = 0;
    HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    bool have_monitor = for_monitor && SUCCEEDED(for_monitor(primary, 0, &mx, &my));
    print_line(L"logpixels " + std::to_wstring(x) + L" " + std::to_wstring(y) + L" system " +
               (for_system ? std::to_wstring(for_system()) : L"-") + L" monitor " +
               (have_monitor ? std::to_wstring(mx) : L"-") + L" awareness " +
               (thread_awareness && awareness_of ? std::to_wstring(awareness_of(thread_awareness()))
                                                 : L"-") +
               L" caption " + std::to_wstring(GetSystemMetrics(SM_CYCAPTION)));
    return kOk;
}

}  // namespace e2e
