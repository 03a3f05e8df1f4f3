#pragma once
// What the package maker may store in the one-line profile.

#include <optional>
#include <string>

#include "profile/profile_line.h"

namespace maker {

// The first field that would break the profile line or the command lines built from it (a
// comma or a line break anywhere; a double quote in the printer name, the model or the INF
// file name), as the message that names it; none when every field can be stored.
std::optional<std::string> refusedField(const profile::InstallProfile& profile);

// The options field from the three check boxes' values: "1" for a checked box, else "0".
std::string optionFlagsFrom(int setAsDefault, int applyPreferenceFile, int twoPrinters);

// The stop message for a profile that could not be written.
std::string writeFailureText(const std::string& reason);

}  // namespace maker
