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

}  // namespace e2e
