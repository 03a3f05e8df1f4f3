#include "text/text.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace text {
namespace {

// UTF-8's lead bytes: the bits under each mask are the tag that gives the sequence's length.
constexpr unsigned char kTwoByteMask = 0xE0;
constexpr unsigned char kTwoByteTag = 0xC0;
constexpr unsigned char kThreeByteMask = 0xF0;
constexpr unsigned char kThreeByteTag = 0xE0;
constexpr unsigned char kFourByteMask = 0xF8;
constexpr unsigned char kFourByteTag = 0xF0;
// The first code point past the Basic Multilingual Plane.
constexpr char32_t kFirstSupplementary = kLastBmp + 1;
// Where two, three and four bytes begin to be needed.
constexpr char32_t kFirstTwoByte = kFirstNonAscii;
constexpr char32_t kFirstThreeByte = 0x800;
constexpr char32_t kFirstFourByte = kFirstSupplementary;
// Each continuation byte carries six bits of the code point.
constexpr int kContinuationBits = 6;
constexpr char32_t kContinuationPayload = 0x3F;

// UTF-16's surrogates: a high one, then a low one, each carrying ten bits.
constexpr char32_t kFirstHighSurrogate = 0xD800;
constexpr char32_t kLastHighSurrogate = 0xDBFF;
constexpr char32_t kFirstLowSurrogate = 0xDC00;
constexpr char32_t kLastLowSurrogate = 0xDFFF;
constexpr int kSurrogateBits = 10;
constexpr char32_t kSurrogatePayload = 0x3FF;

// Length of the UTF-8 sequence starting at lead byte c, or 0 when c cannot start one.
std::size_t sequenceLength(unsigned char c) {
    if (c < kFirstNonAscii)
        return 1;
    if ((c & kTwoByteMask) == kTwoByteTag)
        return 2;
    if ((c & kThreeByteMask) == kThreeByteTag)
        return 3;
    if ((c & kFourByteMask) == kFourByteTag)
        return 4;
    return 0;
}

// The continuation byte that carries the code point's bits from `shift` up.
char continuationByte(char32_t cp, int shift) {
    return static_cast<char>(kContinuationTag | ((cp >> shift) & kContinuationPayload));
}

// Byte length of the character at offset i, treating a malformed sequence as one byte.
std::size_t charBytes(std::string_view s, std::size_t i) {
    std::size_t n = sequenceLength(static_cast<unsigned char>(s[i]));
    if (n == 0 || i + n > s.size())
        return 1;
    for (std::size_t k = 1; k < n; ++k) {
        if (!isContinuationByte(static_cast<unsigned char>(s[i + k])))
            return 1;
    }
    return n;
}

}  // namespace

std::size_t length(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); i += charBytes(s, i))
        ++count;
    return count;
}

std::size_t byteOffset(std::string_view s, std::size_t charIndex) {
    std::size_t i = 0;
    for (std::size_t c = 0; c < charIndex && i < s.size(); ++c)
        i += charBytes(s, i);
    return i;
}

std::string chars(std::string_view s, std::size_t first, std::size_t count) {
    std::size_t begin = byteOffset(s, first);
    std::size_t end = begin;
    for (std::size_t c = 0; c < count && end < s.size(); ++c)
        end += charBytes(s, end);
    return std::string(s.substr(begin, end - begin));
}

std::string charAt(std::string_view s, std::size_t index) {
    return chars(s, index, 1);
}

std::vector<std::string> split(std::string_view s, std::string_view sep) {
    std::vector<std::string> parts;
    if (sep.empty()) {
        parts.emplace_back(s);
        return parts;
    }
    std::size_t start = 0;
    while (true) {
        std::size_t at = s.find(sep, start);
        if (at == std::string_view::npos) {
            parts.emplace_back(s.substr(start));
            return parts;
        }
        parts.emplace_back(s.substr(start, at - start));
        start = at + sep.size();
    }
}

std::string join(const std::vector<std::string>& parts, std::string_view sep) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += sep;
        out += parts[i];
    }
    return out;
}

bool contains(std::string_view s, std::string_view part) {
    return s.find(part) != std::string_view::npos;
}
bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}
bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string_view withoutExeSuffix(std::string_view fileName) {
    constexpr std::string_view kExe = ".exe";
    if (fileName.size() > kExe.size() &&
        sameIgnoringAsciiCase(fileName.substr(fileName.size() - kExe.size()), kExe)) {
        fileName.remove_suffix(kExe.size());
    }
    return fileName;
}

void appendCodePoint(std::string& out, char32_t cp) {
    constexpr int kOne = kContinuationBits;
    constexpr int kTwo = 2 * kContinuationBits;
    constexpr int kThree = 3 * kContinuationBits;
    if (cp < kFirstTwoByte) {
        out += static_cast<char>(cp);
    } else if (cp < kFirstThreeByte) {
        out += static_cast<char>(kTwoByteTag | (cp >> kOne));
        out += continuationByte(cp, 0);
    } else if (cp < kFirstFourByte) {
        out += static_cast<char>(kThreeByteTag | (cp >> kTwo));
        out += continuationByte(cp, kOne);
        out += continuationByte(cp, 0);
    } else {
        out += static_cast<char>(kFourByteTag | (cp >> kThree));
        out += continuationByte(cp, kTwo);
        out += continuationByte(cp, kOne);
        out += continuationByte(cp, 0);
    }
}

std::u32string toCodePoints(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = charBytes(s, i);
        auto lead = static_cast<unsigned char>(s[i]);
        char32_t cp;
        if (n == 1) {
            cp = lead < kFirstNonAscii ? lead : kReplacementCharacter;
        } else {
            // The lead byte's bits below its tag.
            cp = lead & (UCHAR_MAX >> (n + 1));
            for (std::size_t k = 1; k < n; ++k)
                cp = (cp << kContinuationBits) | (s[i + k] & kContinuationPayload);
        }
        out += cp;
        i += n;
    }
    return out;
}

std::string fromCodePoints(std::u32string_view cps) {
    std::string out;
    for (char32_t cp : cps)
        appendCodePoint(out, cp);
    return out;
}

namespace {
bool isHighSurrogate(char32_t unit) {
    return unit >= kFirstHighSurrogate && unit <= kLastHighSurrogate;
}
bool isLowSurrogate(char32_t unit) {
    return unit >= kFirstLowSurrogate && unit <= kLastLowSurrogate;
}
// Whether a pair starts at index i.
bool pairAt(std::u16string_view units, std::size_t i) {
    return i + 1 < units.size() && isHighSurrogate(units[i]) && isLowSurrogate(units[i + 1]);
}
}  // namespace

bool isSurrogate(char32_t unit) {
    return unit >= kFirstHighSurrogate && unit <= kLastLowSurrogate;
}

std::u16string utf16Of(char32_t cp) {
    if (cp > kLastCodePoint || isSurrogate(cp))
        cp = kReplacementCharacter;
    if (cp <= kLastBmp)
        return std::u16string(1, static_cast<char16_t>(cp));
    cp -= kFirstSupplementary;
    return {static_cast<char16_t>(kFirstHighSurrogate + (cp >> kSurrogateBits)),
            static_cast<char16_t>(kFirstLowSurrogate + (cp & kSurrogatePayload))};
}

std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
    for (char32_t cp : toCodePoints(utf8))
        out += utf16Of(cp);
    return out;
}

std::string fromUtf16(std::u16string_view units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t unit = units[i];
        if (pairAt(units, i)) {
            appendCodePoint(out, kFirstSupplementary +
                                     ((unit - kFirstHighSurrogate) << kSurrogateBits) +
                                     (units[i + 1] - kFirstLowSurrogate));
            ++i;
        } else {
            appendCodePoint(out, isSurrogate(unit) ? kReplacementCharacter : unit);
        }
    }
    return out;
}

std::size_t utf16UnitsToChars(std::u16string_view units, std::size_t position) {
    position = std::min(position, units.size());
    std::size_t chars = 0;
    for (std::size_t i = 0; i < position; i += pairAt(units, i) ? 2 : 1)
        ++chars;
    return chars;
}

std::size_t charsToUtf16Units(std::u16string_view units, std::size_t chars) {
    std::size_t i = 0;
    for (; i < units.size() && chars > 0; --chars)
        i += pairAt(units, i) ? 2 : 1;
    return i;
}

std::optional<std::string> fromUtf16WithBom(std::string_view bytes) {
    if (bytes.size() < 2)
        return std::nullopt;
    auto byte = [&](std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]));
    };
    bool little = startsWith(bytes, kUtf16LeMark);
    bool big = startsWith(bytes, kUtf16BeMark);
    if (!little && !big)
        return std::nullopt;
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        units +=
            static_cast<char16_t>(little ? byte(i) | byte(i + 1) << 8 : byte(i) << 8 | byte(i + 1));
    }
    return fromUtf16(units);
}

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && asciiLower(a) == asciiLower(b);
}

bool isControl(char32_t c) {
    constexpr char32_t kLastC1 = 0x9F;
    return c < U' ' || (c >= kDelete && c <= kLastC1);
}

bool hasControl(std::string_view s) {
    for (char32_t c : toCodePoints(s)) {
        if (isControl(c))
            return true;
    }
    return false;
}

}  // namespace text
