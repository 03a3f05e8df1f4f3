#pragma once
// Whole runs for the sweeps: a scenario run again and again, each time answering the message
// box it stopped at (Yes to a question, OK otherwise), until the program ends or has nothing
// more to ask.

#include <string>
#include <vector>

#include "support/scenario_run.h"

namespace sweeps {

using sim::json::Value;
using testing_support::ScenarioRun;

inline ScenarioRun runAnswering(Value scenario, int maxBoxes = 12) {
    ScenarioRun r;
    for (int i = 0; i <= maxBoxes; ++i) {
        r = testing_support::runScenario(scenario.dump());
        if (r.status != 0 || r.lines.size() < 2 ||
            r.lines[r.lines.size() - 2].find("op")->asString() != "idle") {
            return r;
        }
        const auto boxes = r.ops("msgbox");
        if (boxes.empty() || !boxes.back().find("answer")->isNull())
            return r;
        Value answer = Value::object();
        answer.set("answer", boxes.back().find("buttons")->asString() == "yesno" ? "yes" : "ok");
        Value actions = scenario.find("actions") ? *scenario.find("actions") : Value::array();
        actions.push(answer);
        scenario.set("actions", actions);
    }
    return r;
}

// The end line's exit code, or -1 when the run did not end.
inline long long exitCode(const ScenarioRun& r) {
    for (const auto& l : r.lines) {
        if (l.find("op")->asString() == "end")
            return l.find("code")->asInteger();
    }
    return -1;
}

// Whether every field of a fault but its counters ("times", "skip") is the same in a call.
inline bool matchesFields(const Value& fault, const Value& call) {
    for (const auto& [key, value] : fault.members()) {
        if (key == "times" || key == "skip")
            continue;
        const Value* actual = call.find(key);
        if (actual == nullptr || !(*actual == value))
            return false;
    }
    return true;
}

}  // namespace sweeps
