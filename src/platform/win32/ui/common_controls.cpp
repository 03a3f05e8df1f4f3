#include "platform/win32/ui/common_controls.h"

#include "platform/win32/system_library.h"

namespace platform::win32::ui {

namespace {

// The declarations give the types only; nothing here refers to the imports themselves.
template <typename Function>
Function* comctl32(const char* name) {
    return systemFunction<Function>(L"comctl32.dll", name);
}

struct Api {
    decltype(&InitCommonControlsEx) init =
        comctl32<decltype(InitCommonControlsEx)>("InitCommonControlsEx");
    decltype(&SetWindowSubclass) setSubclass =
        comctl32<decltype(SetWindowSubclass)>("SetWindowSubclass");
    decltype(&RemoveWindowSubclass) removeSubclass =
        comctl32<decltype(RemoveWindowSubclass)>("RemoveWindowSubclass");
    decltype(&DefSubclassProc) defSubclass = comctl32<decltype(DefSubclassProc)>("DefSubclassProc");
};

const Api& api() {
    static const Api instance;
    return instance;
}

}  // namespace

bool initCommonControls(DWORD classes) {
    if (api().init == nullptr)
        return false;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = classes;
    return api().init(&controls) != FALSE;
}

bool setWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
    return api().setSubclass != nullptr && api().setSubclass(window, proc, id, data) != FALSE;
}

bool removeWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
    return api().removeSubclass != nullptr && api().removeSubclass(window, proc, id) != FALSE;
}

// Only reached from a subclass procedure, which setWindowSubclass installed: the library is
// there then.
LRESULT defSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return api().defSubclass(window, msg, wParam, lParam);
}

}  // namespace platform::win32::ui
