#include "platform/files.h"

namespace platform {

std::vector<std::string> splitNameList(std::string_view buffer) {
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < buffer.size()) {
        std::size_t end = buffer.find('\0', at);
        if (end == std::string_view::npos || end == at)
            break;  // no end: a cut name is no name; an empty one ends the list
        names.emplace_back(buffer.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

}  // namespace platform
