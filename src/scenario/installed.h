#pragma once
// What an earlier install left on the machine, as a scenario gives it: ports shaped like the
// state line's, and driver names. They go into the same store the WMI calls fill, so a re-run
// sees them as it would see its own.

#include <string>
#include <vector>

#include "platform/sim/json.h"
#include "platform/sim/machine.h"

namespace scenario {

// machine.ports; throws std::invalid_argument for an entry the state line could not show.
std::vector<sim::Port> portsFrom(const sim::json::Value& ports);

// machine.drivers; throws std::invalid_argument for a name that is empty, not text or given
// twice.
std::vector<std::string> driversFrom(const sim::json::Value& drivers);

}  // namespace scenario
