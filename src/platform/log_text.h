#pragma once
// The install log's text: one event a line, whatever the event holds, and a bounded size.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The log never grows past this; past it the older half goes.
inline constexpr std::size_t kLogLimitBytes = std::size_t{1024} * 1024;

// One event's most: with the newer half kept at a trim, no event can carry the log past its
// limit (a damaged one-line ip.ini of megabytes is logged as read).
inline constexpr std::size_t kLogEventLimitBytes = std::size_t{64} * 1024;

// The event on one line: line breaks, tabs and other control characters shown as \r, \n, \t
// and \xNN, so a hostile text cannot forge a line of its own. Past kLogEventLimitBytes it is cut
// at a character's start and ends in "…（已截斷）".
std::string logSafe(std::string_view event);

// The newer half of a log's content (at most half the limit), starting at a line start.
std::string keepNewestHalf(std::string_view content, std::size_t limit = kLogLimitBytes);

// An error number as the system shows it: HRESULTs in hexadecimal (0x80070002), small
// numbers in decimal.
std::string errorNumberText(long long number);

}  // namespace platform
