#include "platform/text_file.h"

#include <gtest/gtest.h>

#include "platform/sim/codepage.h"
#include "support/text_files.h"

namespace {

using namespace std::string_literals;

TEST(TextFile, DecodesAsTheSystemsReadersDo) {
    sim::SimCodepage cp950(950);
    struct Case {
        std::string bytes;
        std::string text;
    };
    const std::string mixed = "[型號]\r\n\"Model 𝄞\" = a; \x01\r\n";
    const Case cases[] = {
        {"", ""},
        {"\xFF", "\xEF\xBF\xBD"},
        {"\xFF\xFE", ""},
        {"\xEF\xBB\xBF", ""},
        {"\xB3\\\xA5\\ = \\", "許功 = \\"},
        {testing_support::utf8File(mixed), mixed},
        {testing_support::utf16File(mixed, true), mixed},
        {testing_support::utf16File(mixed, false), mixed},
        {testing_support::utf16File("ab", true) + "c", "ab"},  // an odd last byte
        {"\xFE\xFF\xD8\x34"s, "\xEF\xBF\xBD"},                 // a lone surrogate
        // Malformed UTF-8: each maximal bad part is one U+FFFD.
        {"\xEF\xBB\xBF"
         "a\xC0\xAF"
         "b\xED\xA0\x80"
         "c\xF4\x90\x80\x80"
         "d\xE5\x9E",
         "a\uFFFD\uFFFDb\uFFFD\uFFFD\uFFFDc\uFFFD\uFFFD\uFFFD\uFFFDd\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::decodeTextFile(c.bytes, cp950), c.text) << c.bytes;
        // In parts of any size the parts join to the same text, and every part but the last
        // ends after a character below U+0030.
        for (std::size_t size : {1, 2, 3, 7}) {
            std::vector<std::string> parts;
            platform::decodeTextFile(
                c.bytes, cp950, [&](std::string_view part) { parts.emplace_back(part); }, size);
            std::string joined;
            for (std::size_t i = 0; i < parts.size(); ++i) {
                joined += parts[i];
                if (i + 1 < parts.size()) {
                    ASSERT_FALSE(parts[i].empty());
                    EXPECT_LT(static_cast<unsigned char>(parts[i].back()), 0x30) << parts[i];
                }
            }
            EXPECT_EQ(joined, c.text) << "parts of " << size << ": " << c.bytes;
        }
    }
    EXPECT_EQ(platform::textEncoding("\xEF\xBB\xBF\xFF\xFE"), platform::TextEncoding::Utf8);
    EXPECT_EQ(platform::textEncoding("\xFE\xFF"), platform::TextEncoding::Utf16Be);
    EXPECT_EQ(platform::textEncoding("\xFE"), platform::TextEncoding::Ansi);
}

}  // namespace
