// Runs an export of the probe DLL inside the process that owns a window (see probe.h).
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Runs `export_name` inside the program on a copy of `block` in memory both share, and copies the
// result back; the DLL is unloaded again. On failure `why` says which step went wrong.
bool run_in_program(HWND window, const char* export_name, void* block, size_t size,
                    std::wstring& why);

}  // namespace e2e
