// The Get-Printer-Attributes request, byte for byte.

#include <gtest/gtest.h>

#include <stdexcept>

#include "ipp/request.h"

namespace {

// "01 0b ..." to bytes; text in quotes is taken as it is.
std::string bytesOf(std::string_view written) {
    std::string out;
    for (std::size_t i = 0; i < written.size();) {
        if (written[i] == ' ') {
            ++i;
        } else if (written[i] == '\'') {
            std::size_t close = written.find('\'', i + 1);
            out += written.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            out += static_cast<char>(std::stoi(std::string(written.substr(i, 2)), nullptr, 16));
            i += 2;
        }
    }
    return out;
}

TEST(IppRequest, GetPrinterAttributesIsEncodedByteForByte) {
    struct Case {
        const char* what;
        std::vector<std::string> requested;
        std::uint32_t requestId;
        const char* expected;
    };
    const char* start = "01 01 00 0b";  // version 1.1, Get-Printer-Attributes
    const char* operation =
        "01 47 00 12 'attributes-charset' 00 05 'utf-8'"
        " 48 00 1b 'attributes-natural-language' 00 02 'en'"
        " 45 00 0b 'printer-uri' 00 1c 'ipp://10.0.0.7:631/ipp/print'";
    const Case cases[] = {
        {"one attribute",
         {"printer-make-and-model"},
         1,
         "00 00 00 01 | 44 00 14 'requested-attributes' 00 16 'printer-make-and-model' 03"},
        {"further values have no name",
         {"printer-make-and-model", "printer-name"},
         0x01020304,
         "01 02 03 04 | 44 00 14 'requested-attributes' 00 16 'printer-make-and-model'"
         " 44 00 00 00 0c 'printer-name' 03"},
        {"none asked: all of them", {}, 0xFFFFFFFF, "ff ff ff ff | 03"},
    };
    for (const Case& c : cases) {
        std::string written = c.expected;
        std::size_t bar = written.find('|');
        std::string expected = bytesOf(start) + bytesOf(written.substr(0, bar)) +
                               bytesOf(operation) + bytesOf(written.substr(bar + 1));
        EXPECT_EQ(ipp::encodeGetPrinterAttributes("ipp://10.0.0.7:631/ipp/print", c.requested,
                                                  c.requestId),
                  expected)
            << c.what;
    }
}

TEST(IppRequest, LengthsPastSixteenBitsAreRefused) {
    const std::string longText(65536, 'a');
    EXPECT_THROW(ipp::encodeGetPrinterAttributes(longText, {}, 1), std::length_error);
    EXPECT_THROW(ipp::encodeGetPrinterAttributes("ipp://h/ipp/print", {"a", longText}, 1),
                 std::length_error);
    // The longest that fits is written whole.
    const std::string longest(65535, 'a');
    EXPECT_EQ(ipp::encodeGetPrinterAttributes(longest, {}, 1).size(),
              8 + 1 + (5 + 18 + 5) + (5 + 27 + 2) + (5 + 11 + 65535) + 1);
}

TEST(IppRequest, PrinterUriPutsAnIpv6AddressInBrackets) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"10.0.0.7", 631, "ipp://10.0.0.7:631/ipp/print"},
        {"printer.local", 8631, "ipp://printer.local:8631/ipp/print"},
        {"fe80::1", 631, "ipp://[fe80::1]:631/ipp/print"},
    };
    for (const auto& [host, port, uri] : cases)
        EXPECT_EQ(ipp::printerUri(host, port), uri) << host;
}

}  // namespace
