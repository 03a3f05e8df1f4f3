#include "profile/profile_line.h"

#include <gtest/gtest.h>

#include "platform/sim/codepage.h"
#include "profile/profile_store.h"

namespace {

using profile::Separator;

TEST(ProfileLine, DefaultLineIsExactInCodePage950) {
    std::string line = profile::formatLine(profile::defaultProfile());
    EXPECT_EQ(line, "ip,192.168.0.250,請填入印表機名稱,請填入印表機模組名稱,請填入INF檔名,100\r\n");
    sim::SimCodepage cp950(950);
    std::string bytes = cp950.encode(line);
    // "請" is BD D0 in Big5; the line ends CR LF and holds no "?" from a failed mapping.
    EXPECT_EQ(bytes.substr(17, 2), "\xBD\xD0");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(bytes.find('?'), std::string::npos);
    EXPECT_EQ(cp950.decode(bytes), line);
}

TEST(ProfileLine, SeparatorOnlyForLinesStartingWithIpBackslash) {
    struct Case {
        const char* line;
        Separator expected;
    };
    const Case cases[] = {
        {"ip\\10.0.0.7\\Office\\M\\x.inf\\100", Separator::Backslash},
        {"ip,10.0.0.7,Office,M,x.inf,100", Separator::Comma},
        // A network path whose host ends in "ip" does not make the line split at backslashes.
        {"ip,\\\\printip\\queue,Office,M,x.inf,100", Separator::Comma},
        {"ip,\\\\srv\\hp,Office,M,x.inf,100", Separator::Comma},
        {"IP\\a\\b", Separator::Comma},
        {"", Separator::Comma},
    };
    for (const Case& c : cases)
        EXPECT_EQ(profile::chooseSeparator(c.line), c.expected) << c.line;
}

TEST(ProfileLine, FieldsAreVerbatimAndShortLinesReadEmpty) {
    auto read = [](const std::string& line) {
        return profile::fromParts(profile::splitLine(line, profile::chooseSeparator(line)));
    };
    profile::InstallProfile p = read("ip, 10.0.0.7 , Office ,M,x.inf,101");
    EXPECT_EQ(p.printerAddress, " 10.0.0.7 ");
    EXPECT_EQ(p.printerName, " Office ");
    EXPECT_TRUE(p.setAsDefault());
    EXPECT_FALSE(p.applyPreferenceFile());
    EXPECT_TRUE(p.twoPrinters());

    profile::InstallProfile backslash = read("ip\\10.0.0.7\\Office\\M\\x.inf\\011");
    profile::InstallProfile comma = read("ip,10.0.0.7,Office,M,x.inf,011");
    EXPECT_EQ(backslash, comma);

    profile::InstallProfile shortLine = read("ip,10.0.0.7");
    EXPECT_EQ(shortLine.printerName, "");
    EXPECT_EQ(shortLine.optionFlags, "");
    EXPECT_FALSE(shortLine.twoPrinters());
    EXPECT_EQ(read("").printerAddress, "");

    // Missing flag characters read as "0"; other characters are not "1".
    EXPECT_EQ(profile::flagCharacter("1", 3), "0");
    EXPECT_EQ(profile::flagCharacter("10x", 3), "x");
    EXPECT_FALSE(read("ip,a,b,c,d,11").twoPrinters());
}

TEST(ProfileLine, ALineToInstallFromHasSixCleanFields) {
    struct Case {
        std::string line;
        const char* damage;  // a part of what is said, or nullptr for a whole profile
    };
    const Case cases[] = {
        {"ip,10.0.0.7,Office,M,x.inf,100", nullptr},
        {"ip,10.0.0.7,Office,M,x.inf,100,,", nullptr},  // trailing separators hold nothing
        {"ip,10.0.0.7,Office,M,x.inf,", nullptr},       // empty flags read as "000"
        {"ip\\10.0.0.7\\Office\\M\\x.inf\\100", nullptr},
        {"ip,10.0.0.7,Office,M,x.inf", "卻有 5 個"},
        {"ip,10.0.0.7,Office,M,x.inf,100,x", "卻有 7 個"},
        {"ip,10.0.0.7,Off,ice,M,x.inf,100", "卻有 7 個"},
        {"ip,10.0.0.7,Of\tfice,M,x.inf,100", "「印表機名稱」含有控制字元"},
        {"ip,10.0.0.7,Office\x7f,M,x.inf,100", "「印表機名稱」含有控制字元"},
        {"ip,10.0.0.7,Office,M,x.inf,1\x1f", "控制字元"},
        // A C1 control (U+0085, NEL) ends a line for some readers, as a line break does.
        {"ip,10.0.0.7,Office,M\xc2\x85,x.inf,100", "「印表機模組」含有控制字元"},
        {std::string("ip,10.0.0.7\0,Office,M,x.inf,100", 31), "「印表機IP」含有控制字元"},
        {"ip,10.0.0.7,Office,M\xef\xbf\xbd,x.inf,100", "無法辨識的字元"},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> damage =
            profile::damageOf(profile::splitLine(c.line, profile::chooseSeparator(c.line)));
        if (c.damage == nullptr) {
            EXPECT_FALSE(damage) << c.line << ": " << damage.value_or("");
        } else {
            ASSERT_TRUE(damage) << c.line;
            EXPECT_NE(damage->find(c.damage), std::string::npos) << c.line << ": " << *damage;
        }
    }
}

TEST(ProfileLine, WritingReadsBackAndAlwaysUsesTheCommaForm) {
    profile::InstallProfile p{"ip", "\\\\srv\\hp", " 彩色 印表機 ", "M X", "a b.inf", "010"};
    std::string line = profile::formatLine(p);
    EXPECT_EQ(line, "ip,\\\\srv\\hp, 彩色 印表機 ,M X,a b.inf,010\r\n");
    std::string first = profile::firstLine(line);
    EXPECT_EQ(profile::fromParts(profile::splitLine(first, profile::chooseSeparator(first))), p);

    profile::InstallProfile fromBackslash{"ip", "10.0.0.7", "Office", "M", "x.inf", "100"};
    EXPECT_EQ(profile::formatLine(fromBackslash), "ip,10.0.0.7,Office,M,x.inf,100\r\n");
}

TEST(ProfileLine, FirstLineEndsAtAnyLineBreak) {
    EXPECT_EQ(profile::firstLine("a,b\r\nsecond\r\n"), "a,b");
    EXPECT_EQ(profile::firstLine("a,b\nsecond"), "a,b");
    EXPECT_EQ(profile::firstLine("only"), "only");
    EXPECT_EQ(profile::firstLine(""), "");
}

TEST(ProfileLine, ByteOrderMarkMeansUtf8) {
    sim::SimCodepage cp950(950);
    std::string utf8 = "\xEF\xBB\xBFip,10.0.0.7,辦公室,M,x.inf,100\r\n";
    EXPECT_EQ(profile::decodeProfileBytes(utf8, cp950), "ip,10.0.0.7,辦公室,M,x.inf,100\r\n");
    std::string ansi = cp950.encode("ip,10.0.0.7,辦公室,M,x.inf,100\r\n");
    EXPECT_EQ(profile::decodeProfileBytes(ansi, cp950), "ip,10.0.0.7,辦公室,M,x.inf,100\r\n");
}

}  // namespace
