// Frame: a group box. Its controls are siblings above it, not children, so the dialog manager
// tabs through them with the rest of the form. A frame without a caption and only a few pixels
// high is how the forms draw a separator line; the themed group box cannot draw one (it
// shows nothing but its rounded ends), and an etched rectangle that low reads as an empty
// progress bar. So it is drawn as what it means: one etched line across its middle.
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

    std::optional<LRESULT> message(UINT msg, WPARAM wParam, LPARAM lParam) override {
        (void)wParam, (void)lParam;
        if (!etched_ || msg != WM_PAINT || !isSeparator())
            return std::nullopt;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT area{};
        GetClientRect(hwnd(), &area);
        auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd()), WM_CTLCOLORSTATIC,
                                                           reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(hwnd())));
        FillRect(dc, &area, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
        RECT line{area.left, (area.top + area.bottom) / 2 - 1, area.right,
                  (area.top + area.bottom) / 2 + 1};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        EndPaint(hwnd(), &ps);
        return 0;
    }

  private:
    // Low enough that no control fits inside: a rule, not a box.
    bool isSeparator() const {
        RECT area{};
        GetClientRect(hwnd(), &area);
        return area.bottom - area.top <
               MulDiv(16, static_cast<int>(dpi()), USER_DEFAULT_SCREEN_DPI);
    }

    bool etched_;
};

}  // namespace

std::unique_ptr<NativeControl> makeFrame(FormWindow& form, forms::Frame& model) {
    return std::make_unique<FrameControl>(form, model);
}

}  // namespace platform::win32::ui
