#pragma once
// Text helpers. Inside the program every text is UTF-8; positions and lengths that the user
// would count ("the third flag character", "at least 8 characters") count characters
// (code points), never bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace text {

// Code points that bound the encodings' ranges.
inline constexpr char32_t kDelete = 0x7F;  // the last ASCII character, a control
inline constexpr char32_t kFirstNonAscii = 0x80;
inline constexpr char32_t kLastBmp = 0xFFFF;  // past it UTF-16 takes a surrogate pair
inline constexpr char32_t kLastCodePoint = 0x10FFFF;
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// UTF-8: a byte whose top two bits are 10 continues a character; any other starts one.
inline constexpr unsigned char kContinuationMask = 0xC0;
inline constexpr unsigned char kContinuationTag = 0x80;
constexpr bool isContinuationByte(unsigned char byte) {
    return (byte & kContinuationMask) == kContinuationTag;
}

// The byte-order marks of UTF-16 text.
inline constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// Number of characters (code points) in a UTF-8 text; malformed bytes count one each.
std::size_t length(std::string_view s);

// The characters [first, first + count) of s, counted from 0; clipped to the text.
std::string chars(std::string_view s, std::size_t first,
                  std::size_t count = std::string_view::npos);

// Character at a 0-based position, or the empty text past the end.
std::string charAt(std::string_view s, std::size_t index);

// Split at every occurrence of sep, without a limit: adjacent separators give empty parts and
// a trailing separator a final empty part. An empty text gives one empty part.
std::vector<std::string> split(std::string_view s, std::string_view sep);

std::string join(const std::vector<std::string>& parts, std::string_view sep);

bool contains(std::string_view s, std::string_view part);

// ASCII letters in small letters, every other byte as it is: how Windows compares the names of
// programs, files, sections and keys that the program itself looks for.
std::string asciiLower(std::string_view s);
bool sameIgnoringAsciiCase(std::string_view a, std::string_view b);
bool startsWith(std::string_view s, std::string_view prefix);
bool endsWith(std::string_view s, std::string_view suffix);
// A program's file name without ".exe" in any case, when something comes before it.
std::string_view withoutExeSuffix(std::string_view fileName);

// Byte offset of the character at a 0-based character position (clipped to the end).
std::size_t byteOffset(std::string_view s, std::size_t charIndex);

// Appends one code point as UTF-8.
void appendCodePoint(std::string& out, char32_t cp);

// A control character: C0 (below U+0020), DEL, or C1 (U+0080 to U+009F). Each splits a line,
// a command line or a file name somewhere, or shows as nothing.
bool isControl(char32_t c);
// Whether the UTF-8 text holds one.
bool hasControl(std::string_view s);

// Decodes UTF-8 into code points; malformed bytes become U+FFFD.
std::u32string toCodePoints(std::string_view s);
std::string fromCodePoints(std::u32string_view cps);

// UTF-16, as Windows keeps text: a character above U+FFFF takes two units, a surrogate pair.
bool isSurrogate(char32_t unit);
// One character as UTF-16; U+FFFD for a surrogate or a number past U+10FFFF.
std::u16string utf16Of(char32_t cp);
// UTF-8 to UTF-16 and back; malformed bytes and lone surrogates become U+FFFD.
std::u16string toUtf16(std::string_view utf8);
std::string fromUtf16(std::u16string_view units);

// A position in UTF-16 units (an edit control's caret) to characters, and back; both clip to
// the text. A position between the halves of a pair counts as after its character.
std::size_t utf16UnitsToChars(std::u16string_view units, std::size_t position);
std::size_t charsToUtf16Units(std::u16string_view units, std::size_t chars);

// The text of bytes that start with a UTF-16 byte-order mark (FF FE little-endian, FE FF
// big-endian), as Notepad's "Unicode" saves; nothing for any other bytes. A lone surrogate
// becomes U+FFFD; an odd last byte is dropped.
std::optional<std::string> fromUtf16WithBom(std::string_view bytes);

}  // namespace text
