// The names split from the INI reader's buffer are its NUL-ended runs, in order, up to the
// first empty one.
#include <cstdint>
#include <cstdlib>

#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view buffer(reinterpret_cast<const char*>(data), size);
    std::size_t at = 0;
    for (const std::string& name : platform::splitNameList(buffer)) {
        if (name.empty() || name.find('\0') != std::string::npos ||
            buffer.substr(at, name.size()) != name ||
            buffer.substr(at + name.size(), 1) != std::string_view("\0", 1))
            std::abort();
        at += name.size() + 1;
    }
    return 0;
}
