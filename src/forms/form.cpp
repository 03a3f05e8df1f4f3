#include "forms/form.h"

#include <algorithm>

#include "forms/runtime.h"
#include "platform/error_texts.h"

namespace forms {

Form::Form(Runtime& runtime, std::string name, int clientWidth, int clientHeight)
    : clientWidth(clientWidth),
      clientHeight(clientHeight),
      runtime_(runtime),
      name_(std::move(name)) {
}

bool Form::hasMenu() const {
    for (const Control* c : controls_) {
        if (c->kind() == ControlKind::MenuItem)
            return true;
    }
    return false;
}

void Form::setCaption(std::string caption) {
    caption_ = std::move(caption);
    if (loaded_)
        runtime_.backend().formChanged(*this, FormProperty::Caption);
}

void Form::setWindowState(WindowState state) {
    windowState_ = state;
    if (loaded_)
        runtime_.backend().formChanged(*this, FormProperty::WindowState);
}

Control* Form::find(const std::string& controlName) const {
    for (Control* c : controls_) {
        if (c->name() == controlName)
            return c;
    }
    return nullptr;
}

std::vector<MenuItem*> Form::menuItems() const {
    std::vector<MenuItem*> items;
    for (Control* c : controls_) {
        if (c->kind() == ControlKind::MenuItem)
            items.push_back(static_cast<MenuItem*>(c));
    }
    return items;
}

void Form::setFocus(Control& control) {
    if (!visible_ || !control.shownInForm() || !control.enabled()) {
        throw platform::errorFor(platform::errors::kInvalidProcedureCall);
    }
    activeControl_ = &control;
    runtime_.backend().focusRequested(control);
}

Control* Form::nextTabStop(const Control* from, bool backward) const {
    std::vector<Control*> order;
    for (Control* c : controls_) {
        if (c->tabIndex >= 0)
            order.push_back(c);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
    if (backward)
        std::reverse(order.begin(), order.end());
    auto at = std::find(order.begin(), order.end(), from);
    const std::size_t start = at == order.end() ? order.size() - 1 : at - order.begin();
    for (std::size_t step = 1; step <= order.size(); ++step) {
        Control* c = order[(start + step) % order.size()];
        if (runtime_.keyboardReachable(*c))
            return c;
    }
    return nullptr;
}

CommandButton* Form::defaultButton() const {
    for (Control* c : controls_) {
        if (c->kind() == ControlKind::CommandButton && static_cast<CommandButton*>(c)->isDefault)
            return static_cast<CommandButton*>(c);
    }
    return nullptr;
}

CommandButton* Form::cancelButton() const {
    for (Control* c : controls_) {
        if (c->kind() == ControlKind::CommandButton && static_cast<CommandButton*>(c)->isCancel)
            return static_cast<CommandButton*>(c);
    }
    return nullptr;
}

bool Form::dialogKey(int keyAscii, Control* from) {
    Control* button = nullptr;
    if (keyAscii == kKeyReturn) {
        button =
            from != nullptr && from->kind() == ControlKind::CommandButton ? from : defaultButton();
    } else if (keyAscii == kKeyEscape) {
        button = cancelButton();
        if (button == nullptr && closesOnEscape) {
            if (runtime_.acceptsInput(*this))
                runtime_.close(*this, CloseReason::ControlMenu);
            return true;
        }
    }
    if (button == nullptr)
        return false;
    if (runtime_.acceptsUserInput(*button))
        button->userClick();
    return true;
}

void Form::show(bool modal) {
    runtime_.show(*this, modal);
}
void Form::hide() {
    runtime_.hide(*this);
}
bool Form::unload() {
    return runtime_.unload(*this);
}

void Form::print(std::string text) {
    printed_.push_back(std::move(text));
    if (loaded_)
        runtime_.backend().formPrinted(*this, printed_.back());
}

}  // namespace forms
