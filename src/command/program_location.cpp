#include "command/program_location.h"

namespace command {

std::optional<std::string> programPath(std::string_view, const Folders&) {
    return std::nullopt;  // TODO(helper): implement
}

}  // namespace command
