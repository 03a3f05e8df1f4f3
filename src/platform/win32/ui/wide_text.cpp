#include "platform/win32/ui/wide_text.h"

#include "platform/win32/wide.h"
#include "text/text.h"

namespace platform::win32::ui {

namespace {
bool isHighSurrogate(wchar_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLowSurrogate(wchar_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}
}  // namespace

std::wstring unitsOf(char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x10000)
        return std::wstring(1, static_cast<wchar_t>(cp));
    cp -= 0x10000;
    return {static_cast<wchar_t>(0xD800 + (cp >> 10)), static_cast<wchar_t>(0xDC00 + (cp & 0x3FF))};
}

// One conversion for the whole Windows layer.
std::wstring widen(std::string_view utf8) {
    return toWide(utf8);
}

std::string narrow(std::wstring_view utf16) {
    return toUtf8(utf16);
}

std::size_t unitsToChars(std::wstring_view utf16, std::size_t units) {
    if (units > utf16.size())
        units = utf16.size();
    std::size_t chars = 0;
    for (std::size_t i = 0; i < units; ++i) {
        // The second half of a pair belongs to the character its first half began.
        if (isLowSurrogate(utf16[i]) && i > 0 && isHighSurrogate(utf16[i - 1]))
            continue;
        ++chars;
    }
    return chars;
}

std::size_t charsToUnits(std::wstring_view utf16, std::size_t chars) {
    std::size_t i = 0;
    for (; i < utf16.size() && chars > 0; --chars) {
        bool pair =
            isHighSurrogate(utf16[i]) && i + 1 < utf16.size() && isLowSurrogate(utf16[i + 1]);
        i += pair ? 2 : 1;
    }
    return i;
}

}  // namespace platform::win32::ui
