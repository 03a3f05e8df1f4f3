// Command button and check box. The check box is not an automatic one: a click goes to the
// model, which toggles its value, and the value comes back through propertyChanged; so the
// screen never shows a state the model does not hold.
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/native_control.h"

namespace platform::win32::ui {

namespace {

class CommandButtonControl final : public NativeControl {
  public:
    CommandButtonControl(FormWindow& form, forms::CommandButton& model)
        : NativeControl(form, model), button_(model) {}

    void notified(WORD code) override {
        if (code != BN_CLICKED || !form().takesInput(button_))
            return;
        forms::Control* button = &button_;
        form().dispatch([button] { button->userClick(); });
    }

  protected:
    const wchar_t* windowClass() const override { return L"BUTTON"; }
    DWORD style() const override {
        return (button_.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_MULTILINE;
    }

    std::optional<LRESULT> message(UINT msg, WPARAM wParam, LPARAM lParam) override {
        (void)wParam;
        // Whoever asks (the dialog manager moves the default look as the focus moves, and
        // FormWindow::showDefaultButton), the button takes the look the form says. A focused
        // button so answers DLGC_DEFPUSHBUTTON, and the dialog manager presses it for Enter.
        if (msg != BM_SETSTYLE)
            return std::nullopt;
        DWORD type = form().showsAsDefault(*this) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        return passOn(BM_SETSTYLE, type | BS_MULTILINE, lParam);
    }

  private:
    forms::CommandButton& button_;
};

class CheckBoxControl final : public NativeControl {
  public:
    CheckBoxControl(FormWindow& form, forms::CheckBox& model)
        : NativeControl(form, model), box_(model) {}

    void notified(WORD code) override {
        if (code != BN_CLICKED || !form().takesInput(box_))
            return;
        forms::CheckBox* box = &box_;
        form().dispatch([box] { box->userClick(); });
    }

    void propertyChanged(forms::Property property, forms::Origin origin) override {
        // Mirrored whoever changed it: a non-automatic box does not check itself.
        if (property == forms::Property::Value) {
            showValue();
            return;
        }
        NativeControl::propertyChanged(property, origin);
    }

  protected:
    const wchar_t* windowClass() const override { return L"BUTTON"; }
    DWORD style() const override {
        // BS_3STATE rather than BS_CHECKBOX: value 2 (grey) needs the third state.
        DWORD s = BS_3STATE | BS_MULTILINE;
        if (box_.alignment == forms::Alignment::Right)
            s |= BS_RIGHTBUTTON;
        return s;
    }
    void initialize() override { showValue(); }

  private:
    void showValue() {
        WPARAM state = box_.value() == 1   ? BST_CHECKED
                       : box_.value() == 2 ? BST_INDETERMINATE
                                           : BST_UNCHECKED;
        SendMessageW(hwnd(), BM_SETCHECK, state, 0);
    }

    forms::CheckBox& box_;
};

}  // namespace

std::unique_ptr<NativeControl> makeCommandButton(FormWindow& form, forms::CommandButton& model) {
    return std::make_unique<CommandButtonControl>(form, model);
}

std::unique_ptr<NativeControl> makeCheckBox(FormWindow& form, forms::CheckBox& model) {
    return std::make_unique<CheckBoxControl>(form, model);
}

}  // namespace platform::win32::ui
