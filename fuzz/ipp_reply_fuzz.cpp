// A printer's reply is either read or refused with a reason, never both; what is read keeps the
// sizes its tags promise, and every text taken from it is UTF-8.
#include <cstdint>
#include <cstdlib>

#include "ipp/model_match.h"
#include "ipp/response.h"
#include "text/text.h"

namespace {

bool sizeKept(const ipp::Value& v) {
    switch (v.tag) {
        case 0x21:
        case 0x23:
            return v.bytes.size() == 4;
        case 0x22:
            return v.bytes.size() == 1;
        case 0x31:
            return v.bytes.size() == 11;
        case 0x32:
            return v.bytes.size() == 9;
        case 0x33:
            return v.bytes.size() == 8;
        default:
            return true;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ipp::Decoded d = ipp::decodeResponse(bytes);
    if (d.response.has_value() == !d.error.empty())
        std::abort();
    if (!d.response)
        return 0;
    std::vector<std::string> names;
    for (const ipp::Group& g : d.response->groups) {
        for (const ipp::Attribute& a : g.attributes) {
            if (a.name.empty() || a.values.empty())
                std::abort();
            for (const ipp::Value& v : a.values) {
                if (!sizeKept(v))
                    std::abort();
            }
            names.push_back(a.name);
        }
    }
    for (const std::string& name : names) {
        if (std::optional<std::string> t = ipp::textAttribute(*d.response, name)) {
            if (text::fromCodePoints(text::toCodePoints(*t)) != *t)
                std::abort();
            (void)ipp::matchModel(names, *t);
        }
    }
    return 0;
}
