#include "platform/number.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/error_texts.h"
#include "text/text.h"

namespace platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

double toNumber(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    std::string_view t = s.substr(b, e - b);
    // from_chars takes "inf", "nan" and hex too; the program's conversions take none of them.
    bool plain = !t.empty();
    for (char c : t) {
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.' ||
              c == 'e' || c == 'E')) {
            plain = false;
        }
    }
    bool negative = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negative = t.front() == '-';
        t.remove_prefix(1);  // from_chars takes no "+", and one sign only
    }
    if (plain && !t.empty() && t.front() != '+' && t.front() != '-') {
        double v = 0;
        auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), v);
        if (end == t.data() + t.size()) {
            if (error == std::errc())
                return negative ? -v : v;
            if (error == std::errc::result_out_of_range)
                throw errorFor(errors::kOverflow);
        }
    }
    throw errorFor(errors::kTypeMismatch);
}

std::int16_t toInteger16(std::string_view s) {
    double v = std::nearbyint(toNumber(s));  // default rounding mode: half to even
    if (v < std::numeric_limits<std::int16_t>::min() ||
        v > std::numeric_limits<std::int16_t>::max())
        throw errorFor(errors::kOverflow);
    return static_cast<std::int16_t>(v);
}

}  // namespace platform
