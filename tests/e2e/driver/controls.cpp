// Finding the program's windows. Everything polls: the program creates its windows and sets the
// VelmoraControl properties a little after its process starts, and the test must not guess when.
#include "driver.h"

#include <cerrno>
#include <cwchar>

namespace e2e {

namespace {

constexpr DWORD kPollMs = 25;
constexpr wchar_t kProperty[] = L"VelmoraControl";

struct Search {
    const std::wstring* name;
    HWND found = nullptr;
};

BOOL CALLBACK match_child(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (control_name(hwnd) != *search->name)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

// EnumChildWindows walks every descendant, so controls inside frames are found too.
HWND find_control(HWND top, const std::wstring& name) {
    if (control_name(top) == name)
        return top;
    Search search{&name};
    EnumChildWindows(top, match_child, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

// Windows belong to one desktop; a program started with `explorer /desktop=NAME` lives in NAME, so
// the driver moves its thread there before it creates anything that would pin it to the default
// one.
bool join_desktop(const std::wstring& name, DWORD timeout_ms) {
    Deadline deadline(timeout_ms);
    for (;;) {
        HDESK desk = OpenDesktopW(name.c_str(), 0, FALSE, GENERIC_ALL);
        if (desk) {
            if (SetThreadDesktop(desk))
                return true;
            print_error(L"cannot join desktop " + name + L": " + win32_error(GetLastError()));
            return false;
        }
        if (deadline.passed()) {
            print_error(L"desktop " + name + L" does not exist");
            return false;
        }
        Sleep(kPollMs);
    }
}

std::wstring control_name(HWND hwnd) {
    auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(hwnd, kProperty)));
    if (atom == 0)
        return {};
    wchar_t buffer[256];
    UINT length = GlobalGetAtomNameW(atom, buffer, 256);
    return std::wstring(buffer, length);
}

HWND find_top(const std::wstring& title) {
    return FindWindowW(nullptr, title.c_str());
}

// Two forms may share a title (the notice window and the hidden engine window do), so lookups
// that want one of them look at every window of that title.
std::vector<HWND> find_tops(const std::wstring& title) {
    std::vector<HWND> found;
    for (HWND hwnd = nullptr; (hwnd = FindWindowExW(nullptr, hwnd, nullptr, title.c_str()));)
        found.push_back(hwnd);
    return found;
}

HWND wait_top(const std::wstring& title, DWORD timeout_ms, bool visible) {
    Deadline deadline(timeout_ms);
    for (;;) {
        for (HWND hwnd : find_tops(title))
            if (!visible || IsWindowVisible(hwnd))
                return hwnd;
        if (deadline.passed())
            break;
        Sleep(kPollMs);
    }
    print_error(L"no " + std::wstring(visible ? L"visible " : L"") + L"window titled \"" + title +
                L"\" after " + std::to_wstring(timeout_ms) + L" ms");
    return nullptr;
}

HWND wait_control(const std::wstring& title, const std::wstring& name, DWORD timeout_ms) {
    Deadline deadline(timeout_ms);
    bool saw_window = false;
    for (;;) {
        // Look the window up again each round: the program may have recreated it meanwhile.
        for (HWND top : find_tops(title)) {
            saw_window = true;
            if (HWND hwnd = find_control(top, name))
                return hwnd;
        }
        if (deadline.passed())
            break;
        Sleep(kPollMs);
    }
    if (saw_window)
        print_error(L"window \"" + title + L"\" has no control " + name);
    else
        print_error(L"no window titled \"" + title + L"\"");
    return nullptr;
}

HWND wait_message_box(const std::wstring& title, DWORD timeout_ms) {
    Deadline deadline(timeout_ms);
    for (;;) {
        HWND hwnd = FindWindowW(L"#32770", title.c_str());
        if (hwnd && IsWindowVisible(hwnd))
            return hwnd;
        if (deadline.passed())
            break;
        Sleep(kPollMs);
    }
    print_error(L"no message box titled \"" + title + L"\"");
    return nullptr;
}

bool read_text(HWND hwnd, std::wstring& text) {
    constexpr UINT kSendTimeoutMs = 5000;
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length)) {
        print_error(L"the window does not answer WM_GETTEXTLENGTH");
        return false;
    }
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(),
                             reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &copied)) {
        print_error(L"the window does not answer WM_GETTEXT");
        return false;
    }
    buffer.resize(copied < buffer.size() ? copied : buffer.size() - 1);
    text = buffer;
    return true;
}

bool parse_number(const std::wstring& text, unsigned long& value) {
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    errno = 0;
    value = std::wcstoul(text.c_str(), &end, 0);
    return errno == 0 && end && *end == L'\0' && text[0] != L'-';
}

}  // namespace e2e
