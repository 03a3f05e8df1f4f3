#pragma once
// Checks of the printer address the user confirms.

#include <string_view>

#include "platform/files.h"

namespace profile {

// A dotted IPv4 address: exactly four parts of one to three digits, each below 256 and without
// a leading zero. The whole text is checked: a line break or a blank anywhere makes it invalid.
bool isValidIpAddress(std::string_view text);

// One part, already limited to one to three digits: whether its number is below 256.
bool isValidOctet(std::string_view part);

// Whether the confirmation takes the text as an address to store: a valid dotted address, or a
// network printer path (two backslashes in a row). A path goes on into registry values and
// command lines, so it may hold none of , " & | < > ^ %, no control character, no character the
// ANSI code page cannot store, and may not end in a backslash.
bool isAcceptableAddress(std::string_view text, const platform::Codepage& codepage);

}  // namespace profile
