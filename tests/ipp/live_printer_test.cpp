// The IPP request and reply reader against a real printer: CUPS' ippeveprinter on the loopback.
// Run by live_printer.sh, which installs it first; without it these tests fail.

#include <gtest/gtest.h>

#include "ipp/model_match.h"
#include "ipp/request.h"
#include "ipp/response.h"
#include "test_printer.h"
#include "text/text.h"

namespace {

using testing_support::TestPrinter;

ipp::Response ask(const TestPrinter& printer, const std::vector<std::string>& attributes,
                  std::uint32_t requestId) {
    const std::string request = ipp::encodeGetPrinterAttributes(
        ipp::printerUri("127.0.0.1", printer.port()), attributes, requestId);
    const testing_support::HttpReply reply = testing_support::postIpp(printer.port(), request);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.contentType, "application/ipp");
    const ipp::Decoded decoded = ipp::decodeResponse(reply.body);
    EXPECT_TRUE(decoded.response) << decoded.error;
    return decoded.response.value_or(ipp::Response{});
}

TEST(IppLivePrinter, MakeAndModelIsWhatThePrinterReports) {
    struct Case {
        const char* make;
        const char* model;
        const char* reported;  // ippeveprinter joins them with a space
    };
    const Case cases[] = {
        {"Velmora Labs", "Test Model 7", "Velmora Labs Test Model 7"},
        {"富士全錄", "DocuPrint P115 w", "富士全錄 DocuPrint P115 w"},
    };
    std::uint32_t requestId = 100;
    for (const Case& c : cases) {
        TestPrinter printer(c.make, c.model, "VelmoraTest");
        const ipp::Response r = ask(printer, {"printer-make-and-model"}, ++requestId);
        EXPECT_TRUE(ipp::succeeded(r)) << r.status;
        EXPECT_EQ(r.requestId, requestId);
        const std::optional<std::string> reported = ipp::textAttribute(r, "printer-make-and-model");
        EXPECT_EQ(reported, c.reported);
        // As a package would list it, in other case and spacing, after a model that is not it.
        const std::vector<std::string> listed = {
            "Velmora Labs Other Model", "  " + text::asciiLower(std::string(c.reported)) + "  PCL"};
        EXPECT_EQ(ipp::matchModel(listed, reported.value_or("")), 1u) << c.reported;
    }
}

TEST(IppLivePrinter, AWholeReplyIsReadAndUnknownAttributesAreAbsent) {
    TestPrinter printer("Velmora Labs", "Test Model 7", "VelmoraTest");
    // Everything it has: 1setOf values, collections inside collections, enums and ranges.
    const ipp::Response all = ask(printer, {"all"}, 1);
    EXPECT_TRUE(ipp::succeeded(all)) << all.status;
    EXPECT_EQ(ipp::textAttribute(all, "printer-name"), "VelmoraTest");
    const ipp::Attribute* uris = ipp::findAttribute(all, "printer-uri-supported");
    ASSERT_NE(uris, nullptr);
    EXPECT_GE(uris->values.size(), 1u);
    const ipp::Attribute* media = ipp::findAttribute(all, "media-col-ready");
    ASSERT_NE(media, nullptr);
    EXPECT_GT(media->values.size(), 1u);
    for (const ipp::Value& v : media->values)
        EXPECT_EQ(v.tag, 0x34);

    const ipp::Response some = ask(printer, {"printer-name", "velmora-no-such-attribute"}, 2);
    EXPECT_EQ(ipp::textAttribute(some, "printer-name"), "VelmoraTest");
    EXPECT_EQ(ipp::textAttribute(some, "velmora-no-such-attribute"), std::nullopt);
    EXPECT_EQ(ipp::findAttribute(some, "printer-make-and-model"), nullptr);
}

TEST(IppLivePrinter, HttpReplyEndsByLengthOrChunks) {
    struct Case {
        const char* what;
        const char* received;
        std::optional<std::string> body;
    };
    const Case cases[] = {
        {"by length", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabcdef", "abc"},
        {"length not yet there", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nab", std::nullopt},
        {"head not yet whole", "HTTP/1.1 200 OK\r\nContent-Len", std::nullopt},
        {"chunks",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n1;x\r\nc\r\n0\r\n\r\n",
         "abc"},
        {"chunks not yet ended", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n",
         std::nullopt},
        {"after an interim reply",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\ncontent-length: 1\r\n\r\nz", "z"},
    };
    for (const Case& c : cases) {
        std::optional<testing_support::HttpReply> reply =
            testing_support::completeHttpReply(c.received);
        EXPECT_EQ(reply ? std::optional<std::string>(reply->body) : std::nullopt, c.body) << c.what;
    }
}

}  // namespace
