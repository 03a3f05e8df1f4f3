#include <algorithm>

#include "platform/error_texts.h"
#include "platform/sim/services.h"

namespace sim {

namespace {

// Without the spooler, OpenPrinter cannot reach it: RPC_S_SERVER_UNAVAILABLE.
void requireSpooler(Machine& m, const json::Value& line) {
    for (const auto& [name, state] : m.services) {
        if (asciiLower(name) == "spooler" && state != "Running")
            m.fail(platform::errors::kRpcUnavailable, line);
    }
}

}  // namespace

bool SimSpooler::removePrinter(const std::string& name) {
    json::Value line = Transcript::line("printer.remove");
    line.set("name", name);
    // Not run as administrator is the common way for a removal to fail.
    machine_.check(line, platform::errors::kAccessDeniedHresult);
    requireSpooler(machine_, line);
    const platform::WmiObject* printer = machine_.printer(name);
    const bool removed = printer != nullptr;
    if (removed) {
        const std::string stored = printer->property("Name")->string;
        machine_.printers.erase(machine_.printers.begin() + (printer - machine_.printers.data()));
        // Windows forgets a deleted printer as the default and with its settings.
        if (machine_.defaultPrinter == stored)
            machine_.defaultPrinter.reset();
        std::erase_if(machine_.preferences,
                      [&](const auto& entry) { return entry.first == stored; });
    }
    line.set("removed", removed);
    machine_.record(line);
    return removed;
}

bool SimSpooler::removePort(const std::string& name) {
    json::Value line = Transcript::line("port.remove");
    line.set("name", name);
    machine_.check(line, platform::errors::kAccessDeniedHresult);
    requireSpooler(machine_, line);
    auto port = std::find_if(machine_.ports.begin(), machine_.ports.end(),
                             [&](const Port& p) { return asciiLower(p.name) == asciiLower(name); });
    const bool removed = port != machine_.ports.end();
    if (removed) {
        // The spooler keeps a port that a printer still prints to.
        const bool inUse =
            std::any_of(machine_.printers.begin(), machine_.printers.end(), [&](const auto& p) {
                const platform::Value* portName = p.property("PortName");
                return portName != nullptr && asciiLower(portName->string) == asciiLower(name);
            });
        if (inUse)
            machine_.fail(platform::errors::kBusy, line);
        machine_.ports.erase(port);
    }
    line.set("removed", removed);
    machine_.record(line);
    return removed;
}

}  // namespace sim
