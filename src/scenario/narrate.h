#pragma once
// Tells a transcript in words, for the demo.

#include <string>

#include "platform/sim/json.h"

namespace scenario {

// One readable sentence for a transcript line; empty for lines not worth telling.
std::string narrate(const sim::json::Value& line);

}  // namespace scenario
