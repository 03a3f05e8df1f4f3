#pragma once
// What the programs the program starts do on the simulated machine. Each returns the exit
// code the real program would.

#include <string>

#include "platform/sim/machine.h"

namespace sim {

// Carries out a command line whose program exists; returns its exit code.
int interpretCommand(Machine& machine, const std::string& commandLine);

}  // namespace sim
