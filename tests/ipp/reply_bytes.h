#pragma once
// IPP replies written out byte by byte for the tests, the way a printer sends them.

#include <cstdint>
#include <string>
#include <string_view>

namespace testing_support {

inline std::string u16(std::size_t n) {
    return {static_cast<char>((n >> 8) & 0xFF), static_cast<char>(n & 0xFF)};
}

// Version, status and request id.
inline std::string replyHeader(std::uint16_t status, std::uint32_t requestId) {
    std::string out{'\x01', '\x01'};
    out += u16(status);
    out += u16(requestId >> 16) + u16(requestId & 0xFFFF);
    return out;
}

inline std::string valueBytes(std::uint8_t tag, std::string_view name, std::string_view value) {
    return std::string(1, static_cast<char>(tag)) + u16(name.size()) + std::string(name) +
           u16(value.size()) + std::string(value);
}

// The value of a textWithLanguage or nameWithLanguage.
inline std::string withLanguage(std::string_view language, std::string_view text) {
    return u16(language.size()) + std::string(language) + u16(text.size()) + std::string(text);
}

inline const std::string kEnd = "\x03";
inline const std::string kOperationGroup = "\x01";
inline const std::string kPrinterGroup = "\x04";
inline const std::string kUnsupportedGroup = "\x05";

// A reply as a printer gives it to Get-Printer-Attributes: the operation group, then the
// printer's attributes with a 1setOf, a collection (with one inside it) and a language.
inline std::string goodReply() {
    return replyHeader(0x0000, 7) + kOperationGroup +
           valueBytes(0x47, "attributes-charset", "utf-8") +
           valueBytes(0x48, "attributes-natural-language", "en") + kPrinterGroup +
           valueBytes(0x41, "printer-make-and-model", "KONICA MINOLTA bizhub C257i") +
           valueBytes(0x45, "printer-uri-supported", "ipp://10.0.0.7:631/ipp/print") +
           valueBytes(0x45, "", "ipps://10.0.0.7:631/ipp/print") +
           valueBytes(0x34, "media-col-default", "") + valueBytes(0x4A, "", "media-size") +
           valueBytes(0x34, "", "") + valueBytes(0x4A, "", "x-dimension") +
           valueBytes(0x21, "", std::string("\x00\x00\x52\x08", 4)) + valueBytes(0x37, "", "") +
           valueBytes(0x37, "", "") +
           valueBytes(0x35, "printer-info", withLanguage("zh-tw", "三樓影印機")) +
           valueBytes(0x22, "printer-is-accepting-jobs", std::string(1, '\x01')) + kEnd;
}

}  // namespace testing_support
