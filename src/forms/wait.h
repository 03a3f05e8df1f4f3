#pragma once
#include "platform/system.h"

namespace forms {

// Blocks for a number of seconds; 0 returns at once, less than 0.01 says so and does not wait.
void WaitSeconds(platform::Clock& clock, platform::MessageBoxes& boxes, float seconds);

}  // namespace forms
