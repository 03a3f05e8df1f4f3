#pragma once
// The command line's values, held to the rules the windows apply to the same values.

#include <optional>
#include <string>

#include "command/switches.h"
#include "platform/files.h"

namespace app {

// Why /ip= or /name= cannot be installed, naming the switch; none when both can. The address
// takes the main window's rule, the name the package maker's.
std::optional<std::string> refusedSwitchValue(const command::Switches& switches,
                                              const platform::Codepage& codepage);

}  // namespace app
