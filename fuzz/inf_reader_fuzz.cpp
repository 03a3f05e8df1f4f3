// The INF reader on any bytes, for every architecture: no crash, no hang, and every model it
// lists is a name: not empty, on one line, no core-driver GUID, listed once.
#include <cstdint>
#include <cstdlib>
#include <set>

#include "inf/models.h"
#include "platform/sim/codepage.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const sim::SimCodepage cp950(950);
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const inf::Document document = inf::Document::fromBytes(bytes, cp950);
    platform::WindowsTarget target;
    for (platform::Architecture a : {platform::Architecture::Amd64, platform::Architecture::X86,
                                     platform::Architecture::Arm64}) {
        target.architecture = a;
        const inf::ModelList list = inf::readModels(document, target);
        std::set<std::string> seen;
        for (const std::string& m : list.models) {
            if (m.empty() || m.find_first_of("\r\n") != std::string::npos ||
                (m.front() == '{' && m.back() == '}') || !seen.insert(text::asciiLower(m)).second ||
                !inf::declaresAnywhere(document, target, m)) {
                std::abort();
            }
        }
        if (!list.hasManufacturer && !list.models.empty())
            std::abort();
    }
    return 0;
}
