#pragma once
// An IPP reply as the printer sent it: status, request id, and the groups of attributes with
// their tags and values. The reply comes from the network, so the reader trusts nothing in it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ipp {

struct Value {
    std::uint8_t tag = 0;
    // As sent; a collection's are the encoded members between its begin and end values.
    std::string bytes;
};

// One attribute with all its values (more than one for a 1setOf).
struct Attribute {
    std::string name;
    std::vector<Value> values;
};

struct Group {
    std::uint8_t tag = 0;  // a delimiter tag: 0x01 operation, 0x04 printer, 0x05 unsupported...
    std::vector<Attribute> attributes;
};

struct Response {
    std::uint8_t majorVersion = 0;
    std::uint8_t minorVersion = 0;
    std::uint16_t status = 0;
    std::uint32_t requestId = 0;
    std::vector<Group> groups;
};

// No printer's answer to a question about a few attributes comes near this.
inline constexpr std::size_t kMaxReplyBytes = std::size_t{1} << 20;

// A reply, or why it was refused (in English, for the log and the tests).
struct Decoded {
    std::optional<Response> response;
    std::string error;
};

// Reads a whole reply; refuses one that is cut short, longer than kMaxReplyBytes or malformed
// (a length past the end, a value of the wrong size for its tag, a value before any group or
// attribute name, a collection left open, no end-of-attributes tag). Bytes after the end tag
// are a document's data and are not read.
Decoded decodeResponse(std::string_view bytes);

// Status codes 0x0000 to 0x00FF are the successful ones.
bool succeeded(const Response& response);

// The first attribute of that name in the reply, outside the unsupported-attributes group
// (which lists what the printer did not understand, not what it has); nullptr when none.
const Attribute* findAttribute(const Response& response, std::string_view name);

// That attribute's first value when it is text (text, name, keyword or uri, or text or name
// with a language, of which only the text counts), as UTF-8: bytes that are not UTF-8 become
// U+FFFD. Nothing when the attribute is absent or its first value is no text.
std::optional<std::string> textAttribute(const Response& response, std::string_view name);

// What a printer answered to the question with that request id about one attribute: its text
// value when the reply reads, says success and answers that very question; nothing otherwise.
std::optional<std::string> answeredText(std::string_view reply, std::uint32_t requestId,
                                        std::string_view attribute);

}  // namespace ipp
