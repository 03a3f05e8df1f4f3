#include "platform/win32/ui/wide_text.h"

#include "platform/win32/wide.h"
#include "text/text.h"

namespace platform::win32::ui {

namespace {
// wchar_t is a UTF-16 unit on Windows; text/ counts in char16_t.
std::u16string asUnits(std::wstring_view wide) {
    return {wide.begin(), wide.end()};
}
}  // namespace

std::wstring unitsOf(char32_t cp) {
    std::u16string u = text::utf16Of(cp);
    return {u.begin(), u.end()};
}

// One conversion for the whole Windows layer.
std::wstring widen(std::string_view utf8) {
    return toWide(utf8);
}

std::string narrow(std::wstring_view utf16) {
    return toUtf8(utf16);
}

std::size_t unitsToChars(std::wstring_view utf16, std::size_t units) {
    return text::utf16UnitsToChars(asUnits(utf16), units);
}

std::size_t charsToUnits(std::wstring_view utf16, std::size_t chars) {
    return text::charsToUtf16Units(asUnits(utf16), chars);
}

}  // namespace platform::win32::ui
