#include "ipp/request.h"

#include <limits>
#include <stdexcept>

#include "ipp/tags.h"

namespace ipp {

namespace {

void putShort(std::string& out, std::size_t value) {
    if (value > std::numeric_limits<std::uint16_t>::max())
        throw std::length_error("an IPP name or value is longer than 65535 bytes");
    // Big-endian; each cast keeps the low eight bits.
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value);
}

// An attribute's value; an empty name makes it a further value of the attribute before it.
void putValue(std::string& out, std::uint8_t tag, std::string_view name, std::string_view value) {
    out += static_cast<char>(tag);
    putShort(out, name.size());
    out += name;
    putShort(out, value.size());
    out += value;
}

}  // namespace

std::string printerUri(std::string_view host, int port) {
    std::string out = "ipp://";
    if (host.find(':') != std::string_view::npos) {
        out += '[';
        out += host;
        out += ']';
    } else {
        out += host;
    }
    return out + ":" + std::to_string(port) + "/ipp/print";
}

std::string encodeGetPrinterAttributes(std::string_view printerUri,
                                       const std::vector<std::string>& requestedAttributes,
                                       std::uint32_t requestId) {
    std::string out;
    out += '\x01';  // version 1.1: what every IPP printer answers
    out += '\x01';
    putShort(out, tags::kGetPrinterAttributes);
    for (int byte = 3; byte >= 0; --byte)  // four bytes, big-endian
        out += static_cast<char>(requestId >> (byte * 8));
    out += static_cast<char>(tags::kOperationGroup);
    putValue(out, tags::kCharset, "attributes-charset", "utf-8");
    putValue(out, tags::kNaturalLanguage, "attributes-natural-language", "en");
    putValue(out, tags::kUri, "printer-uri", printerUri);
    for (std::size_t i = 0; i < requestedAttributes.size(); ++i)
        putValue(out, tags::kKeyword, i == 0 ? "requested-attributes" : "", requestedAttributes[i]);
    out += static_cast<char>(tags::kEndOfAttributes);
    return out;
}

}  // namespace ipp
