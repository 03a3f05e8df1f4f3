#pragma once
// The end of a run whose package cannot be installed from: the log and the user are told what
// is wrong, and the program ends with the damaged-package code, even when no box can show.

#include <string>

#include "forms/runtime.h"
#include "platform/services.h"

namespace forms {

[[noreturn]] void stopDamagedPackage(forms::Runtime& runtime, platform::Services& os,
                                     const std::string& what);

}  // namespace forms
