#include "platform/win32/system_services.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

UINT iconFlag(platform::Icon icon) {
    switch (icon) {
        case platform::Icon::Information:
            return MB_ICONINFORMATION;
        case platform::Icon::Exclamation:
            return MB_ICONEXCLAMATION;
        case platform::Icon::Stop:
            return MB_ICONSTOP;
        case platform::Icon::Question:
            return MB_ICONQUESTION;
        case platform::Icon::None:
            break;
    }
    return 0;
}

std::wstring modulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            throw lastError("process.moduleFileName");
        // A full buffer means the name was cut (XP does not even say so): grow and ask again.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

platform::Answer Win32MessageBoxes::show(const std::string& text, const std::string& title,
                                         platform::Icon icon, platform::Buttons buttons) {
    HWND owner = GetActiveWindow();
    UINT flags = (buttons == platform::Buttons::YesNo ? MB_YESNO : MB_OK) | iconFlag(icon) |
                 MB_SETFOREGROUND;
    // Without an owner the box would leave the program's windows usable behind it.
    if (!owner)
        flags |= MB_TASKMODAL;
    int answer = MessageBoxW(owner, toWide(text).c_str(), toWide(title).c_str(), flags);
    switch (answer) {
        case IDYES:
            return platform::Answer::Yes;
        case IDNO:
            return platform::Answer::No;
        case IDOK:
            return platform::Answer::Ok;
        default:
            throw lastError("messageBox " + title);
    }
}

Win32Clock::Win32Clock() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);  // never fails on XP and later
    ticksPerSecond_ = frequency.QuadPart;
}

double Win32Clock::now() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(ticksPerSecond_);
}

void Win32Clock::sleep(double seconds) {
    if (!(seconds > 0))
        return;  // also NaN
    const double until = now() + seconds;
    double left = seconds;
    while (left > 0) {
        double milliseconds = std::ceil(left * 1000.0);
        Sleep(static_cast<DWORD>(std::clamp(milliseconds, 1.0, 10.0)));
        left = until - now();
    }
}

bool Win32Windows::setTopmost(platform::WindowHandle window, bool topmost) {
    return SetWindowPos(reinterpret_cast<HWND>(window), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0,
                        0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) != FALSE;
}

std::string Win32Process::exeName() {
    std::wstring path = modulePath();
    return toUtf8(path.substr(path.find_last_of(L'\\') + 1));
}

std::string Win32Process::exeFolder() {
    std::wstring path = modulePath();
    std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::string() : toUtf8(path.substr(0, slash));
}

void Win32Process::end(int exitCode) {
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace platform::win32
