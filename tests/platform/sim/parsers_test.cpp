#include <gtest/gtest.h>

#include "platform/sim/base64.h"
#include "platform/sim/machine.h"
#include "platform/sim/services.h"
#include "platform/sim/wql.h"

namespace {

// The simulated machine runs the program the real launcher would start (command::programPath).
TEST(CommandLine, TheProgramARunStartsIsReadAsTheRealLauncherReadsIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Windows\\System32\\REG.EXE add x", "reg"},
        {"\"Velmora.exe\"", "velmora"},
        {"\"D:\\二樓 Office\\安裝.exe\" /x", "安裝"},
        {"\"C:\\dir\\\"devcon.exe rescan", ""},  // the name ends at the quote
        {"  control printers", "control"},
        {"\"reg \" add", "reg"},
        {"devcon\tupdate", "devcon"},
        {"", ""},
    };
    for (const auto& [line, program] : cases)
        EXPECT_EQ(sim::programOf(line), program) << line;
}

TEST(Wql, ReadsTheQueriesTheProgramMakes) {
    auto q = sim::parseWql("Select * from Win32_NetworkAdapterConfiguration where IPEnabled=TRUE");
    ASSERT_TRUE(q);
    EXPECT_EQ(q->className, "Win32_NetworkAdapterConfiguration");
    ASSERT_EQ(q->conditions.size(), 1u);
    EXPECT_EQ(q->conditions[0].value, "TRUE");
    EXPECT_FALSE(q->conditions[0].quoted);

    auto d = sim::parseWql("Select * From Win32_Printer Where DeviceID = 'Front\\\\Desk \\'A\\''");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->conditions[0].value, "Front\\Desk 'A'");

    auto both =
        sim::parseWql("select * from Win32_Service where Name='Spooler' and State = \"Running\"");
    ASSERT_TRUE(both);
    EXPECT_EQ(both->conditions.size(), 2u);

    for (const char* bad :
         {"", "select Name from X", "select * from", "select * from X where",
          "select * from X where A='b", "select * from X where A='b'c'", "delete * from X"}) {
        EXPECT_FALSE(sim::parseWql(bad)) << bad;
    }
    auto path = sim::parseObjectPath("Win32_Service.Name='spooler'");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->className, "Win32_Service");
    EXPECT_EQ(path->conditions[0].value, "spooler");
    EXPECT_TRUE(sim::parseObjectPath("Win32_TCPIPPrinterPort"));
    EXPECT_FALSE(sim::parseObjectPath("Win32_Service.Name="));
}

TEST(Base64, RoundTripsEveryLengthAndRefusesGarbage) {
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    for (std::size_t n = 0; n < 8; ++n) {
        std::string s = all.substr(250 - n, n);
        EXPECT_EQ(sim::base64Decode(sim::base64Encode(s)), s) << n;
    }
    EXPECT_EQ(sim::base64Encode("//5b"), "Ly81Yg==");
    EXPECT_EQ(sim::base64Decode("//5bAFYA"), std::string("\xff\xfe[\0V\0", 6));
    EXPECT_FALSE(sim::base64Decode("ab$c"));
    EXPECT_FALSE(sim::base64Decode("ab=c"));
}

TEST(Wildcards, MatchAsTheFileListDoes) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    for (Case c : {Case{"*.inf", "KOAZXL__.inf", true}, Case{"*.inf", "a.INF", true},
                   Case{"*.inf", "a.inf.bak", false}, Case{"*.inf", ".inf", true},
                   Case{"?.dat", "a.dat", true}, Case{"?.dat", "ab.dat", false},
                   Case{"*", "安裝.exe", true}, Case{"安裝_*.exe", "安裝_1_2.exe", true}}) {
        EXPECT_EQ(sim::wildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
    }
}

}  // namespace
