#pragma once
// The common controls library (comctl32), loaded on first use from the system folder instead of
// imported: it is not on Windows' known-DLL list, so an import would be looked for beside the
// program first. Loaded by name, the version 6 that the manifest selects still applies.

#include <windows.h>

#include <commctrl.h>

namespace platform::win32::ui {

// InitCommonControlsEx; false when the library or the call failed.
bool initCommonControls(DWORD classes);

// SetWindowSubclass, RemoveWindowSubclass and DefSubclassProc.
bool setWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
bool removeWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id);
LRESULT defSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace platform::win32::ui
