// argv-compare FILE: the program's command-line splitter against the system's
// CommandLineToArgvW, on every line of a UTF-8 file.
#include "driver.h"  // windows.h, which shellapi.h needs first

#include <shellapi.h>

#include <string>
#include <vector>

#include "command/argv.h"

namespace e2e {

namespace {

bool read_file(const std::wstring& path, std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
            ok = false;
            break;
        }
        if (read == 0)
            break;
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return ok;
}

std::wstring to_wide(const std::string& text) {
    if (text.empty())
        return {};
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                   static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                        out.data(), size);
    return out;
}

// The arguments the system gives the line, in UTF-8; false when the call fails.
bool system_split(const std::wstring& line, std::vector<std::string>& args) {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(line.c_str(), &count);
    if (argv == nullptr)
        return false;
    for (int i = 0; i < count; ++i)
        args.push_back(to_utf8(argv[i]));
    LocalFree(argv);
    return true;
}

// Each argument between brackets, so blanks and empty ones show.
std::wstring shown(const std::vector<std::string>& args) {
    std::wstring out;
    for (const std::string& arg : args)
        out += L"[" + to_wide(arg) + L"]";
    return out;
}

}  // namespace

// Empty lines are left out: for them the system gives the running program's path. Prints each
// line read differently (the first 20 in full) and ends with "compared N lines, M differ".
int cmd_argv_compare(const Options&, const Args& args) {
    std::string bytes;
    if (!read_file(args[0], bytes)) {
        print_error(L"cannot read " + args[0] + L": " + win32_error(GetLastError()));
        return kFailed;
    }
    size_t compared = 0, differ = 0;
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        const std::wstring wide = to_wide(line);
        if (wide.empty()) {
            print_error(L"not UTF-8: line " + std::to_wstring(compared + 1));
            return kUsage;
        }
        std::vector<std::string> expected;
        if (!system_split(wide, expected)) {
            print_error(L"CommandLineToArgvW failed: " + win32_error(GetLastError()));
            return kFailed;
        }
        ++compared;
        const std::vector<std::string> ours = command::splitArguments(line);
        if (ours == expected)
            continue;
        if (++differ <= 20) {
            print_line(L"differs: " + wide);
            print_line(L"  system: " + shown(expected));
            print_line(L"  ours:   " + shown(ours));
        }
    }
    print_line(L"compared " + std::to_wstring(compared) + L" lines, " + std::to_wstring(differ) +
               L" differ");
    return differ == 0 && compared > 0 ? kOk : kFailed;
}

}  // namespace e2e
