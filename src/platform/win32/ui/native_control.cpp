#include "platform/win32/ui/native_control.h"

#include "platform/error.h"
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/layout.h"
#include "platform/win32/ui/proc_guard.h"
#include "platform/win32/ui/wide_text.h"
#include "platform/win32/ui/win32_backend.h"
#include "platform/win32/ui/window_name.h"

namespace platform::win32::ui {

void NativeControl::create(HWND parent, int id) {
    DWORD fullStyle = WS_CHILD | WS_CLIPSIBLINGS | style();
    HWND made = CreateWindowExW(
        exStyle(), windowClass(), widen(model_.text()).c_str(), fullStyle, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), form_.backend().instance(), nullptr);
    if (made == nullptr) {
        throw platform::Error(static_cast<long long>(GetLastError()),
                              "無法建立控制項 " + model_.path());
    }
    // Without its subclass the control would never report to its model.
    if (!setWindowSubclass(made, subclassProc, 1, reinterpret_cast<DWORD_PTR>(this))) {
        DWORD error = GetLastError();
        DestroyWindow(made);
        throw platform::Error(static_cast<long long>(error), "無法建立控制項 " + model_.path());
    }
    hwnd_ = made;
    name_ = nameWindow(made, model_.path());
    place();
    initialize();
    syncState();
}

UINT NativeControl::dpi() const {
    return form_.dpi();
}

void NativeControl::place() {
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.font(model_.font)), FALSE);
    layout::PixelRect r = layout::toPixels(layout::inForm(model_), static_cast<int>(dpi()));
    POINT at = form_.originOf(model_);
    SetWindowPos(hwnd_, nullptr, at.x, at.y, r.width, r.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void NativeControl::syncState() {
    bool enabled = layout::enabledInForm(model_);
    if ((IsWindowEnabled(hwnd_) != FALSE) != enabled)
        EnableWindow(hwnd_, enabled);
    bool shown = model_.shownInForm();
    bool visible = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible != shown)
        ShowWindow(hwnd_, shown ? SW_SHOWNA : SW_HIDE);
    // The dialog manager's Tab goes only where the forms' rule lets the keyboard go: never to
    // a control off the window's client area, hidden in a frame, or disabled.
    LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    LONG_PTR wanted = model_.keyboardPlaceable() ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    if (wanted != style)
        SetWindowLongPtrW(hwnd_, GWL_STYLE, wanted);
}

void NativeControl::propertyChanged(forms::Property property, forms::Origin origin) {
    if (property == forms::Property::Text && origin == forms::Origin::Program) {
        setNativeText(model_.text());
    }
}

std::wstring NativeControl::nativeText() const {
    int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(hwnd_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void NativeControl::setNativeText(const std::string& text) {
    SetWindowTextW(hwnd_, widen(text).c_str());
}

void NativeControl::unname() {
    unnameWindow(hwnd_, name_);
    name_ = 0;
}

LRESULT CALLBACK NativeControl::subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR self) {
    auto* control = reinterpret_cast<NativeControl*>(self);
    if (msg == WM_NCDESTROY) {
        removeWindowSubclass(hwnd, subclassProc, id);
        control->unname();
        control->hwnd_ = nullptr;
        return defSubclassProc(hwnd, msg, wParam, lParam);
    }
    return guarded(control->form_.runtime(), [&]() -> LRESULT {
        if (std::optional<LRESULT> handled = control->message(msg, wParam, lParam))
            return *handled;
        LRESULT result = defSubclassProc(hwnd, msg, wParam, lParam);
        // The model's active control follows the keyboard focus.
        if (msg == WM_SETFOCUS)
            control->focused();
        return result;
    });
}

void NativeControl::focused() {
    form_.showDefaultButton();
    forms::Form* form = form_.model();
    if (form == nullptr || !form->runtime().acceptsUserInput(model_))
        return;
    if (form->activeControl() == &model_)
        return;
    forms::Control* control = &model_;
    form_.dispatch([form, control] { form->setFocus(*control); });
}

std::unique_ptr<NativeControl> makeNativeControl(FormWindow& form, forms::Control& model) {
    switch (model.kind()) {
        case forms::ControlKind::Label:
            return makeLabel(form, static_cast<forms::Label&>(model));
        case forms::ControlKind::TextBox:
            return makeTextBox(form, static_cast<forms::TextBox&>(model));
        case forms::ControlKind::CommandButton:
            return makeCommandButton(form, static_cast<forms::CommandButton&>(model));
        case forms::ControlKind::CheckBox:
            return makeCheckBox(form, static_cast<forms::CheckBox&>(model));
        case forms::ControlKind::ComboBox:
        case forms::ControlKind::ListBox:
        case forms::ControlKind::FileListBox:
            return makeListControl(form, static_cast<forms::ListControl&>(model));
        case forms::ControlKind::Frame:
            return makeFrame(form, static_cast<forms::Frame&>(model));
        case forms::ControlKind::Picture:
            return makePicture(form, static_cast<forms::Picture&>(model));
        case forms::ControlKind::Shape:
        case forms::ControlKind::Line:
        case forms::ControlKind::MenuItem:
            return nullptr;
    }
    return nullptr;
}

}  // namespace platform::win32::ui
