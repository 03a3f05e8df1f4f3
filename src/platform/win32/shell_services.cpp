#include "platform/win32/shell_services.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "command/program_location.h"
#include "platform/error_texts.h"
#include "platform/win32/handle.h"
#include "platform/win32/paint_wait.h"
#include "platform/win32/registry_path.h"
#include "platform/win32/system_library.h"
#include "platform/win32/wide.h"
#include "platform/win32/winspool.h"

namespace platform::win32 {

namespace {

// The folder of the running program, which is the package's.
std::wstring programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

command::Folders programFolders() {
    return {toUtf8(systemFolder()), toUtf8(windowsFolder()), toUtf8(programFolder())};
}

// Starts a command line as given, byte for byte, the program by the full path that
// command::programPath gives: CreateProcess left to find it would look in the package folder
// and the current folder first, where a planted reg.exe would run with administrator rights.
// The process handle is kept only when the caller waits on it. Returns the Win32 error, 0 on
// success.
DWORD startProcess(const std::string& command, int style, UniqueHandle* process) {
    std::optional<std::string> program = command::programPath(command, programFolders());
    if (!program)
        return ERROR_FILE_NOT_FOUND;
    const std::wstring application = toWide(*program);
    std::wstring line = toWide(command);
    line.push_back(L'\0');  // CreateProcessW may write into the command line
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(style);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        DWORD code = GetLastError();
        return code != ERROR_SUCCESS ? code : ERROR_FILE_NOT_FOUND;
    }
    CloseHandle(info.hThread);
    if (process) {
        *process = UniqueHandle(info.hProcess);
    } else {
        CloseHandle(info.hProcess);
    }
    return ERROR_SUCCESS;
}

std::wstring trimmed(std::wstring s) {
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!s.empty() && blank(s.back()))
        s.pop_back();
    std::size_t first = 0;
    while (first < s.size() && blank(s[first]))
        ++first;
    return s.substr(first);
}

bool startsWithNoCase(const std::wstring& s, const wchar_t* prefix) {
    std::size_t n = wcslen(prefix);
    return s.size() >= n && CompareStringOrdinal(s.c_str(), static_cast<int>(n), prefix,
                                                 static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

bool isProgramFile(const std::wstring& path) {
    static constexpr std::array<const wchar_t*, 4> kProgramExtensions = {L".exe", L".com", L".bat",
                                                                         L".cmd"};
    std::size_t dot = path.find_last_of(L'.');
    std::size_t slash = path.find_last_of(L"\\/");
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        return false;
    std::wstring extension = path.substr(dot);
    return std::any_of(kProgramExtensions.begin(), kProgramExtensions.end(), [&](const wchar_t* e) {
        return CompareStringOrdinal(extension.c_str(), -1, e, -1, TRUE) == CSTR_EQUAL;
    });
}

// What the shell must open itself rather than start: a URL, or a whole command line that names
// an existing folder or a document. Empty for a program's command line, which startProcess
// starts by its full path: the shell would search for a bare program name.
std::wstring shellTarget(const std::string& command) {
    std::wstring line = trimmed(toWide(command));
    if (startsWithNoCase(line, L"http://") || startsWithNoCase(line, L"https://"))
        return line;
    if (line.size() >= 2 && line.front() == L'"' && line.back() == L'"') {
        line = line.substr(1, line.size() - 2);
    }
    if (line.empty())
        return {};
    DWORD attributes = GetFileAttributesW(line.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {};
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || !isProgramFile(line))
        return line;
    return {};
}

long long exitCodeAfterWait(HANDLE process, const std::string& call) {
    // However long it takes: the notice window keeps showing its progress text meanwhile, and
    // no reaction of the program runs.
    while (!waitPainting(process, WaitDeadline::max(), call)) {
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code))
        throw lastError(call);
    // The scripting shell hands the exit code back as a signed 32-bit number.
    return static_cast<std::int32_t>(code);
}

HKEY rootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::Users:
            return HKEY_USERS;
        case RegistryRoot::CurrentConfig:
            return HKEY_CURRENT_CONFIG;
    }
    return HKEY_CURRENT_USER;
}

}  // namespace

long long Win32Shell::run(const std::string& command, std::optional<int> style, bool wait) {
    const std::string call = "shell.run " + command;
    int show = style.value_or(platform::window_style::kNormal);
    std::wstring target = shellTarget(command);
    if (!target.empty()) {
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        // No error box of the shell's own: the failure is raised to the program instead.
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        info.lpFile = target.c_str();
        info.nShow = show;
        if (!ShellExecuteExW(&info))
            throw lastError(call, ERROR_FILE_NOT_FOUND);
        UniqueHandle process(info.hProcess);
        // A document opened in a program that was already running gives no process to wait on.
        if (wait && process.valid())
            return exitCodeAfterWait(process.get(), call);
        return 0;
    }
    UniqueHandle process;
    DWORD code = startProcess(command, show, wait ? &process : nullptr);
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
        // The scripting shell raises a missing program as 0x80070002 with the system's text of
        // Traditional Chinese Windows, whatever the message table of this system says.
        throw platform::errorFor(platform::errors::kFileNotFoundHresult, call);
    }
    if (code != ERROR_SUCCESS)
        throw win32Error(code, call);
    return wait ? exitCodeAfterWait(process.get(), call) : 0;
}

void Win32Shell::open(const std::string& file, const std::string& verb, int style) {
    const std::string call = "shell.open " + file;
    std::wstring wideFile = toWide(file);
    std::wstring wideVerb = toWide(verb);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error box of the shell's own: the failure is raised to the program instead.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = wideVerb.c_str();
    info.lpFile = wideFile.c_str();
    info.nShow = style;
    if (!ShellExecuteExW(&info))
        throw lastError(call, ERROR_FILE_NOT_FOUND);
}

void Win32Shell::regWrite(const std::string& path, const std::string& value,
                          const std::string& type) {
    const std::string call = "shell.regWrite " + path;
    auto parsed = parseRegistryPath(path);
    if (!parsed) {
        throw platform::Error(platform::errors::kFileNotFoundHresult, "登錄機碼的根無效：" + path,
                              call);
    }
    auto kind = parseRegistryType(type);
    if (!kind)
        throw hresultError(E_INVALIDARG, call + " (" + type + ")");

    DWORD regType = REG_SZ;
    std::wstring text;
    DWORD number = 0;
    const BYTE* data = nullptr;
    DWORD size = 0;
    if (*kind == RegistryType::Dword) {
        number = registryDword(value);
        regType = REG_DWORD;
        data = reinterpret_cast<const BYTE*>(&number);
        size = sizeof number;
    } else {
        regType = *kind == RegistryType::ExpandString ? REG_EXPAND_SZ : REG_SZ;
        text = toWide(value);
        data = reinterpret_cast<const BYTE*>(text.c_str());
        size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    }

    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(rootKey(parsed->root), toWide(parsed->subKey).c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        throw win32Error(static_cast<DWORD>(status), call);
    status = RegSetValueExW(key, toWide(parsed->valueName).c_str(), 0, regType, data, size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        throw win32Error(static_cast<DWORD>(status), call);
}

// Both calls may fail without setting an error (Wine's AddPrinterConnectionW does); the name
// is then what was wrong.
void Win32Network::setDefaultPrinter(const std::string& name) {
    const std::string call = "network.setDefaultPrinter " + name;
    static auto* setDefault = winspool<BOOL WINAPI(LPCWSTR)>("SetDefaultPrinterW", call);
    SetLastError(ERROR_SUCCESS);
    if (!setDefault(toWide(name).c_str()))
        throw lastError(call, ERROR_INVALID_PRINTER_NAME);
}

void Win32Network::addWindowsPrinterConnection(const std::string& path) {
    const std::string call = "network.addWindowsPrinterConnection " + path;
    static auto* addConnection = winspool<BOOL WINAPI(LPWSTR)>("AddPrinterConnectionW", call);
    std::wstring wide = toWide(path);
    wide.push_back(L'\0');
    SetLastError(ERROR_SUCCESS);
    if (!addConnection(wide.data()))
        throw lastError(call, ERROR_INVALID_PRINTER_NAME);
}

void Win32Launcher::start(const std::string& command, int style) {
    DWORD code = startProcess(command, style, nullptr);
    if (code == ERROR_SUCCESS)
        return;
    std::string reason = systemMessage(HRESULT_FROM_WIN32(code));
    throw platform::Error(platform::errors::kFileNotFound,
                          platform::errorText(platform::errors::kFileNotFound) + "（錯誤 " +
                              std::to_string(code) + "：" + reason + "）",
                          "launcher.start " + command);
}

}  // namespace platform::win32
