#include "probe_client.h"

#include "driver.h"
#include "probe.h"

#include <tlhelp32.h>

#include <optional>

namespace e2e {

namespace {

constexpr DWORD kRemoteCallMs = 5000;

class Remote {
  public:
    explicit Remote(HANDLE process) : process_(process) {}
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;
    ~Remote() {
        for (void* block : blocks_)
            VirtualFreeEx(process_, block, 0, MEM_RELEASE);
    }
    void* copy(const void* data, size_t size) {
        void* block =
            VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!block)
            return nullptr;
        blocks_.push_back(block);
        SIZE_T written = 0;
        if (!WriteProcessMemory(process_, block, data, size, &written) || written != size)
            return nullptr;
        return block;
    }
    bool read(const void* there, void* data, size_t size) {
        SIZE_T got = 0;
        return ReadProcessMemory(process_, there, data, size, &got) && got == size;
    }
    // fn(arg) on a new thread of the program; its exit code once it has ended.
    std::optional<DWORD> call(LPTHREAD_START_ROUTINE fn, void* arg) {
        HANDLE thread = CreateRemoteThread(process_, nullptr, 0, fn, arg, 0, nullptr);
        if (!thread)
            return std::nullopt;
        DWORD code = 0;
        bool done = WaitForSingleObject(thread, kRemoteCallMs) == WAIT_OBJECT_0 &&
                    GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        if (!done)
            return std::nullopt;
        return code;
    }

  private:
    HANDLE process_;
    std::vector<void*> blocks_;
};

// Where the probe landed in the program: LoadLibraryW's exit code holds only 32 of its 64 bits.
HMODULE remote_module(DWORD pid, const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE)
        return nullptr;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    HMODULE found = nullptr;
    for (BOOL more = Module32FirstW(snapshot, &entry); more && !found;
         more = Module32NextW(snapshot, &entry))
        if (CompareStringOrdinal(entry.szModule, -1, name, -1, TRUE) == CSTR_EQUAL)
            found = entry.hModule;
    CloseHandle(snapshot);
    return found;
}

std::wstring beside_driver(const wchar_t* file) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    size_t slash = dir.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : dir.substr(0, slash + 1)) + file;
}

template <typename T>
LPTHREAD_START_ROUTINE as_start(T* fn) {
    return reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(fn));
}

}  // namespace

bool run_in_program(HWND window, const char* export_name, void* block, size_t size,
                    std::wstring& why) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process =
        OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                        PROCESS_VM_WRITE | PROCESS_VM_READ | SYNCHRONIZE,
                    FALSE, pid);
    if (!process) {
        why = L"cannot open the program's process: " + win32_error(GetLastError());
        return false;
    }
    std::wstring dll = beside_driver(kProbeDll);
    HMODULE local = LoadLibraryW(dll.c_str());
    FARPROC probe = local ? GetProcAddress(local, export_name) : nullptr;
    bool ok = false;
    if (!probe) {
        why = L"cannot load " + dll + L": " + win32_error(GetLastError());
    } else {
        // kernel32 lies at the same address in every process, so its functions can be started
        // in the program by their address here.
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        auto load = as_start(GetProcAddress(kernel, "LoadLibraryW"));
        auto unload = as_start(GetProcAddress(kernel, "FreeLibrary"));
        Remote remote(process);
        void* path = remote.copy(dll.c_str(), (dll.size() + 1) * sizeof(wchar_t));
        auto loaded = path ? remote.call(load, path) : std::nullopt;
        HMODULE base = loaded && *loaded ? remote_module(pid, kProbeDll) : nullptr;
        if (!base) {
            why = L"the probe did not load into the program";
        } else {
            auto start = reinterpret_cast<LPTHREAD_START_ROUTINE>(
                reinterpret_cast<BYTE*>(base) +
                (reinterpret_cast<BYTE*>(reinterpret_cast<void*>(probe)) -
                 reinterpret_cast<BYTE*>(local)));
            void* there = remote.copy(block, size);
            if (there && remote.call(start, there) && remote.read(there, block, size))
                ok = true;
            else
                why = L"the probe did not run in the program";
            remote.call(unload, base);
        }
    }
    if (local)
        FreeLibrary(local);
    CloseHandle(process);
    return ok;
}

}  // namespace e2e
