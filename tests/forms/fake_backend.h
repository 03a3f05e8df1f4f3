#pragma once
// A backend that records what the runtime told it and plays queued user input in its loop.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "forms/backend.h"
#include "forms/runtime.h"
#include "platform/sim/printer_network.h"
#include "platform/sim/services.h"
#include "platform/sim/ui/backend.h"

namespace testing_support {

struct LoopExhausted {};

class FakeBackend : public forms::Backend {
  public:
    std::vector<std::string> events;
    std::deque<std::function<void()>> input;
    forms::Runtime* runtime = nullptr;

    void formLoaded(forms::Form& f) override { events.push_back("load " + f.name()); }
    void formShown(forms::Form& f, bool modal) override {
        events.push_back(std::string(modal ? "show-modal " : "show ") + f.name());
    }
    void formHidden(forms::Form& f) override { events.push_back("hide " + f.name()); }
    void formUnloaded(forms::Form& f) override { events.push_back("unload " + f.name()); }
    void formActivated(forms::Form& f) override { events.push_back("activate " + f.name()); }
    void formChanged(forms::Form& f, forms::FormProperty) override {
        events.push_back("caption " + f.name());
    }
    void propertyChanged(forms::Control& c, forms::Property p, forms::Origin o) override {
        if (p == forms::Property::Text) {
            events.push_back(std::string(o == forms::Origin::Program ? "set " : "user ") +
                             c.path() + "=" + c.text());
        }
    }
    void itemsChanged(forms::ListControl& c) override { events.push_back("items " + c.path()); }
    void focusRequested(forms::Control& c) override { events.push_back("focus " + c.path()); }
    void runUntil(const std::function<bool()>& done) override {
        while (!done()) {
            if (input.empty())
                throw LoopExhausted{};
            auto next = std::move(input.front());
            input.pop_front();
            runtime->dispatch(next);
        }
    }
    platform::WindowHandle handleOf(const forms::Form&) override { return 1; }
};

// The services a forms test needs: message boxes answered from a script, and a process whose
// end unwinds to the test.
struct FormsHarness {
    explicit FormsHarness(std::vector<sim::json::Value> answers = {})
        : script(std::move(answers)),
          wmi(machine),
          shell(machine, codepage),
          network(machine),
          launcher(machine, codepage),
          files(machine, codepage),
          profileApi(machine, codepage),
          boxes(machine, script),
          clock(machine),
          windows(machine, script),
          process(machine),
          spooler(machine),
          log(machine),
          printerNetwork(machine),
          services{wmi,   shell, network, launcher, files,   codepage, profileApi,
                   boxes, clock, windows, process,  spooler, log,      printerNetwork},
          runtime(backend, services, &windows) {
        backend.runtime = &runtime;
    }
    sim::Transcript transcript;
    sim::Machine machine{transcript};
    sim::SimCodepage codepage{950};
    sim::Script script;
    sim::SimWmi wmi;
    sim::SimShell shell;
    sim::SimNetwork network;
    sim::SimLauncher launcher;
    sim::SimFiles files;
    sim::SimProfileApi profileApi;
    sim::SimMessageBoxes boxes;
    sim::SimClock clock;
    sim::SimBackend windows;  // serves setTopmost and records errors
    sim::SimProcess process;
    sim::SimSpooler spooler;
    sim::SimLog log;
    sim::SimPrinterNetwork printerNetwork;
    platform::Services services;
    FakeBackend backend;
    forms::Runtime runtime;
};

}  // namespace testing_support
