#include "platform/win32/ui/window_name.h"

#include "platform/win32/ui/wide_text.h"

namespace platform::win32::ui {

ATOM nameWindow(HWND window, const std::string& name) {
    ATOM atom = GlobalAddAtomW(widen(name).c_str());
    if (atom == 0)
        return 0;
    if (!SetPropW(window, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)))) {
        GlobalDeleteAtom(atom);
        return 0;
    }
    return atom;
}

void unnameWindow(HWND window, ATOM atom) {
    if (atom == 0)
        return;
    if (window != nullptr)
        RemovePropW(window, kNameProperty);
    GlobalDeleteAtom(atom);
}

}  // namespace platform::win32::ui
