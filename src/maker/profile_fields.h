#pragma once
// What the package maker may store in the one-line profile.

#include <optional>
#include <string>

#include "platform/files.h"
#include "profile/profile_line.h"

namespace maker {

// The first field that cannot be stored or passed on safely, as the message that names it;
// none when every field can be stored. Refused anywhere: a comma (the line's separator), a
// control character (line breaks end the line, the others split command lines), a trailing
// backslash (it would escape the quote after it in a command line) and a character the ANSI
// code page cannot hold (it would be stored as "?"). In the printer name, the model and the
// INF file name also a double quote.
std::optional<std::string> refusedField(const profile::InstallProfile& profile,
                                        const platform::Codepage& codepage);

// The options field from the three check boxes' values: "1" for a checked box, else "0".
std::string optionFlagsFrom(int setAsDefault, int applyPreferenceFile, int twoPrinters);

// The stop message for a profile that could not be written.
std::string writeFailureText(const std::string& reason);

}  // namespace maker
