#pragma once
// Libraries and programs from the system folder only. The program runs with administrator
// rights from a package folder that anyone may be able to write to (a share, a USB stick, the
// Downloads folder), so nothing it loads or starts may be looked for there or in the current
// folder. Libraries that are not on Windows' known-DLL list are loaded here on first use
// instead of being imported: an import is looked for beside the program first.

#include <windows.h>

#include <string>

namespace platform::win32 {

// Libraries load from the system folder only, and programs that a child such as cmd starts by
// a bare name are not looked for in the current folder. First thing at start, before anything
// can load a library.
void restrictSearchPaths();

// The system folder (GetSystemDirectoryW) and the Windows folder, without a trailing backslash.
std::wstring systemFolder();
std::wstring windowsFolder();

// A library of the system folder, never freed (callers keep what they look up in it); nullptr,
// with the last error set, when it cannot be loaded.
HMODULE systemLibrary(const wchar_t* fileName);

// A function of such a library, or nullptr with the last error set.
template <typename Function>
Function* systemFunction(const wchar_t* library, const char* name) {
    HMODULE module = systemLibrary(library);
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace platform::win32
