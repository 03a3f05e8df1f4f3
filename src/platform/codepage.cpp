#include "platform/files.h"

#include "text/text.h"

namespace platform {

std::string Codepage::firstUnstorable(const std::string& text) const {
    if (decode(encode(text)) == text)
        return {};
    // Only a text that does not survive whole is looked at character by character.
    for (char32_t c : text::toCodePoints(text)) {
        std::string one;
        text::appendCodePoint(one, c);
        if (decode(encode(one)) != one)
            return one;
    }
    // Each character survives alone, yet not all together: name the text's first one.
    return text::charAt(text, 0);
}

}  // namespace platform
