// Reading a printer's reply: good replies with every shape of value, and every way a reply from
// the network can be cut short, too long or malformed.

#include <gtest/gtest.h>

#include "ipp/response.h"
#include "reply_bytes.h"

namespace {

using namespace testing_support;

// A copy: the tests pass the reader's answer straight in.
ipp::Response decoded(const ipp::Decoded& d) {
    EXPECT_TRUE(d.response) << d.error;
    return d.response.value_or(ipp::Response{});
}

TEST(IppResponse, GoodReplyKeepsGroupsAttributesAndValues) {
    const ipp::Decoded d = ipp::decodeResponse(goodReply());
    const ipp::Response r = decoded(d);
    EXPECT_EQ(r.majorVersion, 1);
    EXPECT_EQ(r.minorVersion, 1);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.requestId, 7u);
    ASSERT_EQ(r.groups.size(), 2u);
    EXPECT_EQ(r.groups[0].tag, 0x01);
    EXPECT_EQ(r.groups[0].attributes.size(), 2u);
    EXPECT_EQ(r.groups[1].tag, 0x04);

    std::vector<std::string> names;
    for (const ipp::Attribute& a : r.groups[1].attributes)
        names.push_back(a.name);
    EXPECT_EQ(names, (std::vector<std::string>{"printer-make-and-model", "printer-uri-supported",
                                               "media-col-default", "printer-info",
                                               "printer-is-accepting-jobs"}));

    const ipp::Attribute* uris = ipp::findAttribute(r, "printer-uri-supported");
    ASSERT_NE(uris, nullptr);
    ASSERT_EQ(uris->values.size(), 2u);
    EXPECT_EQ(uris->values[1].tag, 0x45);
    EXPECT_EQ(uris->values[1].bytes, "ipps://10.0.0.7:631/ipp/print");

    // A collection is one value holding its members, nested ones included.
    const ipp::Attribute* media = ipp::findAttribute(r, "media-col-default");
    ASSERT_NE(media, nullptr);
    ASSERT_EQ(media->values.size(), 1u);
    EXPECT_EQ(media->values[0].tag, 0x34);
    EXPECT_EQ(media->values[0].bytes, valueBytes(0x4A, "", "media-size") +
                                          valueBytes(0x34, "", "") +
                                          valueBytes(0x4A, "", "x-dimension") +
                                          valueBytes(0x21, "", std::string("\x00\x00\x52\x08", 4)) +
                                          valueBytes(0x37, "", ""));
}

TEST(IppResponse, TextAttributeGivesTheFirstTextValue) {
    struct Case {
        const char* what;
        std::string printerAttributes;
        std::optional<std::string> expected;
    };
    const std::string name = "printer-make-and-model";
    const Case cases[] = {
        {"text", valueBytes(0x41, name, "EPSON L3150"), "EPSON L3150"},
        {"name", valueBytes(0x42, name, "EPSON L3150"), "EPSON L3150"},
        {"keyword", valueBytes(0x44, name, "epson"), "epson"},
        {"uri", valueBytes(0x45, name, "ipp://x/"), "ipp://x/"},
        {"text with language", valueBytes(0x35, name, withLanguage("zh-tw", "愛普生 L3150")),
         "愛普生 L3150"},
        {"name with language", valueBytes(0x36, name, withLanguage("en", "EPSON")), "EPSON"},
        {"empty text", valueBytes(0x41, name, ""), ""},
        {"first of a 1setOf", valueBytes(0x41, name, "first") + valueBytes(0x41, "", "second"),
         "first"},
        {"not UTF-8", valueBytes(0x41, name, "EPSON \xFF"), "EPSON \xEF\xBF\xBD"},
        {"no-value", valueBytes(0x13, name, ""), std::nullopt},
        {"an integer", valueBytes(0x21, name, std::string(4, '\0')), std::nullopt},
        {"a collection",
         valueBytes(0x34, name, "") + valueBytes(0x4A, "", name) + valueBytes(0x41, "", "inside") +
             valueBytes(0x37, "", ""),
         std::nullopt},
        {"another attribute", valueBytes(0x41, "printer-name", "EPSON L3150"), std::nullopt},
        {"the first of two of that name",
         valueBytes(0x41, name, "one") + valueBytes(0x41, name, "two"), "one"},
    };
    for (const Case& c : cases) {
        const std::string bytes = replyHeader(0, 1) + kOperationGroup +
                                  valueBytes(0x47, "attributes-charset", "utf-8") + kPrinterGroup +
                                  c.printerAttributes + kEnd;
        EXPECT_EQ(ipp::textAttribute(decoded(ipp::decodeResponse(bytes)), name), c.expected)
            << c.what;
    }
}

TEST(IppResponse, UnsupportedGroupIsNotWhatThePrinterHas) {
    const std::string name = "printer-make-and-model";
    const std::string unsupported = kUnsupportedGroup + valueBytes(0x44, name, "echoed");
    const std::string has = kPrinterGroup + valueBytes(0x41, name, "EPSON L3150");
    const auto text = [&](const std::string& groups) {
        return ipp::textAttribute(decoded(ipp::decodeResponse(replyHeader(0, 1) + groups + kEnd)),
                                  name);
    };
    EXPECT_EQ(text(unsupported), std::nullopt);
    EXPECT_EQ(text(unsupported + has), "EPSON L3150");
}

TEST(IppResponse, StatusAndRequestIdAreRead) {
    const std::tuple<std::uint16_t, std::uint32_t, bool> cases[] = {
        {0x0000, 1, true},  {0x0001, 0x7FFFFFFF, true},  {0x00FF, 0x01020304, true},
        {0x0400, 9, false}, {0x0500, 0xFFFFFFFF, false},
    };
    for (const auto& [status, id, ok] : cases) {
        const ipp::Response r =
            decoded(ipp::decodeResponse(replyHeader(status, id) + kOperationGroup + kEnd));
        EXPECT_EQ(r.status, status);
        EXPECT_EQ(r.requestId, id);
        EXPECT_EQ(ipp::succeeded(r), ok) << status;
    }
}

TEST(IppResponse, EveryCutOfAGoodReplyIsRefused) {
    const std::string whole = goodReply();
    ASSERT_TRUE(ipp::decodeResponse(whole).response);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const ipp::Decoded d = ipp::decodeResponse(std::string_view(whole).substr(0, size));
        EXPECT_FALSE(d.response) << "cut at " << size;
        EXPECT_FALSE(d.error.empty()) << "cut at " << size;
    }
}

TEST(IppResponse, RepliesPastTheLimitAreRefused) {
    // Data after the end tag is allowed, up to the limit.
    const std::string reply = goodReply();
    std::string atLimit = reply + std::string(ipp::kMaxReplyBytes - reply.size(), 'x');
    EXPECT_TRUE(ipp::decodeResponse(atLimit).response);
    const ipp::Decoded past = ipp::decodeResponse(atLimit + "x");
    EXPECT_FALSE(past.response);
    EXPECT_NE(past.error.find("longer"), std::string::npos) << past.error;
}

TEST(IppResponse, MalformedRepliesAreRefused) {
    struct Case {
        const char* what;
        std::string afterHeader;
    };
    const std::string text = valueBytes(0x41, "printer-name", "p");
    const Case cases[] = {
        {"a value before any group", text + kEnd},
        {"a value before any attribute name", kPrinterGroup + valueBytes(0x41, "", "p") + kEnd},
        {"a nameless value in a new group",
         kOperationGroup + text + kPrinterGroup + valueBytes(0x41, "", "p") + kEnd},
        {"no end tag", kPrinterGroup + text},
        {"nothing after the header", ""},
        {"the reserved delimiter", kPrinterGroup + text + std::string(1, '\0') + kEnd},
        {"a name past the end", kPrinterGroup + "\x41" + u16(200) + "printer-name"},
        {"a value past the end", kPrinterGroup + "\x41" + u16(1) + "n" + u16(50) + "short" + kEnd},
        {"an integer of three bytes",
         kPrinterGroup + valueBytes(0x21, "copies", std::string(3, '\0')) + kEnd},
        {"an enum of five bytes",
         kPrinterGroup + valueBytes(0x23, "printer-state", std::string(5, '\0')) + kEnd},
        {"a boolean of two bytes",
         kPrinterGroup + valueBytes(0x22, "color-supported", std::string(2, '\1')) + kEnd},
        {"a date of ten bytes",
         kPrinterGroup + valueBytes(0x31, "printer-current-time", std::string(10, '\0')) + kEnd},
        {"a resolution of eight bytes",
         kPrinterGroup + valueBytes(0x32, "printer-resolution-default", std::string(8, '\0')) +
             kEnd},
        {"a range of nine bytes",
         kPrinterGroup + valueBytes(0x33, "copies-supported", std::string(9, '\0')) + kEnd},
        {"a language longer than its value",
         kPrinterGroup + valueBytes(0x35, "printer-info", u16(40) + "en") + kEnd},
        {"a text longer than its value",
         kPrinterGroup + valueBytes(0x35, "printer-info", u16(2) + "en" + u16(9) + "abc") + kEnd},
        {"bytes after the text of a language value",
         kPrinterGroup + valueBytes(0x36, "printer-name", withLanguage("en", "a") + "z") + kEnd},
        {"a language value of one byte",
         kPrinterGroup + valueBytes(0x35, "printer-info", "e") + kEnd},
        {"a collection left open",
         kPrinterGroup + valueBytes(0x34, "media-col", "") + valueBytes(0x4A, "", "x") + kEnd},
        {"a nested collection left open", kPrinterGroup + valueBytes(0x34, "media-col", "") +
                                              valueBytes(0x34, "", "") + valueBytes(0x37, "", "") +
                                              kEnd},
        {"a group inside a collection", kPrinterGroup + valueBytes(0x34, "media-col", "") +
                                            kPrinterGroup + valueBytes(0x37, "", "") + kEnd},
        {"an end of collection outside one",
         kPrinterGroup + text + valueBytes(0x37, "", "") + kEnd},
        {"a member name outside a collection",
         kPrinterGroup + text + valueBytes(0x4A, "", "x") + kEnd},
        {"a named attribute inside a collection", kPrinterGroup +
                                                      valueBytes(0x34, "media-col", "") + text +
                                                      valueBytes(0x37, "", "") + kEnd},
        {"an end of collection with a value",
         kPrinterGroup + valueBytes(0x34, "media-col", "") + valueBytes(0x37, "", "x") + kEnd},
        {"the extended tag", kPrinterGroup + valueBytes(0x7F, "x", std::string(4, '\0')) + kEnd},
    };
    for (const Case& c : cases) {
        const ipp::Decoded d = ipp::decodeResponse(replyHeader(0, 1) + c.afterHeader);
        EXPECT_FALSE(d.response) << c.what;
        EXPECT_FALSE(d.error.empty()) << c.what;
    }
    // Shorter than a header.
    for (const std::string& bytes : {std::string(), std::string("\x01\x01\x00\x00\x00\x00\x00")})
        EXPECT_FALSE(ipp::decodeResponse(bytes).response) << bytes.size();
}

TEST(IppResponse, EmptyGroupsAndTrailingDataAreAccepted) {
    const std::string bytes = replyHeader(0, 3) + kOperationGroup + kPrinterGroup +
                              valueBytes(0x41, "printer-name", "p") + kEnd + "%!PS data";
    const ipp::Response r = decoded(ipp::decodeResponse(bytes));
    ASSERT_EQ(r.groups.size(), 2u);
    EXPECT_TRUE(r.groups[0].attributes.empty());
    EXPECT_EQ(ipp::textAttribute(r, "printer-name"), "p");
}

TEST(IppResponse, AnsweredTextIsOnlyThatOfASuccessfulReplyToTheQuestion) {
    const std::string name = "printer-make-and-model";
    const std::string attributes = kOperationGroup +
                                   valueBytes(0x47, "attributes-charset", "utf-8") + kPrinterGroup +
                                   valueBytes(0x41, name, "EPSON L3150") + kEnd;
    struct Case {
        const char* what;
        std::string reply;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"the answer", replyHeader(0x0000, 42) + attributes, "EPSON L3150"},
        {"success with ignored attributes", replyHeader(0x0001, 42) + attributes, "EPSON L3150"},
        {"another question's answer", replyHeader(0x0000, 41) + attributes, std::nullopt},
        {"a failure status", replyHeader(0x0400, 42) + attributes, std::nullopt},
        {"a reply cut short", (replyHeader(0x0000, 42) + attributes).substr(0, 30), std::nullopt},
        {"no reply at all", "", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ipp::answeredText(c.reply, 42, name), c.expected) << c.what;
}

}  // namespace
