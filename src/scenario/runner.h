#pragma once
// Runs a scenario on the simulated machine and writes the transcript.

#include <ostream>
#include <string>

namespace scenario {

// Runs the scenario text; returns the exit status (0 carried out, 2 invalid scenario).
int runScenario(const std::string& scenarioText, std::ostream& out);

}  // namespace scenario
