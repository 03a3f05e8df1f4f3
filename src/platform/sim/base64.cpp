#include "platform/sim/base64.h"

#include <climits>
#include <string_view>

namespace sim {

namespace {
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// Each character carries six bits; three bytes make four characters.
constexpr int kCharacterBits = 6;
constexpr unsigned kCharacterMask = 0x3F;

int indexOf(char c) {
    std::size_t at = kAlphabet.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

char character(unsigned bits, int index) {
    return kAlphabet[(bits >> (index * kCharacterBits)) & kCharacterMask];
}
}  // namespace

std::string base64Encode(const std::string& bytes) {
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                     (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                     static_cast<unsigned char>(bytes[i + 2]);
        for (int index = 3; index >= 0; --index)
            out += character(v, index);
    }
    std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2)
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += character(v, 3);
        out += character(v, 2);
        out += rest == 2 ? character(v, 1) : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> base64Decode(const std::string& text) {
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    std::size_t padding = 0;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t')
            continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        if (padding > 0)
            return std::nullopt;  // data after padding
        int v = indexOf(c);
        if (v < 0)
            return std::nullopt;
        buffer = (buffer << kCharacterBits) | static_cast<unsigned>(v);
        bits += kCharacterBits;
        if (bits >= CHAR_BIT) {
            bits -= CHAR_BIT;
            out += static_cast<char>(buffer >> bits);  // the cast keeps the low eight bits
        }
    }
    if (padding > 2)
        return std::nullopt;
    return out;
}

}  // namespace sim
