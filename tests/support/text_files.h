#pragma once
// A text as the bytes of a file saved in each encoding the program reads.

#include <string>
#include <string_view>

#include "text/text.h"

namespace testing_support {

inline std::string utf16File(std::string_view utf8, bool littleEndian) {
    std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    auto unit = [&](char32_t u) {
        char low = static_cast<char>(u & 0xFF), high = static_cast<char>((u >> 8) & 0xFF);
        bytes += littleEndian ? low : high;
        bytes += littleEndian ? high : low;
    };
    for (char32_t c : text::toCodePoints(utf8)) {
        if (c > 0xFFFF) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return bytes;
}

inline std::string utf8File(std::string_view utf8) {
    return "\xEF\xBB\xBF" + std::string(utf8);
}

}  // namespace testing_support
