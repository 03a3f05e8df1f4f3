#include "text/text.h"

#include <gtest/gtest.h>

#include "platform/error.h"

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
    EXPECT_EQ(text::toInteger16("010"), 10);
    EXPECT_EQ(text::toInteger16(" 255 "), 255);
    EXPECT_EQ(text::toInteger16("2.5"), 2);  // half to even
    EXPECT_EQ(text::toInteger16("3.5"), 4);
    EXPECT_DOUBLE_EQ(text::toNumber("1e2"), 100.0);
    for (const char* bad : {"", "ab", "1a", "0x10", "inf", "nan", "1\r\n2"}) {
        try {
            text::toNumber(bad);
            ADD_FAILURE() << "no error for \"" << bad << "\"";
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number(), 13) << bad;
            EXPECT_FALSE(e.call().has_value());
        }
    }
    try {
        text::toInteger16("40000");
        ADD_FAILURE() << "no overflow";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 6);
    }
}

TEST(Text, CodePointsRoundTrip) {
    std::string s = "許功蓋 €𝄞";
    EXPECT_EQ(text::fromCodePoints(text::toCodePoints(s)), s);
    std::string out;
    text::appendCodePoint(out, U'碁');
    EXPECT_EQ(out, "碁");
}

}  // namespace
