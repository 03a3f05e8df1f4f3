#pragma once
// The simulated forms backend: shows nothing, records every change of the windows into the
// transcript, and lets the scenario's actions act as the user.

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "forms/backend.h"
#include "forms/runtime.h"
#include "platform/sim/machine.h"
#include "platform/sim/script.h"

namespace sim {

class SimBackend : public forms::Backend, public platform::Windows, public forms::ErrorSink {
  public:
    using FormFinder = std::function<forms::Form*(const std::string& name)>;

    SimBackend(Machine& machine, Script& script) : machine_(machine), script_(script) {}
    // The runtime to dispatch the user's actions into, and how to find a loaded window.
    void attach(forms::Runtime& runtime, FormFinder findLoaded) {
        runtime_ = &runtime;
        findLoaded_ = std::move(findLoaded);
        machine_.errorLine = [this](const platform::Error& e) { return failedCallLine(e); };
    }

    // forms::Backend
    void formLoaded(forms::Form& form) override;
    void formShown(forms::Form& form, bool modal) override;
    void formHidden(forms::Form& form) override;
    void formUnloaded(forms::Form& form) override;
    void formActivated(forms::Form& form) override;
    void formChanged(forms::Form& form, forms::FormProperty property) override;
    void formPrinted(forms::Form& form, const std::string& text) override;
    void propertyChanged(forms::Control& control, forms::Property property,
                         forms::Origin origin) override;
    void itemsChanged(forms::ListControl& control) override;
    void focusRequested(forms::Control& control) override;
    void runUntil(const std::function<bool()>& done) override;
    platform::WindowHandle handleOf(const forms::Form& form) override;

    // platform::Windows
    bool setTopmost(platform::WindowHandle window, bool topmost) override;

    // forms::ErrorSink
    void errorRaised(const platform::Error& error, bool trapped) override;

    // The inspect line of a window (loading nothing).
    json::Value inspect(const std::string& formName) const;

  private:
    static json::Value errorLine(const platform::Error& error, bool trapped,
                                 const std::optional<forms::Runtime::Reaction>& where);
    json::Value failedCallLine(const platform::Error& error) const;
    void perform(const json::Value& action);
    // One action each; target is the value of the action's own key.
    void typeInto(const json::Value& action, const json::Value& target);
    void pressKey(const json::Value& action, const json::Value& target);
    void clickOn(const json::Value& action, const json::Value& target);
    void selectIn(const json::Value& action, const json::Value& target);
    void closeWindow(const json::Value& action, const json::Value& target);
    void tabIn(const json::Value& action, const json::Value& target);
    void answerWithoutBox(const json::Value& action, const json::Value& target);
    void inspectWindow(const json::Value& action, const json::Value& target);
    void invokeControl(const json::Value& action, const json::Value& target);
    // A window the user can act on now, or the scenario's error.
    forms::Form& windowForInput(const std::string& name) const;
    forms::Control& userControl(const std::string& path, bool forUser) const;
    void formEvent(const forms::Form& form, const char* event);

    Machine& machine_;
    Script& script_;
    forms::Runtime* runtime_ = nullptr;
    FormFinder findLoaded_;
    std::map<std::string, platform::WindowHandle> handles_;
};

// "caption" for the controls that show a caption, "text" for those that hold a text.
const char* textPropertyName(forms::ControlKind kind);

}  // namespace sim
