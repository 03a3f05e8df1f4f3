// TextBox: an edit control. The edit inserts typed characters itself; the model's key press
// reaction sees each one first and may cancel (0) or replace it. Whatever the edit then holds
// is handed to the model on EN_CHANGE, whether it came from typing, pasting, an input method
// or another process's WM_SETTEXT, so the two never drift apart. The program's own changes are
// written with SetWindowTextW; their EN_CHANGE finds the texts equal and stops there.
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/native_control.h"
#include "platform/win32/ui/wide_text.h"
#include "text/text.h"

namespace platform::win32::ui {

namespace {

class TextBoxControl final : public NativeControl {
  public:
    TextBoxControl(FormWindow& form, forms::TextBox& model)
        : NativeControl(form, model), box_(model) {}

    void notified(WORD code) override {
        if (code == EN_CHANGE)
            pullText();
    }

    void propertyChanged(forms::Property property, forms::Origin origin) override {
        if (property == forms::Property::Text && origin == forms::Origin::Program) {
            setNativeText(box_.text());
            pushSelection();  // the edit puts its caret at the start on a new text
        } else if (property == forms::Property::Selection && !pulling_) {
            pushSelection();
        }
    }

  protected:
    const wchar_t* windowClass() const override { return L"EDIT"; }
    DWORD style() const override {
        DWORD s = box_.multiLine ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN : ES_AUTOHSCROLL;
        if (box_.locked)
            s |= ES_READONLY;
        if (box_.alignment == forms::Alignment::Center)
            s |= ES_CENTER;
        if (box_.alignment == forms::Alignment::Right)
            s |= ES_RIGHT;
        return s;
    }
    DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }

    void initialize() override {
        if (box_.maxLength > 0)
            SendMessageW(hwnd(), EM_LIMITTEXT, box_.maxLength, 0);
        pushSelection();
    }

    std::optional<LRESULT> message(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
            case WM_GETDLGCODE:
                return dialogCode(wParam, lParam);
            case WM_KEYDOWN:
                // Enter and Escape arrive as characters and go to the model (typed), which gives
                // them to the window's buttons or the key press reaction. The edit's own
                // key-down handling of them would press the default button or (multi-line)
                // post WM_CLOSE to the form.
                if (wParam == VK_RETURN || wParam == VK_ESCAPE)
                    return 0;
                break;
            case WM_CHAR:
                return typed(wParam, lParam);
            case WM_PAINT:
                if (!box_.multiLine && !IsWindowEnabled(hwnd()))
                    return paintDisabled();
                break;
            case WM_KILLFOCUS: {
                LRESULT result = passOn(msg, wParam, lParam);
                pullSelection();
                return result;
            }
            default:
                break;
        }
        return std::nullopt;
    }

  private:
    // The edit draws a disabled text in the system's grey whatever the form's colours say, and
    // that grey is faint on a coloured box (the main window's printer name on pale yellow). So a
    // disabled single-line box draws itself: its background as the form gives it, the text where
    // the edit would put it, in a grey that still reads on light colours.
    LRESULT paintDisabled() {
        constexpr COLORREF kDisabledText = RGB(0x60, 0x60, 0x60);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd()), WM_CTLCOLORSTATIC,
                                                           reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(hwnd())));
        RECT client{};
        GetClientRect(hwnd(), &client);
        FillRect(dc, &client, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
        std::wstring text = nativeText();
        // Where the edit puts the first character: its margins, alignment and scrolling.
        LRESULT first = text.empty() ? -1 : SendMessageW(hwnd(), EM_POSFROMCHAR, 0, 0);
        if (first != -1) {
            RECT format{};
            SendMessageW(hwnd(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
            IntersectClipRect(dc, format.left, format.top, format.right, format.bottom);
            HGDIOBJ old =
                SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
            SetTextColor(dc, kDisabledText);
            SetBkMode(dc, TRANSPARENT);
            TextOutW(dc, static_cast<short>(LOWORD(first)), static_cast<short>(HIWORD(first)),
                     text.c_str(), static_cast<int>(text.size()));
            SelectObject(dc, old);
        }
        EndPaint(hwnd(), &ps);
        return 0;
    }

    LRESULT dialogCode(WPARAM wParam, LPARAM lParam) {
        LRESULT code = passOn(WM_GETDLGCODE, wParam, lParam);
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg == nullptr || msg->message != WM_KEYDOWN)
            return code;
        if (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE) {
            code |= DLGC_WANTALLKEYS;  // the model decides what these keys do
        } else if (msg->wParam == VK_TAB) {
            code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);  // a multi-line box still tabs on
        }
        return code;
    }

    LRESULT typed(WPARAM wParam, LPARAM lParam) {
        auto unit = static_cast<wchar_t>(wParam);
        // The halves of a pair above U+FFFF arrive one by one; they pass unseen.
        if (text::isSurrogate(unit))
            return passOn(WM_CHAR, wParam, lParam);
        if (!form().takesInput(box_))
            return 0;
        HWND self = hwnd();
        int key = static_cast<int>(unit);
        forms::TextBox* box = &box_;
        bool alive = form().dispatch([this, box, &key] {
            pullSelectionNow();
            // Enter or Escape may press a button of the window, which may unload it.
            key = box->takenByWindow(key) ? 0 : box->keyPress(key);
        });
        if (!alive || hwnd() != self || key == 0)
            return 0;
        // A single-line box has nothing to insert for these (it would only beep).
        if (!box_.multiLine && (key == '\r' || key == '\n' || key == forms::kKeyEscape))
            return 0;
        if (key == static_cast<int>(unit))
            return passOn(WM_CHAR, wParam, lParam);
        LRESULT result = 0;
        for (wchar_t u : unitsOf(static_cast<char32_t>(key)))
            result = passOn(WM_CHAR, u, lParam);
        return result;
    }

    void pullText() {
        std::string now = narrow(nativeText());
        if (now == box_.text())
            return;
        forms::TextBox* box = &box_;
        form().dispatch([this, box, now] {
            box->userType(now);
            pullSelectionNow();
        });
    }

    void pullSelection() {
        form().dispatch([this] { pullSelectionNow(); });
    }

    // Inside a dispatch: the edit's caret and selection into the model, in characters.
    void pullSelectionNow() {
        if (hwnd() == nullptr || form().model() == nullptr)
            return;
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        std::wstring text = nativeText();
        auto first = static_cast<int>(unitsToChars(text, start));
        auto last = static_cast<int>(unitsToChars(text, end));
        if (first == box_.selStart() && last - first == box_.selLength())
            return;
        pulling_ = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{pulling_};
        box_.setSelStart(first);
        box_.setSelLength(last - first);
    }

    void pushSelection() {
        std::wstring text = nativeText();
        auto start =
            static_cast<WPARAM>(charsToUnits(text, static_cast<std::size_t>(box_.selStart())));
        auto end =
            static_cast<LPARAM>(charsToUnits(text, static_cast<std::size_t>(box_.selStart()) +
                                                       static_cast<std::size_t>(box_.selLength())));
        SendMessageW(hwnd(), EM_SETSEL, start, end);
        SendMessageW(hwnd(), EM_SCROLLCARET, 0, 0);
    }

    forms::TextBox& box_;
    bool pulling_ = false;
};

}  // namespace

std::unique_ptr<NativeControl> makeTextBox(FormWindow& form, forms::TextBox& model) {
    return std::make_unique<TextBoxControl>(form, model);
}

}  // namespace platform::win32::ui
