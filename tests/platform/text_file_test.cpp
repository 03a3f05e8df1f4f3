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

// Each kind of lead byte at the edges of the second byte's range: the well-formed sequences
// stay, an overlong form, a surrogate, a code point past U+10FFFF and a byte that starts nothing
// become one U+FFFD per byte, a sequence cut short one U+FFFD in all.
TEST(TextFile, Utf8KeepsExactlyTheWellFormedSequences) {
    sim::SimCodepage cp950(950);
    const std::string bad = "\uFFFD";
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"\xC2\x80", "\xC2\x80"},
        {"\xDF\xBF", "\xDF\xBF"},
        {"\xC1\xBF", bad + bad},  // overlong
        {"\xE0\xA0\x80", "\xE0\xA0\x80"},
        {"\xE0\x9F\xBF", bad + bad + bad},  // overlong
        {"\xE1\x80\x80", "\xE1\x80\x80"},
        {"\xEC\xBF\xBF", "\xEC\xBF\xBF"},
        {"\xED\x9F\xBF", "\xED\x9F\xBF"},
        {"\xED\xA0\x80", bad + bad + bad},  // a surrogate
        {"\xEE\x80\x80", "\xEE\x80\x80"},
        {"\xEF\xBF\xBF", "\xEF\xBF\xBF"},
        {"\xF0\x90\x80\x80", "\xF0\x90\x80\x80"},
        {"\xF0\x8F\xBF\xBF", bad + bad + bad + bad},  // overlong
        {"\xF1\x80\x80\x80", "\xF1\x80\x80\x80"},
        {"\xF3\xBF\xBF\xBF", "\xF3\xBF\xBF\xBF"},
        {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
        {"\xF4\x90\x80\x80", bad + bad + bad + bad},  // past U+10FFFF
        {"\xF5\x80\x80\x80", bad + bad + bad + bad},
        {"\xF0\x90\x80"
         "a",
         bad + "a"},
        {"\xE1\x80"
         "A",
         bad + "A"},
        {"\xE1\xC0\x80", bad + bad + bad},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::decodeTextFile("\xEF\xBB\xBF" + c.bytes, cp950), c.text) << c.bytes;
}

}  // namespace
