// Label: a static text that reports clicks (SS_NOTIFY), in its own colours or the surface's.
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/native_control.h"

namespace platform::win32::ui {

namespace {

class LabelControl final : public NativeControl {
  public:
    LabelControl(FormWindow& form, forms::Label& model) : NativeControl(form, model) {}

    void notified(WORD code) override {
        if (code != STN_CLICKED || !form().takesInput(model()))
            return;
        forms::Control* label = &model();
        form().dispatch([label] { label->userClick(); });
    }

  protected:
    const wchar_t* windowClass() const override { return L"STATIC"; }
    DWORD style() const override {
        switch (model().alignment) {
            case forms::Alignment::Center:
                return SS_NOTIFY | SS_CENTER;
            case forms::Alignment::Right:
                return SS_NOTIFY | SS_RIGHT;
            case forms::Alignment::Left:
                break;
        }
        return SS_NOTIFY | SS_LEFT;
    }
};

}  // namespace

std::unique_ptr<NativeControl> makeLabel(FormWindow& form, forms::Label& model) {
    return std::make_unique<LabelControl>(form, model);
}

}  // namespace platform::win32::ui
