#include "probe_client.h"

#include "driver.h"
#include "probe.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace e2e {

namespace {

// How long one step in the program may take. A new thread there waits for the loader lock, which
// the program's own start-up may hold for a while; a step that takes longer is given up.
constexpr DWORD kRemoteCallMs = 10000;
// The whole probe, however the program behaves: Wine carries out another process's thread start
// and mapping calls in that process, and waits for it without a limit.
constexpr DWORD kProbeMs = 35000;
// How long the program's window may take to answer a message before the probe is not tried.
constexpr DWORD kAnswerMs = 10000;

// Where the probe's path and block lie in the memory both processes share.
constexpr size_t kPathBytes = 2 * 32768;

using MapViewOfSection = LONG(NTAPI*)(HANDLE section, HANDLE process, void** base,
                                      ULONG_PTR zero_bits, SIZE_T commit, LARGE_INTEGER* offset,
                                      SIZE_T* size, DWORD inherit, ULONG type, ULONG protect);
using UnmapViewOfSection = LONG(NTAPI*)(HANDLE process, void* base);
constexpr DWORD kViewUnmap = 2;  // SECTION_INHERIT: the view is not inherited

// Memory the driver and the program share: what the probe reads and writes there is seen here
// without reading or writing the program's memory, which Wine does by stopping its thread with
// ptrace. Only thread starts and mappings reach the program, and those it carries out itself.
class Shared {
  public:
    Shared(HANDLE process, size_t size) : process_(process), size_(size) {}
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;
    ~Shared() {
        if (there_ && !left_) {
            auto unmap = reinterpret_cast<UnmapViewOfSection>(
                reinterpret_cast<void*>(GetProcAddress(ntdll(), "NtUnmapViewOfSection")));
            if (unmap)
                unmap(process_, there_);
        }
        if (here_)
            UnmapViewOfFile(here_);
        if (section_)
            CloseHandle(section_);
    }
    bool open(std::wstring& why) {
        section_ =
            CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                               static_cast<DWORD>(static_cast<unsigned long long>(size_) >> 32),
                               static_cast<DWORD>(size_), nullptr);
        here_ = section_ ? static_cast<BYTE*>(MapViewOfFile(section_, FILE_MAP_WRITE, 0, 0, 0))
                         : nullptr;
        if (!here_) {
            why = L"no shared memory for the probe: " + win32_error(GetLastError());
            return false;
        }
        auto map = reinterpret_cast<MapViewOfSection>(
            reinterpret_cast<void*>(GetProcAddress(ntdll(), "NtMapViewOfSection")));
        SIZE_T view = 0;
        LONG status = map ? map(section_, process_, &there_, 0, 0, nullptr, &view, kViewUnmap, 0,
                                PAGE_READWRITE)
                          : -1;
        if (status < 0 || !there_) {
            there_ = nullptr;
            why = L"the program did not map the probe's memory (status " +
                  std::to_wstring(static_cast<unsigned long>(status)) + L")";
            return false;
        }
        return true;
    }
    BYTE* here(size_t offset) const { return here_ + offset; }
    void* there(size_t offset) const { return static_cast<BYTE*>(there_) + offset; }
    // A thread there may still use the view: it stays mapped in the program.
    void leave() { left_ = true; }

  private:
    static HMODULE ntdll() { return GetModuleHandleW(L"ntdll.dll"); }

    HANDLE process_;
    size_t size_;
    HANDLE section_ = nullptr;
    BYTE* here_ = nullptr;
    void* there_ = nullptr;
    bool left_ = false;
};

// fn(arg) on a new thread of the program; its exit code once it has ended. A thread that has not
// ended in time is marked in `running`.
std::optional<DWORD> call_there(HANDLE process, LPTHREAD_START_ROUTINE fn, void* arg,
                                bool& running) {
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, fn, arg, 0, nullptr);
    if (!thread)
        return std::nullopt;
    DWORD code = 0;
    bool ended = WaitForSingleObject(thread, kRemoteCallMs) == WAIT_OBJECT_0;
    running = running || !ended;
    bool done = ended && GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    if (!done)
        return std::nullopt;
    return code;
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

std::wstring seconds(DWORD ms) {
    return std::to_wstring(ms / 1000) + L" s";
}

bool run_there(HWND window, const char* export_name, void* block, size_t size, std::wstring& why) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    // CreateRemoteThread wants the memory rights too, though none of the program's memory is read.
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
    bool running = false;
    if (!probe) {
        why = L"cannot load " + dll + L": " + win32_error(GetLastError());
    } else if ((dll.size() + 1) * sizeof(wchar_t) > kPathBytes) {
        why = L"the probe's path is too long";
    } else {
        Shared shared(process, kPathBytes + size);
        if (shared.open(why)) {
            std::memcpy(shared.here(0), dll.c_str(), (dll.size() + 1) * sizeof(wchar_t));
            std::memcpy(shared.here(kPathBytes), block, size);
            // kernel32 lies at the same address in every process, so its functions can be
            // started in the program by their address here.
            HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
            auto load = as_start(GetProcAddress(kernel, "LoadLibraryW"));
            auto unload = as_start(GetProcAddress(kernel, "FreeLibrary"));
            auto loaded = call_there(process, load, shared.there(0), running);
            // A thread's exit code holds the low half of the module's address. The probe has one
            // preferred address, taken in both processes alike; anywhere else its export's
            // address there is not known.
            auto low = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(local));
            if (!loaded || !*loaded) {
                why = running
                          ? L"the program did not load the probe within " + seconds(kRemoteCallMs)
                          : L"the probe did not load into the program";
            } else if (*loaded != low) {
                why = L"the probe loaded at another address in the program";
            } else {
                auto start = as_start(probe);
                if (call_there(process, start, shared.there(kPathBytes), running)) {
                    std::memcpy(block, shared.here(kPathBytes), size);
                    ok = true;
                } else {
                    why = running ? L"the probe did not end within " + seconds(kRemoteCallMs) +
                                        L" in the program"
                                  : L"the probe did not run in the program";
                }
                // Unloaded under a probe that still runs, the program would crash.
                if (!running)
                    call_there(process, unload, local, running);
            }
            if (running)
                shared.leave();
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
    // A program whose window takes no message would not answer the probe either; the probe would
    // only wait longer to say so.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &ignored)) {
        why = L"the window took no message within " + seconds(kAnswerMs) +
              L" (the program hangs, or its process is stopped)";
        return false;
    }
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
        why = L"the program did not answer within " + seconds(kProbeMs) +
              L": its process carries out no call from outside (hung, or held by a debugger)";
        return false;
    }
    if (run->ok)
        std::copy(run->block.begin(), run->block.end(), static_cast<BYTE*>(block));
    why = run->why;
    return run->ok;
}

}  // namespace e2e
