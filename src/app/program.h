#pragma once
// The program: its windows, each loaded on first reference, over one set of platform services.

#include <memory>

#include "forms/backend.h"
#include "forms/runtime.h"
#include "platform/services.h"

namespace app {

class Form1;

class Program {
public:
    Program(platform::Services& services, forms::Backend& backend,
            forms::ErrorSink* errors = nullptr);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts in the main window and returns only by ending the process.
    [[noreturn]] void run();

    forms::Runtime& runtime() { return runtime_; }
    platform::Services& services() { return services_; }

    // The windows.
    Form1& form1();

    // Every window by name, for the scenario runner and the tests; loads nothing.
    forms::Form* findLoaded(const std::string& formName) const;
    // Every window by name, loading it on this reference.
    forms::Form* reference(const std::string& formName);

private:
    platform::Services& services_;
    forms::Runtime runtime_;
    forms::FormSlot<Form1> form1_;
};

}  // namespace app
