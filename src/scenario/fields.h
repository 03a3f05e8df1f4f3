#pragma once
// A scenario says only what the simulator reads: a field it does not know is a mistake (a typo
// would otherwise leave the default in place and the test passing for the wrong reason).

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/sim/json.h"

namespace scenario {

// Throws std::invalid_argument naming the first member of object not among fields.
void refuseUnknownFields(const sim::json::Value& object,
                         std::initializer_list<std::string_view> fields, const std::string& where);

// An action has one verb and that verb's own fields; throws std::invalid_argument otherwise.
void checkActionFields(const sim::json::Value& action);

}  // namespace scenario
