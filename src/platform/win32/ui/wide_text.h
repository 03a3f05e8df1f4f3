#pragma once
// UTF-8 and UTF-16 at the edge of the window system, and caret positions between the edit
// control's UTF-16 units and the model's characters.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::win32::ui {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// A position in UTF-16 units to characters, and back; both clip to the text.
std::size_t unitsToChars(std::wstring_view utf16, std::size_t units);
std::size_t charsToUnits(std::wstring_view utf16, std::size_t chars);

// One typed character as UTF-16: one unit, or a surrogate pair above U+FFFF.
std::wstring unitsOf(char32_t cp);

}  // namespace platform::win32::ui
