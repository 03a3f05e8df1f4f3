#pragma once
// Per-monitor DPI. The functions that know a window's or a monitor's DPI arrived with Windows
// 8.1 and 10, and the program also runs on Windows 7, so they are looked up at run time; where
// one is missing the system DPI stands in, which is what those systems use anyway.

#include <windows.h>

namespace platform::win32::ui::dpi {

// Makes the process per-monitor aware when the manifest did not (a copy run without it).
void ensureAwareness();

UINT system();
UINT ofWindow(HWND window);
UINT ofMonitor(HMONITOR monitor);

// Window rectangle for a client rectangle, with the frame metrics of that DPI.
void adjustWindowRect(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi);

// GetSystemMetrics for a DPI (frame and edge widths).
int metric(int index, UINT dpi);

// The face of the system's message font.
LOGFONTW messageFont(UINT dpi);

// Non-client scaling for a window created while the process is only per-monitor (v1) aware;
// called from WM_NCCREATE, a no-op elsewhere.
void enableNonClientScaling(HWND window);

}  // namespace platform::win32::ui::dpi
