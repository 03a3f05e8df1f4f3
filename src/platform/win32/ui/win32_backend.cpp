#include "platform/win32/ui/win32_backend.h"

#include <algorithm>

#include "platform/error.h"
#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/proc_guard.h"

namespace platform::win32 {

namespace {
// The icon of the executable's resources (velmora.rc).
constexpr int kIconId = 1;
}  // namespace

Win32Backend::Win32Backend(HINSTANCE instance) : instance_(instance) {
    ui::dpi::ensureAwareness();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ui::FormWindow::windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.lpszClassName = ui::kFormClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw platform::Error(static_cast<long long>(GetLastError()), "無法登錄視窗類別");
    }
}

Win32Backend::~Win32Backend() {
    for (auto& [form, window] : windows_)
        window->destroy();
    windows_.clear();
    unloaded_.clear();
    for (auto& [color, brush] : brushes_)
        DeleteObject(brush);
    for (auto& [id, bitmap] : bitmaps_) {
        if (bitmap != nullptr)
            DeleteObject(bitmap);
    }
    UnregisterClassW(ui::kFormClass, instance_);
}

HBRUSH Win32Backend::solidBrush(COLORREF color) {
    auto found = brushes_.find(color);
    if (found != brushes_.end())
        return found->second;
    HBRUSH brush = CreateSolidBrush(color);
    brushes_.emplace(color, brush);
    return brush;
}

HBITMAP Win32Backend::bitmap(int resourceId) {
    auto found = bitmaps_.find(resourceId);
    if (found != bitmaps_.end())
        return found->second;
    auto loaded = static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(resourceId),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    bitmaps_.emplace(resourceId, loaded);
    return loaded;
}

ui::FormWindow* Win32Backend::windowOf(HWND hwnd) const {
    if (hwnd == nullptr)
        return nullptr;
    for (const auto& [form, window] : windows_) {
        if (window->hwnd() == hwnd)
            return window.get();
    }
    return nullptr;
}

ui::FormWindow* Win32Backend::windowOf(const forms::Form& form) const {
    auto found = windows_.find(&form);
    return found == windows_.end() ? nullptr : found->second.get();
}

HWND Win32Backend::activeFormWindow() const {
    if (runtime_ != nullptr && runtime_->activeForm() != nullptr) {
        if (ui::FormWindow* window = windowOf(*runtime_->activeForm()))
            return window->hwnd();
    }
    HWND active = GetActiveWindow();
    return windowOf(active) != nullptr ? active : nullptr;
}

void Win32Backend::formLoaded(forms::Form& form) {
    windows_[&form] = std::make_unique<ui::FormWindow>(*this, form);
}

void Win32Backend::formShown(forms::Form& form, bool modal) {
    ui::FormWindow* window = windowOf(form);
    if (window == nullptr)
        return;
    if (modal && std::none_of(modal_.begin(), modal_.end(),
                              [&](const ModalLevel& l) { return l.form == window->hwnd(); })) {
        ModalLevel level{window->hwnd(), activeFormWindow(), {}};
        if (level.owner == window->hwnd())
            level.owner = nullptr;
        for (const auto& [other, otherWindow] : windows_) {
            HWND h = otherWindow->hwnd();
            if (h == window->hwnd() || !IsWindowVisible(h) || !IsWindowEnabled(h))
                continue;
            EnableWindow(h, FALSE);
            level.disabled.push_back(h);
        }
        modal_.push_back(std::move(level));
    }
    window->show();
}

HWND Win32Backend::endModal(HWND form) {
    auto level = std::find_if(modal_.begin(), modal_.end(),
                              [&](const ModalLevel& l) { return l.form == form; });
    if (level == modal_.end())
        return nullptr;
    ModalLevel ended = std::move(*level);
    modal_.erase(level);
    // Re-enabled before the modal window goes, so the system activates the owner and not some
    // other program's window. Only windows still ours: one may have been unloaded meanwhile.
    for (HWND h : ended.disabled) {
        if (windowOf(h) != nullptr)
            EnableWindow(h, TRUE);
    }
    return windowOf(ended.owner) != nullptr ? ended.owner : nullptr;
}

void Win32Backend::reactivate(HWND owner) {
    if (owner != nullptr && IsWindowVisible(owner) && IsWindowEnabled(owner))
        SetActiveWindow(owner);
}

void Win32Backend::formHidden(forms::Form& form) {
    ui::FormWindow* window = windowOf(form);
    if (window == nullptr)
        return;
    HWND owner = endModal(window->hwnd());
    window->hide();
    reactivate(owner);
}

void Win32Backend::formUnloaded(forms::Form& form) {
    auto found = windows_.find(&form);
    if (found == windows_.end())
        return;
    std::unique_ptr<ui::FormWindow> window = std::move(found->second);
    windows_.erase(found);
    HWND owner = endModal(window->hwnd());
    window->destroy();
    reactivate(owner);
    // Freed once no window procedure of ours is on the stack; one of them may be this form's.
    unloaded_.push_back(std::move(window));
    collectUnloaded();
}

void Win32Backend::collectUnloaded() {
    if (ui::ProcScope::depth() == 0)
        unloaded_.clear();
}

void Win32Backend::formActivated(forms::Form& form) {
    if (ui::FormWindow* window = windowOf(form))
        window->activate();
}

void Win32Backend::formChanged(forms::Form& form, forms::FormProperty property) {
    if (ui::FormWindow* window = windowOf(form))
        window->formChanged(property);
}

void Win32Backend::formPrinted(forms::Form& form, const std::string&) {
    if (ui::FormWindow* window = windowOf(form))
        window->printed();
}

void Win32Backend::propertyChanged(forms::Control& control, forms::Property property,
                                   forms::Origin origin) {
    if (ui::FormWindow* window = windowOf(control.form())) {
        window->propertyChanged(control, property, origin);
    }
}

void Win32Backend::itemsChanged(forms::ListControl& control) {
    if (ui::FormWindow* window = windowOf(control.form()))
        window->itemsChanged(control);
}

void Win32Backend::focusRequested(forms::Control& control) {
    if (ui::FormWindow* window = windowOf(control.form()))
        window->focusRequested(control);
}

platform::WindowHandle Win32Backend::handleOf(const forms::Form& form) {
    ui::FormWindow* window = windowOf(form);
    return window != nullptr ? reinterpret_cast<platform::WindowHandle>(window->hwnd()) : 0;
}

bool Win32Backend::closeAllForShutdown(forms::Runtime& runtime) {
    bool closed = true;
    // One dispatch: no form is freed before the loop is done with the list.
    runtime.dispatch([&] {
        std::vector<forms::Form*> forms = runtime.loadedForms();
        for (forms::Form* form : forms) {
            if (!form->loaded())
                continue;  // an earlier one's unload reaction took it
            if (!runtime.close(*form, forms::CloseReason::SystemShutdown)) {
                closed = false;
                return;
            }
        }
    });
    return closed && runtime.loadedCount() == 0;
}

void Win32Backend::runUntil(const std::function<bool()>& done) {
    while (!done()) {
        MSG msg{};
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The system asked the program to quit: it ends at once, as ending it from code
            // does, without unload reactions.
            if (runtime_ != nullptr)
                runtime_->endProgram();
            for (const auto& [form, window] : windows_) {
                if (forms::Runtime* runtime = window->runtime())
                    runtime->endProgram();
            }
            ExitProcess(static_cast<UINT>(msg.wParam));
        }
        HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        // The dialog manager gives the forms Tab, Enter, Escape and mnemonics.
        if (windowOf(root) == nullptr || !IsDialogMessageW(root, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        collectUnloaded();
    }
}

}  // namespace platform::win32
