#include "platform/log_text.h"

#include <cstdint>
#include <cstdio>

#include "text/text.h"

namespace platform {

std::string logSafe(std::string_view event) {
    std::string out;
    out.reserve(event.size());
    for (char c : event) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < ' ' || byte == text::kDelete) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += c;
        }
        if (out.size() > kLogEventLimitBytes) {
            // Back to the start of the character the cut falls into.
            std::size_t cut = kLogEventLimitBytes;
            while (cut > 0 && text::isContinuationByte(static_cast<unsigned char>(out[cut])))
                --cut;
            out.resize(cut);
            out += "…（已截斷）";
            break;
        }
    }
    return out;
}

std::string keepNewestHalf(std::string_view content, std::size_t limit) {
    const std::size_t keep = limit / 2;
    if (content.size() <= keep)
        return std::string(content);
    std::size_t from = content.size() - keep;
    // Start after the line break the cut falls into, so no half line stays.
    if (from > 0 && content[from - 1] != '\n') {
        std::size_t next = content.find('\n', from);
        from = next == std::string_view::npos ? content.size() : next + 1;
    }
    return std::string(content.substr(from));
}

std::string errorNumberText(long long number) {
    // Past 16 bits: an HRESULT.
    constexpr long long kLastDecimal = 0xFFFF;
    if (number < 0 || number > kLastDecimal) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", static_cast<std::uint32_t>(number));
        return hex;
    }
    return std::to_string(number);
}

}  // namespace platform
