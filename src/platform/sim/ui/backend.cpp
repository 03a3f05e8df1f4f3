#include "platform/sim/ui/backend.h"

#include "platform/sim/services.h"

namespace sim {

const char* textPropertyName(forms::ControlKind kind) {
    switch (kind) {
        case forms::ControlKind::TextBox:
        case forms::ControlKind::ComboBox:
        case forms::ControlKind::ListBox:
        case forms::ControlKind::FileListBox:
            return "text";
        default:
            return "caption";
    }
}

namespace {

json::Value setLine(const std::string& control, const char* prop, json::Value value) {
    json::Value line = Transcript::line("set");
    line.set("control", control);
    line.set("prop", prop);
    line.set("value", std::move(value));
    return line;
}

json::Value itemsJson(const forms::ListControl& list) {
    json::Value a = json::Value::array();
    for (const std::string& item : list.items())
        a.push(item);
    return a;
}

bool isList(forms::ControlKind kind) {
    return kind == forms::ControlKind::ComboBox || kind == forms::ControlKind::ListBox ||
           kind == forms::ControlKind::FileListBox;
}

// A menu item can be chosen only when it and every menu above it are shown and enabled.

}  // namespace

void SimBackend::formEvent(const forms::Form& form, const char* event) {
    json::Value line = Transcript::line("form");
    line.set("form", form.name());
    line.set("event", event);
    machine_.record(line);
}

void SimBackend::formLoaded(forms::Form& form) {
    if (!handles_.count(form.name())) {
        handles_[form.name()] = static_cast<platform::WindowHandle>(handles_.size() + 1) * 0x10;
    }
    formEvent(form, "load");
}

void SimBackend::formShown(forms::Form& form, bool modal) {
    json::Value line = Transcript::line("form");
    line.set("form", form.name());
    line.set("event", "show");
    line.set("modal", modal);
    machine_.record(line);
}

void SimBackend::formHidden(forms::Form& form) {
    formEvent(form, "hide");
}
void SimBackend::formUnloaded(forms::Form& form) {
    formEvent(form, "unload");
}
void SimBackend::formActivated(forms::Form& form) {
    formEvent(form, "activate");
}

void SimBackend::formChanged(forms::Form& form, forms::FormProperty property) {
    if (property == forms::FormProperty::Caption) {
        machine_.record(setLine(form.name(), "caption", form.caption()));
    } else {
        machine_.record(setLine(form.name(), "windowState", static_cast<int>(form.windowState())));
    }
}

void SimBackend::formPrinted(forms::Form& form, const std::string& text) {
    json::Value line = Transcript::line("print");
    line.set("form", form.name());
    line.set("text", text);
    machine_.record(line);
}

void SimBackend::propertyChanged(forms::Control& control, forms::Property property,
                                 forms::Origin origin) {
    if (origin != forms::Origin::Program)
        return;
    switch (property) {
        case forms::Property::Text:
            machine_.record(
                setLine(control.path(), textPropertyName(control.kind()), control.text()));
            break;
        case forms::Property::Enabled:
            machine_.record(setLine(control.path(), "enabled", control.enabled()));
            break;
        case forms::Property::Visible:
            machine_.record(setLine(control.path(), "visible", control.visible()));
            break;
        case forms::Property::Value:
            machine_.record(
                setLine(control.path(), "value", static_cast<forms::CheckBox&>(control).value()));
            break;
        case forms::Property::ListIndex:
            machine_.record(setLine(control.path(), "listIndex",
                                    static_cast<forms::ListControl&>(control).listIndex()));
            break;
        case forms::Property::Selection:
            break;  // caret moves are not part of the record
    }
}

void SimBackend::itemsChanged(forms::ListControl& control) {
    json::Value line = Transcript::line("items");
    line.set("control", control.path());
    line.set("items", itemsJson(control));
    machine_.record(line);
}

void SimBackend::focusRequested(forms::Control&) {
}

platform::WindowHandle SimBackend::handleOf(const forms::Form& form) {
    auto it = handles_.find(form.name());
    return it == handles_.end() ? 0 : it->second;
}

bool SimBackend::setTopmost(platform::WindowHandle window, bool topmost) {
    json::Value line = Transcript::line("window.topmost");
    std::string name;
    for (const auto& [formName, handle] : handles_) {
        if (handle == window)
            name = formName;
    }
    line.set("form", name.empty() ? json::Value() : json::Value(name));
    line.set("topmost", topmost);
    machine_.record(line);
    return !name.empty();
}

json::Value SimBackend::errorLine(const platform::Error& error, bool trapped,
                                  const std::optional<forms::Runtime::Reaction>& where) {
    json::Value line = Transcript::line("error");
    json::Value call;
    if (error.call()) {
        try {
            call = json::parse(*error.call());
        } catch (const json::ParseError&) {
            call = json::Value(*error.call());
        }
    }
    line.set("call", call);
    line.set("number", error.number());
    line.set("description", error.description());
    line.set("trapped", trapped);
    line.set("form", where ? json::Value(where->form) : json::Value());
    line.set("reaction", where ? json::Value(where->name) : json::Value());
    return line;
}

json::Value SimBackend::failedCallLine(const platform::Error& error) const {
    // Written as handled unless the error reaches a trap, which says how it was handled.
    return errorLine(error, true, runtime_ != nullptr ? runtime_->currentReaction() : std::nullopt);
}

void SimBackend::errorRaised(const platform::Error& error, bool trapped) {
    // The failed call's own line, held since the call, names the reaction the call ran in.
    if (std::optional<json::Value> held = machine_.transcript().takeHeld()) {
        const json::Value* call = held->find("call");
        bool same = error.call() && call != nullptr && call->dump() == *error.call() &&
                    held->find("number")->asInteger() == error.number();
        if (same) {
            held->set("trapped", trapped);
            machine_.record(*held);
            return;
        }
        machine_.record(*held);
    }
    machine_.record(
        errorLine(error, trapped, runtime_ != nullptr ? runtime_->failedReaction() : std::nullopt));
}

void SimBackend::runUntil(const std::function<bool()>& done) {
    while (!done())
        perform(script_.take());
}

forms::Control& SimBackend::userControl(const std::string& path, bool forUser) const {
    std::size_t dot = path.find('.');
    if (dot == std::string::npos)
        throw ScenarioError{"not a Form.Control name: " + path};
    std::string formName = path.substr(0, dot);
    forms::Form* form = findLoaded_ ? findLoaded_(formName) : nullptr;
    if (form == nullptr)
        throw ScenarioError{"window " + formName + " is not loaded"};
    forms::Control* control = form->find(path.substr(dot + 1));
    if (control == nullptr)
        throw ScenarioError{"no such control: " + path};
    if (!forUser)
        return *control;
    if (!runtime_->acceptsInput(*form)) {
        throw ScenarioError{"window " + formName + " does not take input now"};
    }
    // The same rule the real windows follow: a container that is hidden or disabled keeps
    // the user away from what it holds.
    if (!runtime_->acceptsUserInput(*control))
        throw ScenarioError{"control " + path + " is hidden or disabled"};
    return *control;
}

void SimBackend::perform(const json::Value& action) {
    if (!action.isObject())
        throw ScenarioError{"an action is not an object"};
    using Handler = void (SimBackend::*)(const json::Value&, const json::Value&);
    static constexpr std::pair<const char*, Handler> kActions[] = {
        {"type", &SimBackend::typeInto},           {"key", &SimBackend::pressKey},
        {"click", &SimBackend::clickOn},           {"select", &SimBackend::selectIn},
        {"close", &SimBackend::closeWindow},       {"tab", &SimBackend::tabIn},
        {"answer", &SimBackend::answerWithoutBox}, {"inspect", &SimBackend::inspectWindow},
        {"invoke", &SimBackend::invokeControl},
    };
    for (const auto& [key, handler] : kActions) {
        if (const json::Value* target = action.find(key)) {
            (this->*handler)(action, *target);
            return;
        }
    }
    throw ScenarioError{"unknown action " + action.dump()};
}

void SimBackend::typeInto(const json::Value& action, const json::Value& target) {
    forms::Control& c = userControl(target.asString(), true);
    const json::Value* t = action.find("text");
    if (t == nullptr || !t->isString())
        throw ScenarioError{"type needs a text"};
    if (c.kind() != forms::ControlKind::TextBox && c.kind() != forms::ControlKind::ComboBox)
        throw ScenarioError{"cannot type into " + c.path()};
    std::string value = t->asString();
    runtime_->dispatch([&] { c.userType(value); });
}

void SimBackend::pressKey(const json::Value& action, const json::Value& target) {
    forms::Control& c = userControl(target.asString(), true);
    const json::Value* ch = action.find("char");
    if (ch == nullptr || !ch->isNumber())
        throw ScenarioError{"key needs a char"};
    int code = static_cast<int>(ch->asInteger());
    if (c.kind() == forms::ControlKind::TextBox) {
        runtime_->dispatch([&] { static_cast<forms::TextBox&>(c).userKey(code); });
    } else if (code == forms::kKeyReturn || code == forms::kKeyEscape) {
        // Other controls type nothing; Enter and Escape reach the window's buttons.
        runtime_->dispatch([&] { c.form().dialogKey(code, &c); });
    } else {
        throw ScenarioError{"no keys for " + c.path() + " but Enter (13) and Escape (27)"};
    }
}

void SimBackend::clickOn(const json::Value&, const json::Value& target) {
    forms::Control& c = userControl(target.asString(), true);
    runtime_->dispatch([&] { c.userClick(); });
}

void SimBackend::selectIn(const json::Value& action, const json::Value& target) {
    forms::Control& c = userControl(target.asString(), true);
    const json::Value* index = action.find("index");
    if (!isList(c.kind()) || index == nullptr || !index->isNumber())
        throw ScenarioError{"select needs a list and an index"};
    auto& list = static_cast<forms::ListControl&>(c);
    long long i = index->asInteger();
    if (i < 0 || i >= static_cast<long long>(list.items().size()))
        throw ScenarioError{"no entry " + std::to_string(i) + " in " + c.path()};
    runtime_->dispatch([&] { list.userSelect(static_cast<int>(i)); });
}

forms::Form& SimBackend::windowForInput(const std::string& name) const {
    forms::Form* form = findLoaded_ ? findLoaded_(name) : nullptr;
    if (form == nullptr || !form->visible() || !runtime_->acceptsInput(*form))
        throw ScenarioError{"window " + name + " is not open for input"};
    return *form;
}

void SimBackend::closeWindow(const json::Value&, const json::Value& target) {
    forms::Form& form = windowForInput(target.asString());
    runtime_->dispatch([&] { runtime_->close(form, forms::CloseReason::ControlMenu); });
}

// Tab (Shift+Tab with "shift": true) in a window: the focus moves as the keyboard would.
void SimBackend::tabIn(const json::Value& action, const json::Value& target) {
    forms::Form& form = windowForInput(target.asString());
    const json::Value* shift = action.find("shift");
    bool backward = shift != nullptr && shift->asBool();
    if (forms::Control* next = form.nextTabStop(form.activeControl(), backward))
        runtime_->dispatch([&] { form.setFocus(*next); });
}

void SimBackend::answerWithoutBox(const json::Value&, const json::Value&) {
    throw ScenarioError{"an answer, but no message box is open"};
}

void SimBackend::inspectWindow(const json::Value&, const json::Value& target) {
    machine_.record(inspect(target.asString()));
}

void SimBackend::invokeControl(const json::Value&, const json::Value& target) {
    forms::Control& c = userControl(target.asString(), false);
    runtime_->dispatch([&] {
        if (c.onClick)
            c.onClick();
    });
}

json::Value SimBackend::inspect(const std::string& formName) const {
    json::Value line = Transcript::line("inspect");
    line.set("form", formName);
    forms::Form* form = findLoaded_ ? findLoaded_(formName) : nullptr;
    line.set("loaded", form != nullptr);
    json::Value controls = json::Value::object();
    if (form != nullptr) {
        line.set("caption", form->caption());
        line.set("visible", form->visible());
        for (const forms::Control* c : form->controls()) {
            json::Value o = json::Value::object();
            o.set(textPropertyName(c->kind()), c->text());
            o.set("visible", c->visible());
            o.set("enabled", c->enabled());
            if (c->kind() == forms::ControlKind::CheckBox) {
                o.set("value", static_cast<const forms::CheckBox*>(c)->value());
            }
            if (isList(c->kind())) {
                const auto* list = static_cast<const forms::ListControl*>(c);
                o.set("items", itemsJson(*list));
                o.set("listIndex", list->listIndex());
            }
            if (c->kind() == forms::ControlKind::TextBox) {
                o.set("selStart", static_cast<const forms::TextBox*>(c)->selStart());
            }
            controls.set(c->name(), o);
        }
        line.set("activeControl", form->activeControl() ? json::Value(form->activeControl()->name())
                                                        : json::Value());
    }
    line.set("controls", controls);
    return line;
}

}  // namespace sim
