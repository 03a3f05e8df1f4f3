#pragma once
// Platform values to and from JSON, for transcript lines and scenario machines.

#include "platform/sim/json.h"
#include "platform/value.h"

namespace sim {

json::Value toJson(const platform::Value& value);
json::Value toJson(const platform::Properties& props);
// Booleans, strings, arrays of strings, whole numbers (Int32) and null.
platform::Value fromJson(const json::Value& value);

}  // namespace sim
