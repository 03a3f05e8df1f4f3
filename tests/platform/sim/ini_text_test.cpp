#include "platform/sim/ini_text.h"

#include <gtest/gtest.h>

#include "forms/fake_backend.h"
#include "support/text_files.h"

namespace {

using Names = std::vector<std::string>;
using namespace std::string_literals;

TEST(IniText, ListsNamesAsTheSystemsReaderDoes) {
    struct Case {
        std::string text;
        std::optional<std::string> section;
        Names names;
    };
    const Case cases[] = {
        // Section names: trimmed inside the brackets, a repeated header listed again, empty
        // names left out, the last "]" of the line closing the name.
        {"[ Version ]\r\n[Manufacturer] ; comment\n[型號]\n[]\n[ ]\n[version]",
         {},
         {"Version", "Manufacturer", "型號", "version"}},
        {"[A]B]\n[NoClose\n\x1A\t[Tab]\t\x1A", {}, {"A]B", "Tab"}},
        {"; [Commented]\nkey=[NotASection]\n", {}, {}},
        {"", {}, {}},
        // Keys: quotes kept, blanks around trimmed, only lines with "=".
        {"[M]\n  \"Model A\"  = a\n\"Model B\"=b\n\"[Model C]\" = c\n",
         "M",
         {"\"Model A\"", "\"Model B\"", "\"[Model C]\""}},
        {"[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n",
         "s",
         {"name1", "name2", "name4"}},
        {"[M]\n; c=1\n;c2\n  ;x = 2\nk=1\nk=2\n", "M", {"k", "k"}},
        {"[M]\rk1=1\rk2=2\r", "M", {"k1", "k2"}},
        {"[M]\n[NoClose=1\n", "M", {"[NoClose"}},
        // The first section of the name, found without regard to ASCII case; a later one of the
        // same name is not read.
        {"[Models]\nk1=1\n[Other]\nx=1\n[MODELS]\nk2=2\n", "mODELS", {"k1"}},
        {"k=1\n[M]\n", "M", {}},
        {"[M]\nk=1\n", "N", {}},
        {"[M]\nk=1\n", "", {}},
        {"[M]\nk=1\n", " M", {}},
        {"[型號]\n\"雷射印表機\"=x\n", "型號", {"\"雷射印表機\""}},
        // A name ends at a NUL; an empty key name ends the list the caller reads.
        {"[M]\na=1\n=2\nb=3\n", "M", {"a"}},
        {"[Mo\0dels]\na\0b=1\nc=2\n"s, "Mo", {"a", "c"}},
        {"[\0x]\n[Y]\n"s, {}, {"Y"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sim::iniNames(c.text, c.section), c.names)
            << c.text << " / " << c.section.value_or("(sections)");
    }
}

TEST(SimProfileApi, ReadsEachEncodingTheSystemReads) {
    testing_support::FormsHarness h;
    const std::string inf =
        "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%M%=型號\r\n"
        "[型號]\r\n\"雷射印表機 A\" = a\r\n\"Model B\"=b\r\n";
    sim::SimCodepage cp950(950);
    const std::pair<const char*, std::string> files[] = {
        {"CP950", cp950.encode(inf)},
        {"UTF-8", testing_support::utf8File(inf)},
        {"UTF-16 LE", testing_support::utf16File(inf, true)},
        {"UTF-16 BE", testing_support::utf16File(inf, false)},
    };
    for (const auto& [encoding, bytes] : files) {
        h.machine.createFile("x.inf").bytes = bytes;
        EXPECT_EQ(h.profileApi.names(".\\x.inf", std::nullopt),
                  (Names{"Version", "Manufacturer", "型號"}))
            << encoding;
        EXPECT_EQ(h.profileApi.names(".\\x.inf", std::string("型號")),
                  (Names{"\"雷射印表機 A\"", "\"Model B\""}))
            << encoding;
    }
    // UTF-8 without a byte-order mark is ANSI to the reader.
    h.machine.createFile("x.inf").bytes = "[型號]\r\n";
    EXPECT_NE(h.profileApi.names(".\\x.inf", std::nullopt), Names{"型號"});
    // A name the ANSI code page cannot hold comes back as the buffer holds it.
    h.machine.createFile("x.inf").bytes = testing_support::utf16File("[M]\r\n\"A 😀\"=a\r\n", true);
    EXPECT_EQ(h.profileApi.names(".\\x.inf", std::string("M")), Names{"\"A ?\""});
}

TEST(SimProfileApi, ListsEveryNameOfALargeInf) {
    testing_support::FormsHarness h;
    std::string inf;
    for (int s = 0; s < 47; ++s)
        inf += "[Section" + std::to_string(s) + "]\r\nk=v\r\n";
    inf += "[Models]\r\n";
    for (int m = 0; m < 285; ++m)
        inf += "\"Maker Model " + std::to_string(m) + "\" = Install\r\n";
    h.machine.createFile("big.inf").bytes = testing_support::utf16File(inf, true);
    EXPECT_EQ(h.profileApi.names(".\\big.inf", std::nullopt).size(), 48u);
    Names models = h.profileApi.names(".\\big.inf", std::string("Models"));
    ASSERT_EQ(models.size(), 285u);
    EXPECT_EQ(models.back(), "\"Maker Model 284\"");
}

}  // namespace
