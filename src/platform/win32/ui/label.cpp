// Label: a static text that reports clicks (SS_NOTIFY), in its own colours or the surface's.
// A label with an indent draws itself, as the static control would, with its text moved right.
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/native_control.h"

namespace platform::win32::ui {

namespace {

class LabelControl final : public NativeControl {
  public:
    LabelControl(FormWindow& form, forms::Label& model)
        : NativeControl(form, model), label_(model) {}

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

    std::optional<LRESULT> message(UINT msg, WPARAM wParam, LPARAM lParam) override {
        (void)wParam, (void)lParam;
        if (msg != WM_PAINT || label_.indent <= 0)
            return std::nullopt;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        // The form picks colours and brush, as for the static control's own painting.
        auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd()), WM_CTLCOLORSTATIC,
                                                           reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(hwnd())));
        RECT area{};
        GetClientRect(hwnd(), &area);
        FillRect(dc, &area, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
        if (!IsWindowEnabled(hwnd()))
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        SetBkMode(dc, TRANSPARENT);
        HGDIOBJ old = SelectObject(dc, form().font(label_.font));
        area.left += forms::twipsToPixels(label_.indent, static_cast<int>(dpi()));
        UINT align = label_.alignment == forms::Alignment::Center  ? DT_CENTER
                     : label_.alignment == forms::Alignment::Right ? DT_RIGHT
                                                                   : DT_LEFT;
        std::wstring text = nativeText();
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
                  align | DT_WORDBREAK | DT_EXPANDTABS);
        SelectObject(dc, old);
        EndPaint(hwnd(), &ps);
        return 0;
    }

  private:
    forms::Label& label_;
};

}  // namespace

std::unique_ptr<NativeControl> makeLabel(FormWindow& form, forms::Label& model) {
    return std::make_unique<LabelControl>(form, model);
}

}  // namespace platform::win32::ui
