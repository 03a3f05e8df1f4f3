#pragma once
// The one IPP request the program sends: Get-Printer-Attributes, as bytes for an HTTP POST with
// Content-Type application/ipp.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ipp {

// The printer's URI for a host (a name, an IPv4 address, or an IPv6 address, which is put in
// brackets) and a port: "ipp://10.0.0.7:631/ipp/print".
std::string printerUri(std::string_view host, int port);

// IPP 1.1 Get-Printer-Attributes with attributes-charset "utf-8", attributes-natural-language
// "en", printer-uri and requested-attributes (left out when the list is empty: the printer then
// answers all it has). Throws std::length_error for a URI or attribute name longer than the
// encoding's 16-bit lengths can hold.
std::string encodeGetPrinterAttributes(std::string_view printerUri,
                                       const std::vector<std::string>& requestedAttributes,
                                       std::uint32_t requestId);

}  // namespace ipp
