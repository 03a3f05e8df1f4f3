#include "probe_client.h"

#include "driver.h"
#include "probe.h"

#include <tlhelp32.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace e2e {

namespace {

// How long one step in the program may take. A new thread there waits for the loader lock, which
// the program's own start-up may hold for a while; a step that takes longer is given up.
constexpr DWORD kRemoteCallMs = 10000;
// The whole probe, however the program behaves: Wine carries out another process's thread start
// and memory calls in that process, and waits for it without a limit.
constexpr DWORD kProbeMs = 35000;

class Remote {
  public:
    explicit Remote(HANDLE process) : process_(process) {}
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;
    // A thread that may still run there may still use the blocks: they are left to the program.
    ~Remote() {
        if (running_)
            return;
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
        bool ended = WaitForSingleObject(thread, kRemoteCallMs) == WAIT_OBJECT_0;
        if (!ended)
            running_ = true;
        bool done = ended && GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        if (!done)
            return std::nullopt;
        return code;
    }
    // A thread started there has not ended: nothing it may use can be taken back.
    bool running() const { return running_; }

  private:
    HANDLE process_;
    std::vector<void*> blocks_;
    bool running_ = false;
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

bool run_there(HWND window, const char* export_name, void* block, size_t size, std::wstring& why) {
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
            why = remote.running() ? L"the program did not load the probe within " +
                                         std::to_wstring(kRemoteCallMs / 1000) + L" s"
                                   : L"the probe did not load into the program";
        } else {
            auto start = reinterpret_cast<LPTHREAD_START_ROUTINE>(
                reinterpret_cast<BYTE*>(base) +
                (reinterpret_cast<BYTE*>(reinterpret_cast<void*>(probe)) -
                 reinterpret_cast<BYTE*>(local)));
            void* there = remote.copy(block, size);
            if (there && remote.call(start, there) && remote.read(there, block, size))
                ok = true;
            else if (remote.running())
                why = L"the probe did not end within " + std::to_wstring(kRemoteCallMs / 1000) +
                      L" s in the program";
            else
                why = L"the probe did not run in the program";
            // Unloaded under a probe that still runs, the program would crash.
            if (!remote.running())
                remote.call(unload, base);
        }
    }
    if (local)
        FreeLibrary(local);
    CloseHandle(process);
    return ok;
}

// One probe's state, shared by the caller and the thread that runs it: the last one frees it.
struct ProbeRun {
    HWND window;
    const char* export_name;
    std::vector<BYTE> block;
    std::wstring why;
    bool ok = false;
};

DWORD WINAPI run_probe(void* param) {
    auto* held = static_cast<std::shared_ptr<ProbeRun>*>(param);
    std::shared_ptr<ProbeRun> run = std::move(*held);
    delete held;
    run->ok =
        run_there(run->window, run->export_name, run->block.data(), run->block.size(), run->why);
    return 0;
}

}  // namespace

bool run_in_program(HWND window, const char* export_name, void* block, size_t size,
                    std::wstring& why) {
    auto run = std::make_shared<ProbeRun>();
    run->window = window;
    run->export_name = export_name;
    run->block.assign(static_cast<BYTE*>(block), static_cast<BYTE*>(block) + size);
    auto* held = new std::shared_ptr<ProbeRun>(run);
    HANDLE thread = CreateThread(nullptr, 0, run_probe, held, 0, nullptr);
    if (!thread) {
        delete held;
        why = L"no thread for the probe: " + win32_error(GetLastError());
        return false;
    }
    bool ended = WaitForSingleObject(thread, kProbeMs) == WAIT_OBJECT_0;
    CloseHandle(thread);
    if (!ended) {
        // The thread stays blocked; it and its state are left behind.
        why = L"the program did not answer within " + std::to_wstring(kProbeMs / 1000) +
              L" s: its process carries out no call from outside (hung, or held by a debugger)";
        return false;
    }
    if (run->ok)
        std::copy(run->block.begin(), run->block.end(), static_cast<BYTE*>(block));
    why = run->why;
    return run->ok;
}

}  // namespace e2e
