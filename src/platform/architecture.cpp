#include "platform/system.h"

namespace platform {

const char* architectureName(Architecture architecture) {
    switch (architecture) {
        case Architecture::X86:
            return "x86";
        case Architecture::Amd64:
            return "x64";
        case Architecture::Arm:
            return "ARM";
        case Architecture::Arm64:
            return "ARM64";
        case Architecture::Ia64:
            return "IA64";
    }
    return "?";
}

}  // namespace platform
