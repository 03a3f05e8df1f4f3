#include "platform/win32/system_services.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/win32/handle.h"
#include "platform/win32/system_library.h"
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
        case IDCANCEL:
            // Esc or the close box: Wine answers a Yes/No box so too. Anything but Yes is No.
            return buttons == platform::Buttons::YesNo ? platform::Answer::No
                                                       : platform::Answer::Ok;
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
        // At most this long at a time; the clock, not the sleeps, says when the wait is over.
        constexpr double kLongestSleep = 10.0;  // milliseconds
        double milliseconds = std::ceil(left * kMillisecondsPerSecond);
        Sleep(static_cast<DWORD>(std::clamp(milliseconds, 1.0, kLongestSleep)));
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

std::vector<std::string> Win32Process::arguments() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr)
        throw lastError("process.arguments", ERROR_NOT_ENOUGH_MEMORY);
    std::vector<std::string> out;
    // The first is the program's own name.
    for (int i = 1; i < count; ++i)
        out.push_back(toUtf8(argv[i]));
    LocalFree(argv);
    return out;
}

bool Win32Process::runsAsLocalSystem() {
    const char* call = "process.account";
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        throw lastError(call);
    UniqueHandle token(raw);
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        throw lastError(call);
    }
    // Whole TOKEN_USER records: the SID it points to follows it in the same buffer.
    std::vector<TOKEN_USER> buffer(size / sizeof(TOKEN_USER) + 1);
    const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(TOKEN_USER));
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), bytes, &size))
        throw lastError(call);
    return IsWellKnownSid(buffer.front().User.Sid, WinLocalSystemSid) != FALSE;
}

namespace {

std::optional<platform::Architecture> architectureOfMachine(USHORT machine) {
    switch (machine) {
        case IMAGE_FILE_MACHINE_I386:
            return platform::Architecture::X86;
        case IMAGE_FILE_MACHINE_AMD64:
            return platform::Architecture::Amd64;
        case IMAGE_FILE_MACHINE_ARMNT:
            return platform::Architecture::Arm;
        case IMAGE_FILE_MACHINE_ARM64:
            return platform::Architecture::Arm64;
        case IMAGE_FILE_MACHINE_IA64:
            return platform::Architecture::Ia64;
        default:
            return std::nullopt;
    }
}

// The PC's own architecture, not the one this program runs as: an ARM64 PC runs this x64
// program emulated, and its drivers must be ARM64 ones. IsWow64Process2 knows that (Windows 10
// 1709 on); GetNativeSystemInfo is the answer before it.
platform::Architecture nativeArchitecture() {
    using IsWow64Process2Function = BOOL WINAPI(HANDLE, USHORT*, USHORT*);
    auto* isWow64Process2 =
        systemFunction<IsWow64Process2Function>(L"kernel32.dll", "IsWow64Process2");
    USHORT process = 0;
    USHORT native = 0;
    if (isWow64Process2 != nullptr && isWow64Process2(GetCurrentProcess(), &process, &native)) {
        if (auto a = architectureOfMachine(native))
            return *a;
    }
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    switch (info.wProcessorArchitecture) {
        case PROCESSOR_ARCHITECTURE_INTEL:
            return platform::Architecture::X86;
        case PROCESSOR_ARCHITECTURE_ARM:
            return platform::Architecture::Arm;
        case PROCESSOR_ARCHITECTURE_ARM64:
            return platform::Architecture::Arm64;
        case PROCESSOR_ARCHITECTURE_IA64:
            return platform::Architecture::Ia64;
        default:
            return platform::Architecture::Amd64;
    }
}

}  // namespace

platform::WindowsTarget Win32Process::target() {
    platform::WindowsTarget t;
    t.architecture = nativeArchitecture();
    // RtlGetVersion tells the true version; GetVersionEx answers what the manifest promises.
    using RtlGetVersionFunction = LONG WINAPI(OSVERSIONINFOEXW*);
    auto* rtlGetVersion = systemFunction<RtlGetVersionFunction>(L"ntdll.dll", "RtlGetVersion");
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (rtlGetVersion != nullptr && rtlGetVersion(&version) == 0) {
        t.major = version.dwMajorVersion;
        t.minor = version.dwMinorVersion;
        t.build = version.dwBuildNumber;
        t.productType = version.wProductType;
        t.suiteMask = version.wSuiteMask;
    }
    t.language = GetUserDefaultUILanguage();
    return t;
}

void Win32Process::end(int exitCode) {
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace platform::win32
