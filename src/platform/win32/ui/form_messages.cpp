// The window procedure of a form window: input and notifications into the model (always
// through dispatch), closing and activation as the model wants them, DPI changes, colours and
// painting.
#include "forms/runtime.h"
#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/form_window.h"

#include <optional>
#include "platform/win32/ui/proc_guard.h"
#include "platform/win32/ui/win32_backend.h"

namespace platform::win32::ui {

namespace {
// Posted on activation: the runtime hears of it once the system's activation is complete,
// never from inside a backend call that is still moving windows around.
constexpr UINT kActivated = WM_APP + 1;
// A system command without its low four bits, which are the system's own.
constexpr WPARAM kSysCommandBits = 0xFFF0;
}  // namespace

void FormWindow::close(forms::CloseReason reason) {
    forms::Form* form = model_;
    if (form == nullptr)
        return;
    dispatch([form, reason] { form->runtime().close(*form, reason); });
}

void FormWindow::command(WPARAM wParam, LPARAM lParam) {
    WORD id = LOWORD(wParam);
    WORD code = HIWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        // The dialog manager's Enter (no default button) and Escape, from a control that is not
        // a text box; lParam may be the focused control, whose notification this is not. The
        // model decides, as it does for the keys a text box hands it.
        forms::Form* form = model_;
        NativeControl* focused = find(GetFocus());
        forms::Control* from = focused != nullptr ? &focused->model() : nullptr;
        int key = id == IDOK ? forms::kKeyReturn : forms::kKeyEscape;
        if (form != nullptr)
            dispatch([form, from, key] { form->dialogKey(key, from); });
        return;
    }
    if (lParam != 0) {
        if (NativeControl* native = find(reinterpret_cast<HWND>(lParam))) {
            native->notified(code);
            return;
        }
    }
    if (forms::MenuItem* item = menus_.byCommand(id)) {
        if (takesInput(*item))
            dispatch([item] { item->userClick(); });
    }
}

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    FormWindow* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
        dpi::enableNonClientScaling(hwnd);
    } else {
        self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return guarded(self->runtime(), [&] { return self->handle(msg, wParam, lParam); });
}

LRESULT FormWindow::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    for (auto group :
         {&FormWindow::windowMessage, &FormWindow::stateMessage, &FormWindow::menuMessage,
          &FormWindow::dpiMessage, &FormWindow::paintMessage}) {
        if (std::optional<LRESULT> handled = (this->*group)(msg, wParam, lParam))
            return *handled;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

// Commands, closing and the default button.
std::optional<LRESULT> FormWindow::windowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            command(wParam, lParam);
            return 0;
        case WM_SYSCOMMAND:
            // The close box, Alt+F4 and the system menu: the form decides, never the default
            // handling, which would destroy the window.
            if ((wParam & kSysCommandBits) == SC_CLOSE) {
                if (IsWindowEnabled(hwnd_))
                    close(forms::CloseReason::ControlMenu);
                return 0;
            }
            break;
        case WM_CLOSE:
            // Only another process sends a bare WM_CLOSE, as the task manager does.
            close(forms::CloseReason::TaskManager);
            return 0;
        case WM_QUERYENDSESSION:
            if (forms::Runtime* rt = runtime())
                return backend_.closeAllForShutdown(*rt) ? TRUE : FALSE;
            return TRUE;
        case DM_GETDEFID:
            if (NativeControl* button = defaultButton()) {
                return MAKELRESULT(GetDlgCtrlID(button->hwnd()), DC_HASDEFID);
            }
            return 0;
        case DM_SETDEFID:
            return TRUE;  // the model says which button is the default
        default:
            break;
    }
    return std::nullopt;
}

// Activation and the window's state (minimised, maximised).
std::optional<LRESULT> FormWindow::stateMessage(UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(hwnd_, focus))
                    lastFocus_ = focus;
            } else {
                if (HIWORD(wParam) == 0)
                    restoreFocus();
                PostMessageW(hwnd_, kActivated, 0, 0);
            }
            return 0;
        case kActivated:
            if (model_ != nullptr && GetActiveWindow() == hwnd_ && IsWindowVisible(hwnd_)) {
                forms::Form* form = model_;
                dispatch([form] { form->runtime().activate(*form); });
            }
            return 0;
        case WM_SIZE:
            if (model_ != nullptr) {
                forms::WindowState now = wParam == SIZE_MINIMIZED   ? forms::WindowState::Minimized
                                         : wParam == SIZE_MAXIMIZED ? forms::WindowState::Maximized
                                                                    : forms::WindowState::Normal;
                if (IsWindowVisible(hwnd_) && now != model_->windowState()) {
                    forms::Form* form = model_;
                    dispatch([form, now] { form->setWindowState(now); });
                }
            }
            return 0;
        default:
            break;
    }
    return std::nullopt;
}

// The menu bar: a drop-down opening, and the loop the menus run in.
std::optional<LRESULT> FormWindow::menuMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITMENUPOPUP:
            // A drop-down's own click reaction runs as it opens, so it can set up its items.
            if (HIWORD(lParam) == 0) {
                if (forms::MenuItem* item = menus_.byPopup(reinterpret_cast<HMENU>(wParam))) {
                    if (takesInput(*item))
                        dispatch([item] { item->userClick(); });
                }
            }
            return 0;
        case WM_ENTERMENULOOP:
            inMenuLoop_ = true;
            return 0;
        case WM_EXITMENULOOP:
            inMenuLoop_ = false;
            if (menuStale_ && model_ != nullptr) {
                menuStale_ = false;
                rebuildMenu();
            }
            return 0;
        default:
            break;
    }
    return std::nullopt;
}

// A move to a monitor of another DPI.
std::optional<LRESULT> FormWindow::dpiMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETDPISCALEDSIZE:
            if (model_ != nullptr) {
                UINT next = static_cast<UINT>(wParam);
                RECT frame{0, 0, forms::twipsToPixels(model_->clientWidth, static_cast<int>(next)),
                           forms::twipsToPixels(model_->clientHeight, static_cast<int>(next))};
                dpi::adjustWindowRect(frame, style_, hasMenuBar(), exStyle_, next);
                auto* size = reinterpret_cast<SIZE*>(lParam);
                size->cx = frame.right - frame.left;
                size->cy = frame.bottom - frame.top;
                return TRUE;
            }
            break;
        case WM_DPICHANGED:
            if (model_ != nullptr) {
                const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
                applyDpi(LOWORD(wParam));
                SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                return 0;
            }
            break;
        default:
            break;
    }
    return std::nullopt;
}

// Colours, owner-drawn controls, the background and painting.
std::optional<LRESULT> FormWindow::paintMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            if (NativeControl* native = find(reinterpret_cast<HWND>(lParam)); native && model_) {
                return reinterpret_cast<LRESULT>(
                    controlColors(*native, reinterpret_cast<HDC>(wParam)));
            }
            break;
        case WM_DRAWITEM:
            if (auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam); item && model_) {
                if (NativeControl* native = find(item->hwndItem)) {
                    native->drawItem(*item);
                    return TRUE;
                }
            }
            break;
        case WM_ERASEBKGND:
            if (model_ != nullptr) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                // A themed child painting its parent's background under itself hands us its
                // own DC; its rectangle must not be cut out then.
                eraseBackground(dc, WindowFromDC(dc) == hwnd_);
                return 1;
            }
            break;
        case WM_PRINTCLIENT:
            if (model_ != nullptr) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                eraseBackground(dc, false);
                paint(dc, false);
                return 0;
            }
            break;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            if (model_ != nullptr)
                paint(dc, true);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        default:
            break;
    }
    return std::nullopt;
}

}  // namespace platform::win32::ui
