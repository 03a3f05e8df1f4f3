#pragma once
// The full-text model scan: the texts of an INF file that look like printer model names.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace maker {

// The file's text (UTF-16 or UTF-8 after a byte-order mark, otherwise the ANSI code page) split
// at every double quote. A piece qualifies when it holds none of = $ , [ % \, is at least 8
// characters long and holds neither "CD-ROM" nor "Driver Disk"; text outside quotes that
// qualifies counts too. Each qualifying piece once, in order of first appearance.
std::vector<std::string> scanModels(std::string_view fileBytes, const platform::Codepage& codepage);

// The same, with the text decoded in parts of about `partBytes` bytes; small parts let tests and
// the fuzzer cross a part's end anywhere.
std::vector<std::string> scanModels(std::string_view fileBytes, const platform::Codepage& codepage,
                                    std::size_t partBytes);

}  // namespace maker
