#pragma once
// A scenario: the package folder, the machine and the user's actions, read from JSON.

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/sim/json.h"
#include "platform/sim/machine.h"

namespace scenario {

struct FolderFile {
    std::string name;
    std::string text;   // UTF-8, encoded in the code page when the folder is made
    std::string bytes;  // raw, from base64
    bool isText = true;
    bool hidden = false;
};

struct Scenario {
    std::string exe = "Velmora.exe";
    unsigned codepage = platform::kTraditionalChineseCodepage;
    std::vector<FolderFile> folder;
    sim::json::Value machine = sim::json::Value::object();
    std::vector<sim::json::Value> actions;
    std::vector<std::string> args;  // the program's arguments after its name
};

// Throws std::invalid_argument with a readable message for an invalid scenario.
Scenario parseScenario(const sim::json::Value& document);

// Applies the scenario's machine settings over the defaults.
void configureMachine(const sim::json::Value& machine, sim::Machine& target);

// The machine the program starts on: its executable, its arguments and the machine settings.
void prepareMachine(const Scenario& scenario, sim::Machine& target);

}  // namespace scenario
