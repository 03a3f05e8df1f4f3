#include "ui/topmost.h"

namespace ui {

long SetWindowTopmost(platform::Windows& windows, platform::WindowHandle window, bool topmost) {
    if (topmost)
        return windows.setTopmost(window, true) ? 1 : 0;
    windows.setTopmost(window, false);
    return 0;
}

}  // namespace ui
