#pragma once
// What mirrors the forms to a screen. The Win32 backend creates real windows and feeds the
// user's input back into the model; the simulated backend records every change and lets a
// scenario act as the user.

#include <functional>
#include <string>

#include "forms/control.h"
#include "forms/form.h"
#include "platform/system.h"

namespace forms {

class Backend {
  public:
    virtual ~Backend() = default;

    virtual void formLoaded(Form& form) = 0;  // create it, hidden
    virtual void formShown(Form& form, bool modal) = 0;
    virtual void formHidden(Form& form) = 0;
    virtual void formUnloaded(Form& form) = 0;  // destroy it
    virtual void formActivated(Form& form) = 0;
    virtual void formChanged(Form& form, FormProperty property) = 0;
    // A line was printed on the form (Form::print); the form keeps every line printed so far.
    // A backend that shows no surface has nothing to draw.
    virtual void formPrinted(Form& /*form*/, const std::string& /*text*/) {}

    virtual void propertyChanged(Control& control, Property property, Origin origin) = 0;
    virtual void itemsChanged(ListControl& control) = 0;
    virtual void focusRequested(Control& control) = 0;

    // Runs the event loop until done() holds; nested for modal windows. Each input the loop
    // takes is handed to Runtime::dispatch.
    virtual void runUntil(const std::function<bool()>& done) = 0;

    virtual platform::WindowHandle handleOf(const Form& form) = 0;
};

}  // namespace forms
