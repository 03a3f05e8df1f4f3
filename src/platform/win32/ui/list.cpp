// Combo box (a drop-down with an edit), list box and file list box. The entries always come from
// the model; the user's choice goes back as userSelect, the combo box's typing as userType.
#include <algorithm>

#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/layout.h"
#include "platform/win32/ui/native_control.h"
#include "platform/win32/ui/wide_text.h"

namespace platform::win32::ui {

namespace {

// Rows a combo box's list shows when it drops down.
constexpr int kDropDownRows = 8;

class ListControlBase : public NativeControl {
  public:
    ListControlBase(FormWindow& form, forms::ListControl& model)
        : NativeControl(form, model), list_(model) {}

    void itemsChanged() override { fill(); }

  protected:
    virtual UINT resetMessage() const = 0;
    virtual UINT addMessage() const = 0;
    virtual UINT selectMessage() const = 0;
    virtual UINT currentMessage() const = 0;

    void initialize() override { fill(); }

    void fill() {
        SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
        SendMessageW(hwnd(), resetMessage(), 0, 0);
        for (const std::string& item : list_.items()) {
            std::wstring wide = widen(item);
            SendMessageW(hwnd(), addMessage(), 0, reinterpret_cast<LPARAM>(wide.c_str()));
        }
        showIndex();
        SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd(), nullptr, TRUE);
    }

    virtual void showIndex() {
        SendMessageW(hwnd(), selectMessage(), static_cast<WPARAM>(list_.listIndex()), 0);
    }

    // The user chose an entry. While another window is modal the choice is undone instead.
    void userSelected() {
        auto index = static_cast<int>(SendMessageW(hwnd(), currentMessage(), 0, 0));
        if (!form().takesInput(list_)) {
            showIndex();
            return;
        }
        if (index == list_.listIndex())
            return;
        forms::ListControl* list = &list_;
        form().dispatch([list, index] { list->userSelect(index); });
    }

    forms::ListControl& list_;
};

class ListBoxControl final : public ListControlBase {
  public:
    using ListControlBase::ListControlBase;

    void notified(WORD code) override {
        if (code == LBN_SELCHANGE)
            userSelected();
    }

    void propertyChanged(forms::Property property, forms::Origin origin) override {
        if (property == forms::Property::ListIndex && origin == forms::Origin::Program)
            showIndex();
    }

  protected:
    const wchar_t* windowClass() const override { return L"LISTBOX"; }
    DWORD style() const override {
        return LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
    }
    DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }
    UINT resetMessage() const override { return LB_RESETCONTENT; }
    UINT addMessage() const override { return LB_ADDSTRING; }
    UINT selectMessage() const override { return LB_SETCURSEL; }
    UINT currentMessage() const override { return LB_GETCURSEL; }
};

class ComboBoxControl final : public ListControlBase {
  public:
    using ListControlBase::ListControlBase;

    void itemsChanged() override {
        ListControlBase::itemsChanged();
        fitDroppedWidth();
    }

    void notified(WORD code) override {
        switch (code) {
            case CBN_SELCHANGE:
                userSelected();
                break;
            case CBN_EDITCHANGE:
                pullText();
                break;
            case CBN_SETFOCUS:
                focused();
                break;
            default:
                break;
        }
    }

    void propertyChanged(forms::Property property, forms::Origin origin) override {
        if (origin != forms::Origin::Program)
            return;
        if (property == forms::Property::Text)
            setNativeText(list_.text());
        if (property == forms::Property::ListIndex)
            showIndex();
    }

    void place() override {
        NativeControl::place();
        // The closed height follows the font; the window's height is what the list drops to.
        layout::PixelRect r = layout::toPixels(layout::inForm(model()), static_cast<int>(dpi()));
        auto row = static_cast<int>(SendMessageW(hwnd(), CB_GETITEMHEIGHT, 0, 0));
        auto field =
            static_cast<int>(SendMessageW(hwnd(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
        int edges = 4 * dpi::metric(SM_CYEDGE, dpi());
        int height = std::max(r.height, field + edges) + kDropDownRows * row + edges;
        SetWindowPos(hwnd(), nullptr, 0, 0, r.width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // Version 6 of the common controls drops 30 rows unless told otherwise, past the
        // window's bottom and, at a high DPI, over the box itself.
        SendMessageW(hwnd(), CB_SETMINVISIBLE, kDropDownRows, 0);
        fitDroppedWidth();
    }

    HWND part(int index) const override {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (hwnd() == nullptr || !GetComboBoxInfo(hwnd(), &info))
            return nullptr;
        if (index == 0)
            return info.hwndItem;
        if (index == 1)
            return info.hwndList;
        return nullptr;
    }

  protected:
    void initialize() override {
        ListControlBase::initialize();
        fitDroppedWidth();
    }

    const wchar_t* windowClass() const override { return L"COMBOBOX"; }
    DWORD style() const override {
        return CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_HASSTRINGS | WS_VSCROLL;
    }
    UINT resetMessage() const override { return CB_RESETCONTENT; }
    UINT addMessage() const override { return CB_ADDSTRING; }
    UINT selectMessage() const override { return CB_SETCURSEL; }
    UINT currentMessage() const override { return CB_GETCURSEL; }

    void showIndex() override {
        ListControlBase::showIndex();
        // Emptying the list or the selection empties the edit too; the model keeps its text.
        if (list_.listIndex() < 0)
            setNativeText(list_.text());
    }

    std::optional<LRESULT> message(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg != WM_SETTEXT)
            return std::nullopt;
        // A combo box reports no change for a text set from outside; compare instead.
        LRESULT result = passOn(msg, wParam, lParam);
        pullText();
        return result;
    }

  private:
    // A model name is long and the box is narrow: the dropped list is as wide as its widest
    // entry needs, never narrower than the box nor wider than the screen it is on.
    void fitDroppedWidth() {
        if (hwnd() == nullptr)
            return;
        HDC dc = GetDC(hwnd());
        if (dc == nullptr)
            return;
        auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font);
        int widest = 0;
        for (const std::string& item : list_.items()) {
            std::wstring wide = widen(item);
            SIZE size{};
            if (GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size))
                widest = std::max(widest, static_cast<int>(size.cx));
        }
        SelectObject(dc, old);
        ReleaseDC(hwnd(), dc);
        RECT box{};
        GetWindowRect(hwnd(), &box);
        // Beside the text: the list's scroll bar and a few edges' width of border and padding.
        constexpr int kEdges = 6;
        int margin = dpi::metric(SM_CXVSCROLL, dpi()) + kEdges * dpi::metric(SM_CXEDGE, dpi());
        int width = std::max(static_cast<int>(box.right - box.left), widest + margin);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor))
            width = std::min(width, static_cast<int>(monitor.rcWork.right - monitor.rcWork.left));
        SendMessageW(hwnd(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
    }

    void pullText() {
        std::string now = narrow(nativeText());
        if (now == list_.text())
            return;
        forms::ListControl* list = &list_;
        form().dispatch([list, now] { list->userType(now); });
    }
};

}  // namespace

std::unique_ptr<NativeControl> makeListControl(FormWindow& form, forms::ListControl& model) {
    if (model.kind() == forms::ControlKind::ComboBox)
        return std::make_unique<ComboBoxControl>(form, model);
    return std::make_unique<ListBoxControl>(form, model);
}

}  // namespace platform::win32::ui
