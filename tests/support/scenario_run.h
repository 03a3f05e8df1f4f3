#pragma once
// Runs a scenario through the same entry velmora-sim uses and keeps the transcript lines.

#include <cstdlib>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/json.h"
#include "scenario/runner.h"

namespace testing_support {

struct ScenarioRun {
    int status = 0;
    std::vector<sim::json::Value> lines;

    // Lines with this op, in order.
    std::vector<sim::json::Value> ops(const std::string& op) const {
        std::vector<sim::json::Value> out;
        for (const auto& l : lines) {
            if (l.find("op")->asString() == op)
                out.push_back(l);
        }
        return out;
    }
    // The value a "set" line last gave a control's property, or null when never set.
    sim::json::Value lastSet(const std::string& control, const std::string& prop) const {
        sim::json::Value v;
        for (const auto& l : ops("set")) {
            if (l.find("control")->asString() == control && l.find("prop")->asString() == prop) {
                v = *l.find("value");
            }
        }
        return v;
    }
    // Index of the first line with this op (and, when given, this field value), or -1.
    int indexOf(const std::string& op, const std::string& field = "",
                const std::string& value = "") const {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find("op")->asString() != op)
                continue;
            if (field.empty())
                return static_cast<int>(i);
            const sim::json::Value* f = lines[i].find(field);
            if (f != nullptr && f->isString() && f->asString() == value)
                return static_cast<int>(i);
        }
        return -1;
    }
    const sim::json::Value& state() const { return lines.back(); }
};

inline ScenarioRun runScenario(const std::string& json) {
    // VELMORA_SCENARIO_DUMP names a file that collects every scenario run, one per line, for
    // comparing transcripts of two builds.
    if (const char* dump = std::getenv("VELMORA_SCENARIO_DUMP"); dump != nullptr && *dump != 0) {
        std::ofstream file(dump, std::ios::app | std::ios::binary);
        try {
            file << sim::json::parse(json).dump() << "\n";
        } catch (const std::exception&) {
            // Not JSON: the runner refuses it whatever the build.
        }
    }
    std::ostringstream out;
    ScenarioRun run;
    run.status = scenario::runScenario(json, out);
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);)
        run.lines.push_back(sim::json::parse(line));
    return run;
}

}  // namespace testing_support
