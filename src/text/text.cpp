#include "text/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace text {
namespace {

// Length of the UTF-8 sequence starting at lead byte c, or 0 when c cannot start one.
std::size_t sequenceLength(unsigned char c) {
    if (c < 0x80)
        return 1;
    if ((c & 0xE0) == 0xC0)
        return 2;
    if ((c & 0xF0) == 0xE0)
        return 3;
    if ((c & 0xF8) == 0xF0)
        return 4;
    return 0;
}

// Byte length of the character at offset i, treating a malformed sequence as one byte.
std::size_t charBytes(std::string_view s, std::size_t i) {
    std::size_t n = sequenceLength(static_cast<unsigned char>(s[i]));
    if (n == 0 || i + n > s.size())
        return 1;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
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
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::u32string toCodePoints(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = charBytes(s, i);
        auto lead = static_cast<unsigned char>(s[i]);
        char32_t cp;
        if (n == 1) {
            cp = lead < 0x80 ? lead : U'\uFFFD';
        } else {
            cp = lead & (0xFF >> (n + 1));
            for (std::size_t k = 1; k < n; ++k)
                cp = (cp << 6) | (s[i + k] & 0x3F);
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
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
// Whether a pair starts at index i.
bool pairAt(std::u16string_view units, std::size_t i) {
    return i + 1 < units.size() && isHighSurrogate(units[i]) && isLowSurrogate(units[i + 1]);
}
}  // namespace

bool isSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

std::u16string utf16Of(char32_t cp) {
    if (cp > 0x10FFFF || isSurrogate(cp))
        cp = 0xFFFD;
    if (cp < 0x10000)
        return std::u16string(1, static_cast<char16_t>(cp));
    cp -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (cp >> 10)),
            static_cast<char16_t>(0xDC00 + (cp & 0x3FF))};
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
            appendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            appendCodePoint(out, isSurrogate(unit) ? U'\uFFFD' : unit);
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
    bool little = byte(0) == 0xFF && byte(1) == 0xFE;
    bool big = byte(0) == 0xFE && byte(1) == 0xFF;
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
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool hasControl(std::string_view s) {
    for (char32_t c : toCodePoints(s)) {
        if (isControl(c))
            return true;
    }
    return false;
}

}  // namespace text
