#pragma once
// One child window mirroring one model control. The conventions, once for every kind:
// - the window is made by create() at the place the model's twips give at the form's DPI, and
//   carries its model name (window_name.h);
// - a notification the control sends its parent (WM_COMMAND's code) arrives in notified(); the
//   model is only ever called through FormWindow::dispatch, and nothing of the model is touched
//   after a dispatch that reports the form gone;
// - propertyChanged() mirrors the model to the window; a change the user made (Origin::User)
//   is already on the screen and is not written back;
// - every control is subclassed, so message() sees its own messages first.

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

#include "forms/control.h"
#include "platform/win32/ui/common_controls.h"

namespace platform::win32::ui {

class FormWindow;

class NativeControl {
  public:
    NativeControl(FormWindow& form, forms::Control& model) : form_(form), model_(model) {}
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;
    virtual ~NativeControl() = default;

    forms::Control& model() const { return model_; }
    FormWindow& form() const { return form_; }
    HWND hwnd() const { return hwnd_; }

    void create(HWND parent, int id);
    // Position, size and font at the form's current DPI.
    virtual void place();
    // Shown and enabled as the model and every container up to the form say.
    void syncState();

    virtual void notified(WORD code) { (void)code; }
    virtual void propertyChanged(forms::Property property, forms::Origin origin);
    virtual void itemsChanged() {}
    virtual void drawItem(const DRAWITEMSTRUCT& item) { (void)item; }
    // Whether the window covers the form's surface; a frame only draws its edge and caption.
    virtual bool opaque() const { return true; }
    // Windows inside this one that report as it (a combo box's edit and list).
    virtual HWND part(int index) const {
        (void)index;
        return nullptr;
    }

    // The name property goes before the window does.
    void unname();
    // The control took the keyboard focus (a combo box hears it from its edit).
    void focused();

  protected:
    virtual const wchar_t* windowClass() const = 0;
    virtual DWORD style() const = 0;
    virtual DWORD exStyle() const { return 0; }
    // The model's current state into the new window.
    virtual void initialize() {}
    // A message to the control itself: a result handles it, nullopt passes it on.
    virtual std::optional<LRESULT> message(UINT msg, WPARAM wParam, LPARAM lParam) {
        (void)msg, (void)wParam, (void)lParam;
        return std::nullopt;
    }
    // The control's own handling of a message, from inside message().
    LRESULT passOn(UINT msg, WPARAM wParam, LPARAM lParam) {
        return defSubclassProc(hwnd_, msg, wParam, lParam);
    }

    std::wstring nativeText() const;
    void setNativeText(const std::string& text);
    UINT dpi() const;

  private:
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);

    FormWindow& form_;
    forms::Control& model_;
    HWND hwnd_ = nullptr;
    ATOM name_ = 0;
};

// The native control for a model control, or none for those the form paints itself.
std::unique_ptr<NativeControl> makeNativeControl(FormWindow& form, forms::Control& model);

// One maker per kind, each in its own file.
std::unique_ptr<NativeControl> makeLabel(FormWindow& form, forms::Label& model);
std::unique_ptr<NativeControl> makeTextBox(FormWindow& form, forms::TextBox& model);
std::unique_ptr<NativeControl> makeCommandButton(FormWindow& form, forms::CommandButton& model);
std::unique_ptr<NativeControl> makeCheckBox(FormWindow& form, forms::CheckBox& model);
std::unique_ptr<NativeControl> makeListControl(FormWindow& form, forms::ListControl& model);
std::unique_ptr<NativeControl> makeFrame(FormWindow& form, forms::Frame& model);
std::unique_ptr<NativeControl> makePicture(FormWindow& form, forms::Picture& model);

}  // namespace platform::win32::ui
