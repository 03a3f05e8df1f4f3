// Subcommands for the keyboard focus: which control has it, giving it to a control, and Tab
// as the keyboard sends it. The focus belongs to the program's thread; GetGUIThreadInfo reads it
// from outside. Each line reads "NAME visible|hidden inside|partly|outside": the control's
// VelmoraControl name (a combo box's edit reports as its combo box), whether it is shown, and
// where it lies against its window's client area.
#include "driver.h"

namespace e2e {

namespace {

constexpr DWORD kPollMs = 25;

HWND focus_of(HWND top) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

// The focused window itself or the nearest named window above it, inside `top`.
HWND named_focus(HWND top) {
    HWND focus = focus_of(top);
    for (HWND h = focus; h != nullptr && h != top; h = GetParent(h)) {
        if (!control_name(h).empty())
            return h;
    }
    return nullptr;
}

std::wstring placement(HWND top, HWND control) {
    RECT client{};
    GetClientRect(top, &client);
    MapWindowPoints(top, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT rect{};
    GetWindowRect(control, &rect);
    RECT common{};
    if (!IntersectRect(&common, &client, &rect))
        return L"outside";
    return EqualRect(&common, &rect) ? L"inside" : L"partly";
}

std::wstring focus_line(HWND top, HWND control) {
    return control_name(control) + L" " + (IsWindowVisible(control) ? L"visible" : L"hidden") +
           L" " + placement(top, control);
}

HWND visible_top(const Options& options, const std::wstring& title) {
    return wait_top(title, options.timeout_ms, true);
}

}  // namespace

int cmd_focused(const Options& options, const Args& args) {
    HWND top = visible_top(options, args[0]);
    if (!top)
        return kFailed;
    HWND control = named_focus(top);
    if (!control) {
        print_error(L"no control of \"" + args[0] + L"\" has the keyboard focus");
        return kFailed;
    }
    print_line(focus_line(top, control));
    return kOk;
}

// Gives the control the focus as a click into it would, without clicking: the driver's input
// state is joined to the program's for the SetFocus call.
int cmd_focus(const Options& options, const Args& args) {
    HWND top = visible_top(options, args[0]);
    HWND control = top ? wait_control(args[0], args[1], options.timeout_ms) : nullptr;
    if (!control)
        return kFailed;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // a thread needs a queue to be attached
    DWORD self = GetCurrentThreadId();
    DWORD program = GetWindowThreadProcessId(control, nullptr);
    if (!AttachThreadInput(self, program, TRUE)) {
        print_error(L"AttachThreadInput failed: " + win32_error(GetLastError()));
        return kFailed;
    }
    SetFocus(control);
    AttachThreadInput(self, program, FALSE);
    Deadline deadline(options.timeout_ms);
    while (named_focus(top) != control) {
        if (deadline.passed()) {
            print_error(args[1] + L" did not take the focus");
            return kFailed;
        }
        Sleep(kPollMs);
    }
    return kOk;
}

// Posts Tab to the window that has the focus, as the keyboard would, waits until the focus has
// moved, and prints where it went. A Tab that moves nothing within the timeout fails.
int cmd_tab(const Options& options, const Args& args) {
    HWND top = visible_top(options, args[0]);
    if (!top)
        return kFailed;
    HWND before = named_focus(top);
    HWND target = focus_of(top);
    if (!before || !target) {
        print_error(L"no control of \"" + args[0] + L"\" has the keyboard focus");
        return kFailed;
    }
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_TAB, MAPVK_VK_TO_VSC)) << 16;
    if (!PostMessageW(target, WM_KEYDOWN, VK_TAB, 1 | scan) ||
        !PostMessageW(target, WM_KEYUP, VK_TAB, 1 | scan | (LPARAM{1} << 30) | (LPARAM{1} << 31))) {
        print_error(L"the key could not be posted: " + win32_error(GetLastError()));
        return kFailed;
    }
    Deadline deadline(options.timeout_ms);
    for (;;) {
        HWND now = named_focus(top);
        if (now != nullptr && now != before) {
            print_line(focus_line(top, now));
            return kOk;
        }
        if (deadline.passed()) {
            print_error(L"the focus stayed on " + control_name(before));
            return kFailed;
        }
        Sleep(kPollMs);
    }
}

}  // namespace e2e
