#pragma once
// Every native window of ours carries its model name ("Form1" or "Form1.Text1") as a global
// atom in the window property "VelmoraControl". The Wine test driver, another process, finds
// controls by it, so the property name and the atom's text are a contract.

#include <windows.h>

#include <string>

namespace platform::win32::ui {

inline constexpr wchar_t kNameProperty[] = L"VelmoraControl";

// Returns the atom, 0 when none could be made (the window then just has no name).
ATOM nameWindow(HWND window, const std::string& name);
// Removes the property and releases the atom; safe on a window that has none.
void unnameWindow(HWND window, ATOM atom);

}  // namespace platform::win32::ui
