#pragma once
// The message that closes a run with failed steps: each step and its reason, then a note (what
// an undo did). A box that cannot show is only logged; the exit code still tells.

#include <string>

#include "forms/outcome.h"
#include "forms/runtime.h"

namespace forms {

void tellFailures(Runtime& runtime, const Outcome& outcome, const std::string& note = {});

}  // namespace forms
