// Processes by image name: a program that ends before it shows a window leaves no window to ask.
#include "driver.h"

#include <tlhelp32.h>

namespace e2e {

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

int cmd_process_count(const Options&, const Args& args) {
    print_line(std::to_wstring(processes_named(args[0]).size()));
    return kOk;
}

// Ends every process with this image name and waits until each is gone.
int cmd_kill_process(const Options& options, const Args& args) {
    int result = kOk;
    for (DWORD pid : processes_named(args[0])) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!process)
            continue;  // it ended meanwhile
        if (!TerminateProcess(process, 1) ||
            WaitForSingleObject(process, options.timeout_ms) != WAIT_OBJECT_0) {
            print_error(L"process " + std::to_wstring(pid) + L" did not end");
            result = kFailed;
        }
        CloseHandle(process);
    }
    return result;
}

// Keeps a file open for reading while denying writers, as a program holding it open or a
// read-only share does, until the release file exists (polled) or the time is out.
int cmd_hold_file(const Options&, const Args& args) {
    unsigned long ms = 0;
    if (!parse_number(args[2], ms)) {
        print_error(L"not a timeout in milliseconds: " + args[2]);
        return kUsage;
    }
    HANDLE file = CreateFileW(args[0].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        print_error(L"cannot open " + args[0] + L": error " + std::to_wstring(GetLastError()));
        return kFailed;
    }
    print_line(L"held");
    Deadline deadline(static_cast<DWORD>(ms));
    while (GetFileAttributesW(args[1].c_str()) == INVALID_FILE_ATTRIBUTES && !deadline.passed())
        Sleep(50);
    CloseHandle(file);
    return GetFileAttributesW(args[1].c_str()) == INVALID_FILE_ATTRIBUTES ? kFailed : kOk;
}

}  // namespace e2e
