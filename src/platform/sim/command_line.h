#pragma once
// Windows command-line words, split as the C runtime splits them, so the simulated machine
// reads the lines the program starts as the real programs would.

#include <string>
#include <vector>

namespace sim {

// Splits at blanks outside double quotes; quotes group and are removed; backslashes before a
// quote escape it as the C runtime's rules say.
std::vector<std::string> splitCommandLine(const std::string& line);

}  // namespace sim
