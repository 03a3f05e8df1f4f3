#include "platform/text_file.h"

#include <algorithm>
#include <array>

#include "text/text.h"

namespace platform {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// No code page uses a byte below U+0030 inside a multi-byte character.
constexpr unsigned char kBelowEveryTrailByte = 0x30;

unsigned char byteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

// The lead bytes of well-formed UTF-8 past ASCII, by the Unicode standard's table of
// well-formed byte sequences: the sequence's length and the range of its second byte. Every
// later byte is a continuation byte.
struct LeadBytes {
    unsigned char first;
    unsigned char last;
    std::size_t length;
    unsigned char low;
    unsigned char high;
};
constexpr unsigned char kLowestContinuation = 0x80;
constexpr unsigned char kHighestContinuation = 0xBF;
constexpr std::array<LeadBytes, 8> kWellFormedLeads{{
    {0xC2, 0xDF, 2, 0x80, 0xBF},
    {0xE0, 0xE0, 3, 0xA0, 0xBF},  // no overlong form
    {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F},  // no surrogate
    {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},  // no overlong form
    {0xF1, 0xF3, 4, 0x80, 0xBF},
    {0xF4, 0xF4, 4, 0x80, 0x8F},  // nothing past U+10FFFF
}};

// Appends UTF-8 bytes, each maximal malformed part replaced by U+FFFD as the system's UTF-8
// conversion does: overlong forms, surrogates and code points past U+10FFFF included.
void appendWellFormed(std::string& out, std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = byteAt(s, i);
        if (c < text::kFirstNonAscii) {
            std::size_t run = i + 1;
            while (run < s.size() && byteAt(s, run) < text::kFirstNonAscii)
                ++run;
            out.append(s.substr(i, run - i));
            i = run;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = kLowestContinuation;  // the range of the second byte
        unsigned char high = kHighestContinuation;
        for (const LeadBytes& lead : kWellFormedLeads) {
            if (c >= lead.first && c <= lead.last) {
                length = lead.length;
                low = lead.low;
                high = lead.high;
                break;
            }
        }
        std::size_t k = 1;
        while (k < length && i + k < s.size()) {
            unsigned char t = byteAt(s, i + k);
            if (t < (k == 1 ? low : kLowestContinuation) ||
                t > (k == 1 ? high : kHighestContinuation))
                break;
            ++k;
        }
        if (length != 0 && k == length)
            out.append(s.substr(i, length));
        else
            out.append(kReplacement);
        i += k;
    }
}

std::size_t markLength(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return kUtf8Mark.size();
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return 2;
        case TextEncoding::Ansi:
            break;
    }
    return 0;
}

// Where the part that starts at `at` ends: at least `partBytes` on, then after the next
// character below U+0030 (or at the end).
std::size_t partEnd(std::string_view bytes, std::size_t at, std::size_t partBytes,
                    TextEncoding encoding) {
    const std::size_t unit =
        encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be ? 2 : 1;
    std::size_t end = at + std::max(partBytes / unit, std::size_t{1}) * unit;
    auto endsSafely = [&](std::size_t e) {
        switch (encoding) {
            case TextEncoding::Utf16Le:
                return byteAt(bytes, e - 1) == 0 && byteAt(bytes, e - 2) < kBelowEveryTrailByte;
            case TextEncoding::Utf16Be:
                return byteAt(bytes, e - 2) == 0 && byteAt(bytes, e - 1) < kBelowEveryTrailByte;
            default:
                return byteAt(bytes, e - 1) < kBelowEveryTrailByte;
        }
    };
    while (end < bytes.size() && !endsSafely(end))
        end += unit;
    return std::min(end, bytes.size());
}

}  // namespace

TextEncoding textEncoding(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark)
        return TextEncoding::Utf8;
    if (text::startsWith(bytes, text::kUtf16LeMark))
        return TextEncoding::Utf16Le;
    if (text::startsWith(bytes, text::kUtf16BeMark))
        return TextEncoding::Utf16Be;
    return TextEncoding::Ansi;
}

void decodeTextFile(std::string_view bytes, const Codepage& ansi,
                    const std::function<void(std::string_view)>& take, std::size_t partBytes) {
    const TextEncoding encoding = textEncoding(bytes);
    std::string_view body = bytes.substr(markLength(encoding));
    std::string mark;  // each UTF-16 part is decoded as a file of its own
    if (encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be) {
        body = body.substr(0, body.size() & ~std::size_t{1});
        mark = std::string(bytes.substr(0, 2));
    }
    std::string in, out;
    for (std::size_t at = 0; at < body.size();) {
        std::size_t end = partEnd(body, at, partBytes, encoding);
        std::string_view part = body.substr(at, end - at);
        switch (encoding) {
            case TextEncoding::Ansi:
                in.assign(part);
                out = ansi.decode(in);
                break;
            case TextEncoding::Utf8:
                out.clear();
                appendWellFormed(out, part);
                break;
            case TextEncoding::Utf16Le:
            case TextEncoding::Utf16Be:
                in.assign(mark);
                in.append(part);
                out = text::fromUtf16WithBom(in).value_or(std::string());
                break;
        }
        take(out);
        at = end;
    }
}

std::string decodeTextFile(std::string_view bytes, const Codepage& ansi) {
    std::string text;
    decodeTextFile(bytes, ansi, [&](std::string_view part) { text.append(part); });
    return text;
}

}  // namespace platform
