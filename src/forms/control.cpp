#include "forms/control.h"

#include <algorithm>

#include "forms/form.h"
#include "forms/runtime.h"
#include "platform/error_texts.h"
#include "text/text.h"

namespace forms {

Control::Control(Form& form, ControlKind kind, std::string name, Twips rect)
    : rect(rect), form_(form), kind_(kind), name_(std::move(name)) {
    form.adopt(*this);
}

std::string Control::path() const {
    return form_.name() + "." + name_;
}

void Control::notify(Property property, Origin origin) {
    if (form_.loaded())
        form_.runtime().backend().propertyChanged(*this, property, origin);
}

void Control::raise(const std::function<void()>& reaction, const char* event) {
    if (!reaction)
        return;
    Runtime::ReactionScope scope(form().runtime(), form().name(), name() + "_" + event);
    reaction();
}

void Control::setText(std::string value, Origin origin) {
    // The program's assignment is recorded even when it changes nothing; only a real change
    // raises the change reaction.
    bool changed = value != text_;
    text_ = std::move(value);
    if (changed || origin == Origin::Program)
        notify(Property::Text, origin);
    if (changed) {
        textChanged();
        raise(onChange, "Change");
    }
}

void Control::setVisible(bool visible, Origin origin) {
    visible_ = visible;
    notify(Property::Visible, origin);
}

bool Control::shownInForm() const {
    for (const Control* c = this; c != nullptr; c = c->container()) {
        if (!c->visible())
            return false;
    }
    return true;
}

bool Control::enabledInForm() const {
    for (const Control* c = this; c != nullptr; c = c->container()) {
        if (!c->enabled())
            return false;
    }
    if (kind() == ControlKind::MenuItem) {
        for (const MenuItem* m = static_cast<const MenuItem*>(this)->parent(); m != nullptr;
             m = m->parent()) {
            if (!m->enabled())
                return false;
        }
    }
    return true;
}

Twips Control::rectInForm() const {
    Twips r = rect;
    for (const Control* c = container(); c != nullptr; c = c->container()) {
        r.left += c->rect.left;
        r.top += c->rect.top;
    }
    return r;
}

bool Control::keyboardPlaceable() const {
    if (!tabStop || kind() == ControlKind::MenuItem || !shownInForm() || !enabledInForm())
        return false;
    const Twips r = rectInForm();
    return r.left < form().clientWidth && r.top < form().clientHeight && r.left + r.width > 0 &&
           r.top + r.height > 0;
}

void Control::setEnabled(bool enabled, Origin origin) {
    enabled_ = enabled;
    notify(Property::Enabled, origin);
}

void Control::userClick() {
    raise(onClick, "Click");
}

Label::Label(Form& form, std::string name, Twips rect, std::string caption)
    : Control(form, ControlKind::Label, std::move(name), rect) {
    designText(std::move(caption));
}

TextBox::TextBox(Form& form, std::string name, Twips rect, std::string text)
    : Control(form, ControlKind::TextBox, std::move(name), rect) {
    designText(std::move(text));
    backColor = colors::kWindow;
    backTransparent = false;
    tabStop = true;
}

void TextBox::setSelStart(int start) {
    int length = static_cast<int>(text::length(text()));
    if (start < 0)
        throw platform::errorFor(platform::errors::kInvalidPropertyValue);
    selStart_ = std::min(start, length);
    selLength_ = 0;
    notify(Property::Selection, Origin::Program);
}

void TextBox::setSelLength(int length) {
    int total = static_cast<int>(text::length(text()));
    if (length < 0)
        throw platform::errorFor(platform::errors::kInvalidPropertyValue);
    selLength_ = std::min(length, total - selStart_);
    notify(Property::Selection, Origin::Program);
}

std::string TextBox::selectedText() const {
    return text::chars(text(), static_cast<std::size_t>(selStart_),
                       static_cast<std::size_t>(selLength_));
}

void TextBox::textChanged() {
    // A new text puts the caret at its start unless it still fits, as the edit control does.
    int length = static_cast<int>(text::length(text()));
    selStart_ = std::min(selStart_, length);
    selLength_ = std::min(selLength_, length - selStart_);
}

int TextBox::keyPress(int keyAscii) {
    if (onKeyPress) {
        Runtime::ReactionScope scope(form().runtime(), form().name(), name() + "_KeyPress");
        onKeyPress(keyAscii);
    }
    return keyAscii;
}

bool TextBox::takenByWindow(int keyAscii) {
    // A multi-line box keeps Enter for its own line breaks.
    if (keyAscii == kKeyEscape || (keyAscii == kKeyReturn && !multiLine))
        return form().dialogKey(keyAscii, this);
    return false;
}

void TextBox::userKey(int keyAscii) {
    if (takenByWindow(keyAscii))
        return;
    keyAscii = keyPress(keyAscii);
    if (!form().loaded() || keyAscii < 32 || locked)
        return;  // control keys insert nothing
    std::string inserted;
    text::appendCodePoint(inserted, static_cast<char32_t>(keyAscii));
    const std::string& current = text();
    std::size_t from = text::byteOffset(current, static_cast<std::size_t>(selStart_));
    std::size_t to = text::byteOffset(
        current, static_cast<std::size_t>(selStart_) + static_cast<std::size_t>(selLength_));
    std::string next = current.substr(0, from) + inserted + current.substr(to);
    int caret = selStart_ + 1;
    setText(std::move(next), Origin::User);
    selStart_ = caret;
    selLength_ = 0;
}

CommandButton::CommandButton(Form& form, std::string name, Twips rect, std::string caption)
    : Control(form, ControlKind::CommandButton, std::move(name), rect) {
    designText(std::move(caption));
    backTransparent = false;
    tabStop = true;
}

CheckBox::CheckBox(Form& form, std::string name, Twips rect, std::string caption)
    : Control(form, ControlKind::CheckBox, std::move(name), rect) {
    designText(std::move(caption));
    tabStop = true;
}

void CheckBox::setValue(int value, Origin origin) {
    if (value < 0 || value > 2)
        throw platform::errorFor(platform::errors::kInvalidPropertyValue);
    bool changed = value != value_;
    value_ = value;
    if (changed || origin == Origin::Program)
        notify(Property::Value, origin);
    if (changed)
        raise(onClick, "Click");
}

void CheckBox::userClick() {
    setValue(value_ == 1 ? 0 : 1, Origin::User);
}

ListControl::ListControl(Form& form, ControlKind kind, std::string name, Twips rect)
    : Control(form, kind, std::move(name), rect) {
    backColor = colors::kWindow;
    backTransparent = false;
    tabStop = true;
}

void ListControl::addItem(std::string item) {
    items_.push_back(std::move(item));
    if (form().loaded())
        form().runtime().backend().itemsChanged(*this);
}

void ListControl::addItems(const std::vector<std::string>& items) {
    if (items.empty())
        return;
    items_.insert(items_.end(), items.begin(), items.end());
    if (form().loaded())
        form().runtime().backend().itemsChanged(*this);
}

void ListControl::clear() {
    items_.clear();
    bool hadSelection = listIndex_ != -1;
    listIndex_ = -1;
    if (form().loaded())
        form().runtime().backend().itemsChanged(*this);
    if (hadSelection)
        notify(Property::ListIndex, Origin::Program);
}

void ListControl::setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    listIndex_ = -1;
    if (form().loaded())
        form().runtime().backend().itemsChanged(*this);
}

void ListControl::setListIndex(int index, Origin origin) {
    if (index < -1 || index >= static_cast<int>(items_.size())) {
        throw platform::errorFor(platform::errors::kInvalidIndex);
    }
    bool changed = index != listIndex_;
    listIndex_ = index;
    if (changed || origin == Origin::Program)
        notify(Property::ListIndex, origin);
    // A combo box shows the chosen entry as its text.
    if (kind() == ControlKind::ComboBox && index >= 0)
        designText(items_[index]);
    if (changed)
        raise(onClick, "Click");
}

ComboBox::ComboBox(Form& form, std::string name, Twips rect, std::string text)
    : ListControl(form, ControlKind::ComboBox, std::move(name), rect) {
    designText(std::move(text));
}

ListBox::ListBox(Form& form, std::string name, Twips rect)
    : ListControl(form, ControlKind::ListBox, std::move(name), rect) {
}

FileListBox::FileListBox(Form& form, std::string name, Twips rect, std::string pattern)
    : ListControl(form, ControlKind::FileListBox, std::move(name), rect),
      pattern_(std::move(pattern)) {
}

Frame::Frame(Form& form, std::string name, Twips rect, std::string caption)
    : Control(form, ControlKind::Frame, std::move(name), rect) {
    designText(std::move(caption));
}

Shape::Shape(Form& form, std::string name, Twips rect)
    : Control(form, ControlKind::Shape, std::move(name), rect) {
}

Line::Line(Form& form, std::string name, Twips rect)
    : Control(form, ControlKind::Line, std::move(name), rect) {
}

Picture::Picture(Form& form, std::string name, Twips rect)
    : Control(form, ControlKind::Picture, std::move(name), rect) {
    backTransparent = false;
}

MenuItem::MenuItem(Form& form, std::string name, std::string caption, MenuItem* parent)
    : Control(form, ControlKind::MenuItem, std::move(name), {}), parent_(parent) {
    designText(std::move(caption));
}

}  // namespace forms
