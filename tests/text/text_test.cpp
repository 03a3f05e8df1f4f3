#include "text/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>

#include "platform/error.h"
#include "platform/number.h"

namespace {

TEST(Text, CountsCharactersNotBytes) {
    EXPECT_EQ(text::length("100"), 3u);
    EXPECT_EQ(text::length("請填入"), 3u);
    EXPECT_EQ(text::length(""), 0u);
    EXPECT_EQ(text::charAt("安裝_1", 2), "_");
    EXPECT_EQ(text::charAt("安裝", 5), "");
    EXPECT_EQ(text::chars("印表機名稱", 1, 2), "表機");
    EXPECT_EQ(text::chars("abc", 2), "c");
    // A stray continuation byte counts as one character and is kept whole.
    EXPECT_EQ(text::length("a\x80"
                           "b"),
              3u);
}

TEST(Text, SplitKeepsEveryPart) {
    struct Case {
        const char* input;
        const char* sep;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {"ip,1,2", ",", {"ip", "1", "2"}},
        {"a,,b", ",", {"a", "", "b"}},
        {"a,", ",", {"a", ""}},
        {"", ",", {""}},
        {",", ",", {"", ""}},
        {"ip\\a\\b", "\\", {"ip", "a", "b"}},
        {"安裝_10.0.0.7_HP_Laser", "_", {"安裝", "10.0.0.7", "HP", "Laser"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text::split(c.input, c.sep), c.parts) << c.input;
}

TEST(Text, NumbersConvertOrRaiseTypeMismatch) {
    EXPECT_EQ(platform::toInteger16("010"), 10);
    EXPECT_EQ(platform::toInteger16(" 255 "), 255);
    EXPECT_EQ(platform::toInteger16("2.5"), 2);  // half to even
    EXPECT_EQ(platform::toInteger16("3.5"), 4);
    const std::pair<const char*, double> numbers[] = {
        {"1e2", 100.0}, {"+7", 7.0},  {"-1.5E1", -15.0}, {" .5 ", 0.5},
        {"5.", 5.0},    {"-0", -0.0}, {"1e-2", 0.01},    {"007", 7.0},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_DOUBLE_EQ(platform::toNumber(text), value) << text;
    for (const char* bad : {"", "ab", "1a", "0x10", "inf", "nan", "1\r\n2", "+-1", "--1", "+", "1e",
                            "1.2.3", "1e+", "- 1"}) {
        try {
            platform::toNumber(bad);
            ADD_FAILURE() << "no error for \"" << bad << "\"";
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number(), 13) << bad;
            EXPECT_FALSE(e.call().has_value());
        }
    }
    for (const char* big : {"40000", "1e999", "-1e999"}) {
        try {
            platform::toInteger16(big);
            ADD_FAILURE() << "no overflow for " << big;
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number(), 6) << big;
        }
    }
}

TEST(Text, ControlCharactersAreC0DelAndC1) {
    const std::pair<char32_t, bool> cases[] = {
        {U'\0', true},   {U'\t', true},    {U'\x1F', true}, {U' ', false},
        {U'~', false},   {U'\x7F', true},  {U'\x80', true}, {U'\x85', true},
        {U'\x9F', true}, {U'\xA0', false}, {U'中', false},  {U'\u2028', false},
    };
    for (const auto& [c, control] : cases)
        EXPECT_EQ(text::isControl(c), control) << static_cast<unsigned>(c);
    EXPECT_TRUE(text::hasControl("a\u0085b"));
    EXPECT_FALSE(text::hasControl("印表機 A"));
}

TEST(Text, CodePointsRoundTrip) {
    std::string s = "許功蓋 €𝄞";
    EXPECT_EQ(text::fromCodePoints(text::toCodePoints(s)), s);
    std::string out;
    text::appendCodePoint(out, U'碁');
    EXPECT_EQ(out, "碁");
}

// The compiler's own UTF-16 (u"...") is the reference the conversions are held to.
TEST(Text, Utf16ConvertsBothWays) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"", u""},       {"ip,10.0.0.7", u"ip,10.0.0.7"}, {"印表機", u"印表機"},
        {"𝄞a😀", u"𝄞a😀"}, {"\xEF\xBF\xBF", u"\uFFFF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text::toUtf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(text::fromUtf16(c.utf16), c.utf8) << c.utf8;
    }
    // What is no character in one form becomes U+FFFD in the other.
    const std::u16string lone[] = {{0xD834}, {0xDD1E, 0xD834}, {u'a', 0xDC00, u'b'}};
    const char* loneText[] = {"\uFFFD", "\uFFFD\uFFFD", "a\uFFFDb"};
    for (std::size_t i = 0; i < std::size(lone); ++i)
        EXPECT_EQ(text::fromUtf16(lone[i]), loneText[i]) << i;
    EXPECT_EQ(text::toUtf16("a\xFF"), u"a\uFFFD");
    EXPECT_EQ(text::utf16Of(0xD800), u"\uFFFD");
    EXPECT_EQ(text::utf16Of(0x110000), u"\uFFFD");
    EXPECT_EQ(text::utf16Of(0x10FFFF), u"\U0010FFFF");
}

// An edit control's caret counts UTF-16 units; the model counts characters.
TEST(Text, Utf16PositionsMapToCharacters) {
    const std::u16string text = u"a𝄞印😀";  // units: a, pair, 印, pair
    struct Case {
        std::size_t units;
        std::size_t chars;
    };
    const Case toChars[] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {4, 3}, {5, 4}, {6, 4}, {99, 4}};
    for (const Case& c : toChars)
        EXPECT_EQ(text::utf16UnitsToChars(text, c.units), c.chars) << c.units;
    const Case toUnits[] = {{0, 0}, {1, 1}, {3, 2}, {4, 3}, {6, 4}, {6, 99}};
    for (const Case& c : toUnits)
        EXPECT_EQ(text::charsToUtf16Units(text, c.chars), c.units) << c.chars;
    // Every character position survives the trip to units and back, lone halves included.
    const std::u16string broken = {0xDC00, u'x', 0xD800, 0xD800, 0xDC00, 0xD800};
    for (std::size_t chars = 0; chars <= 5; ++chars) {
        EXPECT_EQ(text::utf16UnitsToChars(broken, text::charsToUtf16Units(broken, chars)),
                  std::min<std::size_t>(chars, 5))
            << chars;
    }
    EXPECT_EQ(text::utf16UnitsToChars(broken, broken.size()), 5u);
}

TEST(Text, Utf16FilesDecodeAfterTheirMark) {
    struct Case {
        std::string bytes;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {std::string("\xFF\xFE"
                     "a\0\x34\xD8\x1E\xDD",
                     8),
         "a𝄞"},
        {std::string("\xFE\xFF\0a\xD8\x34\xDD\x1E", 8), "a𝄞"},
        {std::string("\xFF\xFE\x34\xD8"
                     "a\0",
                     6),
         "\uFFFD"
         "a"},  // a lone first half
        {std::string("\xFF\xFE"
                     "a\0b",
                     5),
         "a"},  // an odd last byte
        {"ab", std::nullopt},
        {"\xFF", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text::fromUtf16WithBom(c.bytes), c.text) << c.bytes;
}

}  // namespace
