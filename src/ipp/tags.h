#pragma once
// The tags of IPP's binary encoding that the program writes or reads by name.

#include <cstdint>

namespace ipp::tags {

// Delimiters: 0x00 to 0x0F. Any of them but 0x00 and the end tag opens a group.
inline constexpr std::uint8_t kOperationGroup = 0x01;
inline constexpr std::uint8_t kJobGroup = 0x02;
inline constexpr std::uint8_t kEndOfAttributes = 0x03;
inline constexpr std::uint8_t kPrinterGroup = 0x04;
inline constexpr std::uint8_t kUnsupportedGroup = 0x05;
inline constexpr std::uint8_t kLastDelimiter = 0x0F;

// Values.
inline constexpr std::uint8_t kInteger = 0x21;
inline constexpr std::uint8_t kBoolean = 0x22;
inline constexpr std::uint8_t kEnum = 0x23;
inline constexpr std::uint8_t kDateTime = 0x31;
inline constexpr std::uint8_t kResolution = 0x32;
inline constexpr std::uint8_t kRangeOfInteger = 0x33;
inline constexpr std::uint8_t kBeginCollection = 0x34;
inline constexpr std::uint8_t kTextWithLanguage = 0x35;
inline constexpr std::uint8_t kNameWithLanguage = 0x36;
inline constexpr std::uint8_t kEndCollection = 0x37;
inline constexpr std::uint8_t kText = 0x41;
inline constexpr std::uint8_t kName = 0x42;
inline constexpr std::uint8_t kKeyword = 0x44;
inline constexpr std::uint8_t kUri = 0x45;
inline constexpr std::uint8_t kCharset = 0x47;
inline constexpr std::uint8_t kNaturalLanguage = 0x48;
inline constexpr std::uint8_t kMemberName = 0x4A;
inline constexpr std::uint8_t kExtension = 0x7F;  // a four-byte tag follows

// Operations.
inline constexpr std::uint16_t kGetPrinterAttributes = 0x000B;

}  // namespace ipp::tags
