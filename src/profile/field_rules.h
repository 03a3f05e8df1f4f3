#pragma once
// What a text must be to be stored in the profile line or a copy's name and passed on to the
// command lines that install from it. One home for the rules that the package maker and the
// copy window both apply.

#include <optional>
#include <string>

#include "platform/files.h"

namespace profile {

// Empty, or only blanks: spaces, the ideographic space a Chinese keyboard types, no-break spaces.
bool isBlankText(const std::string& value);

// Why the text, shown as 「label」, cannot be stored and passed on; none when it can. Refused: a
// comma (the line's separator), a line break or other control character (they end the line or
// split command lines), a trailing backslash (it would escape the quote after it in a command
// line), a character the ANSI code page cannot hold (stored as "?"), and, where
// `quoteBreaksLines`, a double quote.
std::optional<std::string> refusedFieldText(const std::string& label, const std::string& value,
                                            const platform::Codepage& codepage,
                                            bool quoteBreaksLines);

}  // namespace profile
