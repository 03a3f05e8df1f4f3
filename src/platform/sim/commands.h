#pragma once
// What the programs the program starts do on the simulated machine. Each returns the exit
// code the real program would.

#include <string>

#include "platform/sim/machine.h"

namespace sim {

// Carries out a command line whose program exists; returns its exit code.
int interpretCommand(Machine& machine, const std::string& commandLine);

// Whether a file of the package folder lists the model, as a driver install needs it: the name
// between double quotes in the INF's text, stored in the code page or as UTF-16.
bool infHoldsModel(Machine& machine, const std::string& infFile, const std::string& model);

}  // namespace sim
