#include "scenario/fields.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace scenario {

void refuseUnknownFields(const sim::json::Value& object,
                         std::initializer_list<std::string_view> fields, const std::string& where) {
    for (const auto& [key, value] : object.members()) {
        if (std::find(fields.begin(), fields.end(), key) == fields.end())
            throw std::invalid_argument(where + ": unknown field \"" + key + "\"");
    }
}

namespace {

struct Verb {
    std::string_view name;
    std::vector<std::string_view> fields;  // besides the verb itself
};

// In the order the simulated user reads an action: the first verb present decides.
const std::vector<Verb>& verbs() {
    static const std::vector<Verb> kVerbs = {
        {"type", {"text"}},    {"key", {"char"}}, {"click", {}},
        {"select", {"index"}}, {"close", {}},     {"tab", {"shift"}},
        {"answer", {}},        {"inspect", {}},   {"invoke", {}},
    };
    return kVerbs;
}

}  // namespace

void checkActionFields(const sim::json::Value& action) {
    for (const Verb& verb : verbs()) {
        if (!action.has(verb.name))
            continue;
        for (const auto& [key, value] : action.members()) {
            if (key != verb.name &&
                std::find(verb.fields.begin(), verb.fields.end(), key) == verb.fields.end()) {
                throw std::invalid_argument("action " + action.dump() + ": \"" + key +
                                            "\" is no field of a \"" + std::string(verb.name) +
                                            "\" action");
            }
        }
        return;
    }
    throw std::invalid_argument("unknown action " + action.dump());
}

}  // namespace scenario
