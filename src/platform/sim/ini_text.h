#pragma once
// The system's INI reader over a file's decoded text, as the simulated machine reads INF files.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// What GetPrivateProfileString with no key lists. Without a section: the name of every section
// header, in file order, a repeated header again. With a section: the key names of the first
// section of that name (ASCII letters compared without case), as written, quotes kept.
//
// Lines end at CR or LF. Blanks (tab to CR, ^Z, space) around a line, a key and a section name
// are trimmed. A section header runs from "[" to the line's last "]"; a "[" line without "]" is
// a key line. Only lines with "=" are keys, and keys starting with ";" are comments. A name ends
// at a NUL, as the reader copies it; an empty key name ends the list, as the caller reading the
// reader's buffer sees it.
std::vector<std::string> iniNames(std::string_view text, const std::optional<std::string>& section);

}  // namespace sim
