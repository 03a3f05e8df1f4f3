#pragma once
// Numbers read from text as the program's conversions read them, failing with the errors the
// program's error handling knows.

#include <cstdint>
#include <string_view>

namespace platform {

// Numeric conversion as the program's conversions do it: surrounding blanks are ignored, a sign,
// digits, a decimal point and an exponent are accepted, in every locale alike. Anything else is
// a type mismatch and raises Error 13; a number past what a double holds raises
// Error 6 (overflow).
double toNumber(std::string_view s);

// Conversion to a 16-bit signed integer (rounded half to even); out of range raises
// Error 6 (overflow), a non-number Error 13.
std::int16_t toInteger16(std::string_view s);

}  // namespace platform
