// Every model the scan lists keeps its rules and is listed once, whether the text is decoded
// whole or in parts cut at every chance.
#include <cstdint>
#include <cstdlib>
#include <unordered_set>

#include "maker/model_scan.h"
#include "platform/sim/codepage.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const sim::SimCodepage cp950(950);
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> models = maker::scanModels(bytes, cp950);
    if (maker::scanModels(bytes, cp950, 1) != models)
        std::abort();
    std::unordered_set<std::string> seen;
    for (const std::string& m : models) {
        if (text::length(m) < 8 || m.find_first_of("\"=$,[%\\") != std::string::npos ||
            text::contains(m, "CD-ROM") || text::contains(m, "Driver Disk") ||
            !seen.insert(m).second)
            std::abort();
    }
    return 0;
}
