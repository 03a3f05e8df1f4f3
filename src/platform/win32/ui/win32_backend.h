#pragma once
// The Win32 forms backend: every loaded form is a real top-level window (ui/form_window.h) and
// every control a real child window; the user's input goes back into the model through
// forms::Runtime::dispatch. Single-threaded, like the program.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "forms/backend.h"
#include "forms/runtime.h"
#include "platform/win32/ui/fonts.h"

namespace platform::win32 {

namespace ui {
class FormWindow;
}

class Win32Backend : public forms::Backend {
  public:
    // Registers the form window class; common controls must be initialised already.
    explicit Win32Backend(HINSTANCE instance);
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    // The runtime the loop ends when the system asks the program to quit.
    void attach(forms::Runtime& runtime) { runtime_ = &runtime; }
    forms::Runtime* attachedRuntime() const { return runtime_; }

    void formLoaded(forms::Form& form) override;
    void formShown(forms::Form& form, bool modal) override;
    void formHidden(forms::Form& form) override;
    void formUnloaded(forms::Form& form) override;
    void formActivated(forms::Form& form) override;
    void formChanged(forms::Form& form, forms::FormProperty property) override;
    void formPrinted(forms::Form& form, const std::string& text) override;
    void propertyChanged(forms::Control& control, forms::Property property,
                         forms::Origin origin) override;
    void itemsChanged(forms::ListControl& control) override;
    void focusRequested(forms::Control& control) override;
    void runUntil(const std::function<bool()>& done) override;
    platform::WindowHandle handleOf(const forms::Form& form) override;

    // For the form windows.
    HINSTANCE instance() const { return instance_; }
    ui::FontCache& fonts() { return fonts_; }
    HBRUSH solidBrush(COLORREF color);
    // A bitmap resource of the executable, loaded once; none when it has no such bitmap.
    HBITMAP bitmap(int resourceId);
    ui::FormWindow* windowOf(HWND hwnd) const;
    ui::FormWindow* windowOf(const forms::Form& form) const;
    // The window of the form the runtime holds active, if any.
    HWND activeFormWindow() const;
    // WM_QUERYENDSESSION: asks every form to close; whether all did.
    bool closeAllForShutdown(forms::Runtime& runtime);

  private:
    struct ModalLevel {
        HWND form;
        HWND owner;
        std::vector<HWND> disabled;
    };
    // Ends the modal level of a form window; returns the owner to activate again.
    HWND endModal(HWND form);
    void reactivate(HWND owner);
    void collectUnloaded();

    HINSTANCE instance_;
    forms::Runtime* runtime_ = nullptr;
    ui::FontCache fonts_;
    std::unordered_map<COLORREF, HBRUSH> brushes_;
    std::unordered_map<int, HBITMAP> bitmaps_;
    std::unordered_map<const forms::Form*, std::unique_ptr<ui::FormWindow>> windows_;
    std::vector<std::unique_ptr<ui::FormWindow>> unloaded_;
    std::vector<ModalLevel> modal_;
};

}  // namespace platform::win32
