#pragma once
// A text file's bytes as the system's readers take them (the INI reader among them): UTF-8,
// UTF-16 little-endian or big-endian after its byte-order mark, anything else in the ANSI code
// page. The program reads INF files this way wherever it reads them.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace platform {

enum class TextEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

// The encoding the bytes announce by their byte-order mark; the UTF-8 mark is looked for first.
TextEncoding textEncoding(std::string_view bytes);

// 64 KiB: the part a text file is decoded in when the caller names none.
inline constexpr std::size_t kTextPartBytes = std::size_t{64} << 10;

// Decodes a text file to UTF-8 and hands the text to `take` in consecutive parts of about
// `partBytes` bytes of the file each, so a large file never needs a second whole copy. A part
// ends only after a character below U+0030, which no code page uses inside a multi-byte
// character, so joined the parts are exactly the decoded text. An odd last byte of a UTF-16 file
// is dropped; malformed UTF-8 and lone surrogates become U+FFFD.
void decodeTextFile(std::string_view bytes, const Codepage& ansi,
                    const std::function<void(std::string_view)>& take,
                    std::size_t partBytes = kTextPartBytes);

// The whole decoded text.
std::string decodeTextFile(std::string_view bytes, const Codepage& ansi);

}  // namespace platform
