#include "profile/address_check.h"

#include "platform/number.h"
#include "text/text.h"

namespace profile {

bool isValidOctet(std::string_view part) {
    return platform::toInteger16(part) < 256;
}

bool isValidIpAddress(std::string_view text) {
    std::vector<std::string> parts = text::split(text, ".");
    if (parts.size() != 4)
        return false;
    for (const std::string& part : parts) {
        // Windows reads a part with a leading zero as octal: 010 is 8, another printer.
        if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0'))
            return false;
        for (char c : part) {
            if (c < '0' || c > '9')
                return false;
        }
    }
    // Every part is looked at, as the address's own rule says; none is skipped.
    bool valid = true;
    for (const std::string& part : parts)
        valid = isValidOctet(part) && valid;
    return valid;
}

bool isAcceptableAddress(std::string_view text, const platform::Codepage& codepage) {
    if (!text::contains(text, "\\\\"))
        return isValidIpAddress(text);
    if (text.find_first_of(",\"&|<>^%") != std::string_view::npos || text.back() == '\\')
        return false;
    for (char32_t c : text::toCodePoints(text)) {
        if (text::isControl(c) || c == U'\uFFFD')
            return false;
    }
    return codepage.firstUnstorable(std::string(text)).empty();
}

}  // namespace profile
