#pragma once
// The top-level window of one form: a fixed dialog frame whose client area is the form's size
// in twips at the window's DPI, with the form's controls as child windows, its menu bar, and
// its shapes, lines and background painted by the window itself.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "forms/form.h"
#include "platform/win32/ui/menu.h"
#include "platform/win32/ui/native_control.h"

namespace platform::win32 {
class Win32Backend;
}

namespace platform::win32::ui {

inline constexpr wchar_t kFormClass[] = L"VelmoraForm";

class FormWindow {
  public:
    FormWindow(Win32Backend& backend, forms::Form& form);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    ~FormWindow();

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd() const { return hwnd_; }
    // The model, or none once the form was unloaded.
    forms::Form* model() const { return model_; }
    Win32Backend& backend() const { return backend_; }
    UINT dpi() const { return dpi_; }

    void show();
    void hide();
    // The form was unloaded: the window goes at once, the object when no procedure of ours
    // still runs (the backend keeps it until then).
    void destroy();
    void activate();
    void formChanged(forms::FormProperty property);
    // A line was printed on the form: the surface, with every printed line, is drawn again.
    void printed();
    void propertyChanged(forms::Control& control, forms::Property property, forms::Origin origin);
    void itemsChanged(forms::ListControl& control);
    void focusRequested(forms::Control& control);

    // Runs model code from a window procedure. False: the form was unloaded meanwhile, and
    // neither it nor its controls may be touched any more.
    bool dispatch(const std::function<void()>& reaction);
    // Whether the user's input may reach the control now: the form takes input (no other
    // window is modal) and the control is shown and enabled.
    bool takesInput(const forms::Control& control) const;
    forms::Runtime* runtime() const;

    HFONT font(const forms::Font& font);
    // The brush and colours of a control's background (WM_CTLCOLOR*).
    HBRUSH controlColors(NativeControl& control, HDC dc);
    // The control's top-left in the client area, in pixels.
    POINT originOf(const forms::Control& control) const;
    // Extra offset of controls inside bordered pictures (their coordinates start inside).
    POINT insetOf(const forms::Control& control) const;
    // The model's default button, which DM_GETDEFID names to the dialog manager.
    NativeControl* defaultButton() const;
    // As a dialog shows them: the push button with the focus is the default one, else the
    // model's default button; the dialog manager presses the one shown for Enter.
    bool showsAsDefault(const NativeControl& button) const;
    // Brings every push button's look in line with showsAsDefault, after the focus moved.
    void showDefaultButton();
    // Draws the shapes and lines that lie directly in a container (none: the form) with the
    // container's top-left at the DC's origin.
    void paintGraphics(HDC dc, const forms::Control* container);
    // A bitmap resource, scaled from 96 DPI to the window's, drawn at a point.
    void drawBitmap(HDC dc, int resourceId, POINT at);

  private:
    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
    // Each group of messages; nothing when the default handling is wanted.
    std::optional<LRESULT> windowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> stateMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> menuMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> dpiMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> paintMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void createControls();
    void applyDpi(UINT dpi);
    void fitClientArea();
    void position();
    void rebuildMenu();
    void syncAllStates();
    void restoreFocus();
    void command(WPARAM wParam, LPARAM lParam);
    void close(forms::CloseReason reason);
    NativeControl* find(HWND hwnd) const;
    NativeControl* nativeOf(const forms::Control& control) const;
    bool hasMenuBar() const { return menuBar_ != nullptr; }

    // form_paint.cpp
    void eraseBackground(HDC dc, bool excludeChildren);
    void paint(HDC dc, bool excludeChildren);
    void excludeOpaqueChildren(HDC dc);
    void fillSurface(HDC dc);
    void drawPrintedLines(HDC dc);
    HBRUSH surfaceBrush();
    void invalidateSurface();
    COLORREF surfaceColorOf(const forms::Control& control, bool& formSurface) const;

    Win32Backend& backend_;
    forms::Form* model_;
    HWND hwnd_ = nullptr;
    ATOM name_ = 0;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
    bool positioned_ = false;
    bool inMenuLoop_ = false;
    bool menuStale_ = false;
    MenuBar menus_;
    HMENU menuBar_ = nullptr;
    std::vector<std::unique_ptr<NativeControl>> controls_;
    std::unordered_map<HWND, NativeControl*> byWindow_;
    std::unordered_map<const forms::Control*, NativeControl*> byModel_;
    HWND lastFocus_ = nullptr;
    // The background as a pattern, for transparent controls on a form with a picture.
    HBITMAP surfaceBitmap_ = nullptr;
    HBRUSH surface_ = nullptr;
};

}  // namespace platform::win32::ui
