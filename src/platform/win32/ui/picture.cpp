// Picture: an owner-drawn static box with a sunken edge, filled with its colour, its bitmap and
// the shapes and lines that lie in it.
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/native_control.h"
#include "platform/win32/ui/win32_backend.h"

namespace platform::win32::ui {

namespace {

class PictureControl final : public NativeControl {
  public:
    PictureControl(FormWindow& form, forms::Picture& model)
        : NativeControl(form, model), picture_(model) {}

    void notified(WORD code) override {
        if (code != STN_CLICKED || !form().takesInput(picture_))
            return;
        forms::Control* picture = &picture_;
        form().dispatch([picture] { picture->userClick(); });
    }

    void drawItem(const DRAWITEMSTRUCT& item) override {
        forms::Rgb back = picture_.backColor;
        FillRect(item.hDC, &item.rcItem,
                 form().backend().solidBrush(RGB(back.red(), back.green(), back.blue())));
        if (picture_.resourceId != 0)
            form().drawBitmap(item.hDC, picture_.resourceId, {0, 0});
        form().paintGraphics(item.hDC, &picture_);
    }

  protected:
    const wchar_t* windowClass() const override { return L"STATIC"; }
    DWORD style() const override { return SS_OWNERDRAW | SS_NOTIFY; }
    DWORD exStyle() const override { return picture_.border ? WS_EX_CLIENTEDGE : 0; }

  private:
    forms::Picture& picture_;
};

}  // namespace

std::unique_ptr<NativeControl> makePicture(FormWindow& form, forms::Picture& model) {
    return std::make_unique<PictureControl>(form, model);
}

}  // namespace platform::win32::ui
