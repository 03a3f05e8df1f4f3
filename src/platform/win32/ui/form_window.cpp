#include "platform/win32/ui/form_window.h"

#include <algorithm>

#include "forms/runtime.h"
#include "platform/error.h"
#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/layout.h"
#include "platform/win32/ui/wide_text.h"
#include "platform/win32/ui/win32_backend.h"
#include "platform/win32/ui/window_name.h"

namespace platform::win32::ui {

namespace {

// Child window identifiers: this plus the control's index among the form's controls, clear of
// IDOK and IDCANCEL, which the dialog manager sends for Enter and Escape.
constexpr int kControlIdBase = 0x100;

constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

DWORD styleOf(const forms::Form& form) {
    return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | (form.minButton ? WS_MINIMIZEBOX : 0);
}

RECT workArea(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}

layout::PixelRect toLayout(const RECT& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

HMONITOR primaryMonitor() {
    return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

}  // namespace

FormWindow::FormWindow(Win32Backend& backend, forms::Form& form)
    : backend_(backend), model_(&form), menus_(form) {
    style_ = styleOf(form);
    exStyle_ = kExStyle;
    HWND active = backend.activeFormWindow();
    HMONITOR monitor = active != nullptr && form.startPosition == forms::StartPosition::CenterOwner
                           ? MonitorFromWindow(active, MONITOR_DEFAULTTONEAREST)
                           : primaryMonitor();
    dpi_ = dpi::ofMonitor(monitor);
    menuBar_ = menus_.build();

    RECT frame{0, 0, forms::twipsToPixels(form.clientWidth, static_cast<int>(dpi_)),
               forms::twipsToPixels(form.clientHeight, static_cast<int>(dpi_))};
    dpi::adjustWindowRect(frame, style_, hasMenuBar(), exStyle_, dpi_);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    layout::PixelRect work = toLayout(workArea(monitor));
    layout::Point at =
        layout::keptInside(layout::centred(work, width, height), work, width, height);
    CreateWindowExW(exStyle_, kFormClass, widen(form.caption()).c_str(), style_, at.x, at.y, width,
                    height, nullptr, menuBar_, backend.instance(), this);
    if (hwnd_ == nullptr) {
        DWORD error = GetLastError();
        if (menuBar_ != nullptr)
            DestroyMenu(menuBar_);
        throw platform::Error(static_cast<long long>(error), "無法建立視窗 " + form.name());
    }
    name_ = nameWindow(hwnd_, form.name());
    dpi_ = dpi::ofWindow(hwnd_);
    try {
        createControls();
    } catch (...) {
        // The window must not outlive this half-made object: its procedure would find it.
        destroy();
        throw;
    }
    fitClientArea();
}

FormWindow::~FormWindow() {
    if (hwnd_ != nullptr)
        destroy();
    invalidateSurface();
}

forms::Runtime* FormWindow::runtime() const {
    return model_ != nullptr ? &model_->runtime() : backend_.attachedRuntime();
}

bool FormWindow::dispatch(const std::function<void()>& reaction) {
    if (model_ == nullptr)
        return false;
    model_->runtime().dispatch(reaction);
    return model_ != nullptr;
}

bool FormWindow::takesInput(const forms::Control& control) const {
    return model_ != nullptr && model_->runtime().acceptsUserInput(control);
}

HFONT FormWindow::font(const forms::Font& font) {
    return backend_.fonts().get(font, dpi_);
}

void FormWindow::createControls() {
    const auto& all = model_->controls();
    HWND above = HWND_TOP;
    for (forms::Control* control : layout::stackingOrder(all)) {
        std::unique_ptr<NativeControl> native = makeNativeControl(*this, *control);
        if (!native)
            continue;
        int index = static_cast<int>(std::find(all.begin(), all.end(), control) - all.begin());
        native->create(hwnd_, kControlIdBase + index);
        // Where a new child lands in the Z-order is not something to rely on; the dialog
        // manager tabs in Z-order, so it is set explicitly.
        SetWindowPos(native->hwnd(), above, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        above = native->hwnd();
        byWindow_[native->hwnd()] = native.get();
        for (int part = 0; HWND h = native->part(part); ++part)
            byWindow_[h] = native.get();
        byModel_[control] = native.get();
        controls_.push_back(std::move(native));
    }
}

NativeControl* FormWindow::find(HWND hwnd) const {
    auto found = byWindow_.find(hwnd);
    return found == byWindow_.end() ? nullptr : found->second;
}

NativeControl* FormWindow::nativeOf(const forms::Control& control) const {
    auto found = byModel_.find(&control);
    return found == byModel_.end() ? nullptr : found->second;
}

POINT FormWindow::insetOf(const forms::Control& control) const {
    POINT inset{0, 0};
    for (const forms::Control* c = control.container(); c != nullptr; c = c->container()) {
        if (c->kind() == forms::ControlKind::Picture &&
            static_cast<const forms::Picture*>(c)->border) {
            inset.x += dpi::metric(SM_CXEDGE, dpi_);
            inset.y += dpi::metric(SM_CYEDGE, dpi_);
        }
    }
    return inset;
}

POINT FormWindow::originOf(const forms::Control& control) const {
    layout::PixelRect r = layout::toPixels(layout::inForm(control), static_cast<int>(dpi_));
    POINT inset = insetOf(control);
    return {r.left + inset.x, r.top + inset.y};
}

NativeControl* FormWindow::defaultButton() const {
    forms::CommandButton* button = model_ != nullptr ? model_->defaultButton() : nullptr;
    return button != nullptr ? nativeOf(*button) : nullptr;
}

bool FormWindow::showsAsDefault(const NativeControl& button) const {
    const NativeControl* focused = find(GetFocus());
    if (focused != nullptr && focused->model().kind() == forms::ControlKind::CommandButton)
        return focused == &button;
    return button.model().kind() == forms::ControlKind::CommandButton &&
           static_cast<const forms::CommandButton&>(button.model()).isDefault;
}

void FormWindow::showDefaultButton() {
    for (const auto& c : controls_) {
        if (c->model().kind() != forms::ControlKind::CommandButton || c->hwnd() == nullptr)
            continue;
        bool shown = (GetWindowLongW(c->hwnd(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        // The button's own BM_SETSTYLE handling picks the style; this only asks where it is off.
        if (shown != showsAsDefault(*c))
            SendMessageW(c->hwnd(), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
}

void FormWindow::fitClientArea() {
    if (model_ == nullptr || IsIconic(hwnd_))
        return;
    int width = forms::twipsToPixels(model_->clientWidth, static_cast<int>(dpi_));
    int height = forms::twipsToPixels(model_->clientHeight, static_cast<int>(dpi_));
    RECT frame{0, 0, width, height};
    dpi::adjustWindowRect(frame, style_, hasMenuBar(), exStyle_, dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps onto a second line takes from the client area; the frame
    // arithmetic cannot know, so measure and grow by what is missing.
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT client{};
        GetClientRect(hwnd_, &client);
        int dx = width - client.right;
        int dy = height - client.bottom;
        if (dx == 0 && dy == 0)
            break;
        RECT outer{};
        GetWindowRect(hwnd_, &outer);
        SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left + dx,
                     outer.bottom - outer.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void FormWindow::applyDpi(UINT dpi) {
    dpi_ = dpi;
    invalidateSurface();
    for (const auto& c : controls_)
        c->place();
    fitClientArea();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void FormWindow::position() {
    HWND owner = model_->startPosition == forms::StartPosition::CenterOwner
                     ? backend_.activeFormWindow()
                     : nullptr;
    if (owner == hwnd_ || (owner != nullptr && !IsWindowVisible(owner)))
        owner = nullptr;
    HMONITOR monitor =
        owner != nullptr ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST) : primaryMonitor();
    // Moving onto a monitor of another DPI resizes the window (WM_DPICHANGED); centre again
    // with the new size then.
    for (int attempt = 0; attempt < 2; ++attempt) {
        UINT before = dpi_;
        RECT outer{};
        GetWindowRect(hwnd_, &outer);
        int width = outer.right - outer.left;
        int height = outer.bottom - outer.top;
        layout::PixelRect work = toLayout(workArea(monitor));
        RECT area = workArea(monitor);
        if (owner != nullptr)
            GetWindowRect(owner, &area);
        // Centred on its owner, a window still stays on the screen.
        layout::Point at =
            layout::keptInside(layout::centred(toLayout(area), width, height), work, width, height);
        SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (dpi_ == before)
            break;
    }
}

void FormWindow::show() {
    if (!positioned_) {
        positioned_ = true;
        if (model_->startPosition != forms::StartPosition::Manual)
            position();
    }
    // Shown without activation: the runtime activates it next (formActivated).
    int command = SW_SHOWNA;
    if (model_->windowState() == forms::WindowState::Minimized)
        command = SW_SHOWMINNOACTIVE;
    if (model_->windowState() == forms::WindowState::Maximized)
        command = SW_SHOWMAXIMIZED;
    ShowWindow(hwnd_, command);
    UpdateWindow(hwnd_);
}

void FormWindow::hide() {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd_, focus))
        lastFocus_ = focus;
    ShowWindow(hwnd_, SW_HIDE);
}

void FormWindow::destroy() {
    model_ = nullptr;
    for (const auto& c : controls_)
        c->unname();
    unnameWindow(hwnd_, name_);
    name_ = 0;
    menuBar_ = nullptr;  // destroyed with the window
    if (hwnd_ != nullptr)
        DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void FormWindow::activate() {
    if (!IsWindowVisible(hwnd_))
        return;
    if (GetForegroundWindow() != hwnd_)
        SetForegroundWindow(hwnd_);
    if (GetActiveWindow() != hwnd_)
        SetActiveWindow(hwnd_);
}

void FormWindow::formChanged(forms::FormProperty property) {
    if (property == forms::FormProperty::Caption) {
        SetWindowTextW(hwnd_, widen(model_->caption()).c_str());
        return;
    }
    if (!IsWindowVisible(hwnd_))
        return;  // show() applies it
    switch (model_->windowState()) {
        case forms::WindowState::Minimized:
            if (!IsIconic(hwnd_))
                ShowWindow(hwnd_, SW_MINIMIZE);
            break;
        case forms::WindowState::Normal:
            if (IsIconic(hwnd_) || IsZoomed(hwnd_))
                ShowWindow(hwnd_, SW_RESTORE);
            break;
        case forms::WindowState::Maximized:
            if (!IsZoomed(hwnd_))
                ShowWindow(hwnd_, SW_MAXIMIZE);
            break;
    }
}

void FormWindow::rebuildMenu() {
    if (inMenuLoop_) {
        menuStale_ = true;  // a menu is open; changing the bar under it would close it oddly
        return;
    }
    HMENU fresh = menus_.build();
    HMENU old = menuBar_;
    SetMenu(hwnd_, fresh);
    menuBar_ = fresh;
    if (old != nullptr)
        DestroyMenu(old);
    DrawMenuBar(hwnd_);
    fitClientArea();
}

void FormWindow::syncAllStates() {
    HWND focus = GetFocus();
    NativeControl* focused = focus != nullptr ? find(focus) : nullptr;
    for (const auto& c : controls_)
        c->syncState();
    // A hidden or disabled window keeps the focus it had, and the keyboard would be dead.
    if (focused != nullptr && focused->hwnd() != nullptr &&
        (!IsWindowVisible(focused->hwnd()) || !IsWindowEnabled(focused->hwnd()))) {
        HWND next = GetNextDlgTabItem(hwnd_, focused->hwnd(), FALSE);
        SetFocus(next != nullptr && next != focused->hwnd() ? next : hwnd_);
    }
}

void FormWindow::propertyChanged(forms::Control& control, forms::Property property,
                                 forms::Origin origin) {
    switch (control.kind()) {
        case forms::ControlKind::MenuItem:
            if (property == forms::Property::Visible) {
                rebuildMenu();
            } else {
                menus_.update(static_cast<forms::MenuItem&>(control));
                DrawMenuBar(hwnd_);
            }
            return;
        case forms::ControlKind::Shape:
        case forms::ControlKind::Line:
            InvalidateRect(hwnd_, nullptr, TRUE);
            for (const forms::Control* c = control.container(); c != nullptr; c = c->container()) {
                if (NativeControl* n = nativeOf(*c))
                    InvalidateRect(n->hwnd(), nullptr, TRUE);
            }
            return;
        default:
            break;
    }
    if (property == forms::Property::Visible || property == forms::Property::Enabled) {
        // A container's state is its contents' state too.
        syncAllStates();
        if (control.kind() == forms::ControlKind::Frame ||
            control.kind() == forms::ControlKind::Picture) {
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
        return;
    }
    if (NativeControl* native = nativeOf(control))
        native->propertyChanged(property, origin);
}

void FormWindow::itemsChanged(forms::ListControl& control) {
    if (NativeControl* native = nativeOf(control))
        native->itemsChanged();
}

void FormWindow::focusRequested(forms::Control& control) {
    NativeControl* native = nativeOf(control);
    if (native == nullptr)
        return;
    lastFocus_ = native->hwnd();
    if (GetActiveWindow() == hwnd_ && GetFocus() != native->hwnd())
        SetFocus(native->hwnd());
}

void FormWindow::restoreFocus() {
    HWND target = lastFocus_;
    if (target == nullptr || !IsWindow(target) || !IsChild(hwnd_, target) ||
        !IsWindowVisible(target) || !IsWindowEnabled(target)) {
        target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    }
    SetFocus(target != nullptr ? target : hwnd_);
}

}  // namespace platform::win32::ui
