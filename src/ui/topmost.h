#pragma once
#include "platform/system.h"

namespace ui {

// Puts a window above all others (or takes it back); returns the system's answer for true,
// 0 for false.
long SetWindowTopmost(platform::Windows& windows, platform::WindowHandle window, bool topmost);

}  // namespace ui
