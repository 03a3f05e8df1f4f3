// Frame: a group box. Its controls are siblings above it, not children, so the dialog manager
// tabs through them with the rest of the form. A frame without a caption is drawn as an etched
// rectangle instead: the themed group box cannot draw one only a few pixels high (the classic
// way to make a separator line), and shows nothing but its rounded ends.
#include "platform/win32/ui/native_control.h"

namespace platform::win32::ui {

namespace {

class FrameControl final : public NativeControl {
  public:
    FrameControl(FormWindow& form, forms::Frame& model)
        : NativeControl(form, model), etched_(model.text().empty()) {}
    bool opaque() const override { return false; }

  protected:
    const wchar_t* windowClass() const override { return etched_ ? L"STATIC" : L"BUTTON"; }
    DWORD style() const override { return etched_ ? SS_ETCHEDFRAME : BS_GROUPBOX; }

  private:
    bool etched_;
};

}  // namespace

std::unique_ptr<NativeControl> makeFrame(FormWindow& form, forms::Frame& model) {
    return std::make_unique<FrameControl>(form, model);
}

}  // namespace platform::win32::ui
