#include "maker/model_scan.h"

#include <gtest/gtest.h>

#include "platform/sim/codepage.h"
#include "support/text_files.h"

namespace {

using Models = std::vector<std::string>;
using testing_support::utf16File;
using testing_support::utf8File;

const sim::SimCodepage& cp950() {
    static const sim::SimCodepage codepage(950);
    return codepage;
}

TEST(ModelScan, AppliesEachRuleInEveryEncodingAcrossEveryPartEnd) {
    struct Case {
        std::string text;
        Models models;
    };
    std::vector<Case> cases = {
        {"", {}},
        {"\"12345678\"", {"12345678"}},
        {"\"1234567\"", {}},
        {"\"印表機型號一二三\"", {"印表機型號一二三"}},  // 8 characters, 24 bytes
        {"\"印表機型號一二\"", {}},
        {"\"Setup CD-ROM disc\" \"Maker Driver Disk 1\"", {}},
        {"\"setup cd-rom disc\" \"Maker driver disk 1\"",
         {"setup cd-rom disc", "Maker driver disk 1"}},
        {"\"Generic 36C-1SeriesPCL\" = x\r\n[Strings]\r\nA = \"Generic 36C-1SeriesPCL\"",
         {"Generic 36C-1SeriesPCL"}},
        {"\"Model B 200\" \"Model A 100\" \"Model B 200\"", {"Model B 200", "Model A 100"}},
        // Text outside quotes is a piece like any other.
        {"\"Model One 100\"\r\n; a comment line\r\n\"Model Two 200\"",
         {"Model One 100", "\r\n; a comment line\r\n", "Model Two 200"}},
        {"plain words and no quote", {"plain words and no quote"}},
        {"\"Unclosed model name", {"Unclosed model name"}},
        {"\"\"\"\"Model 𝄞 Deluxe\"", {"Model 𝄞 Deluxe"}},
    };
    for (char excluded : std::string("=$,[%\\"))
        cases.push_back({"\"Model " + std::string(1, excluded) + " 12345\"", {}});

    for (const Case& c : cases) {
        std::vector<std::pair<const char*, std::string>> files = {
            {"UTF-8", utf8File(c.text)},
            {"UTF-16 LE", utf16File(c.text, true)},
            {"UTF-16 BE", utf16File(c.text, false)},
        };
        if (cp950().firstUnstorable(c.text).empty())
            files.emplace_back("CP950", cp950().encode(c.text));
        for (const auto& [encoding, bytes] : files) {
            EXPECT_EQ(maker::scanModels(bytes, cp950()), c.models) << encoding << ": " << c.text;
            for (std::size_t part : {1, 2, 5})
                EXPECT_EQ(maker::scanModels(bytes, cp950(), part), c.models)
                    << encoding << ", parts of " << part << ": " << c.text;
        }
    }
}

TEST(ModelScan, RulesApplyToTheDecodedTextNotTheBytes) {
    // In Big5 the second byte of 許, 功 and 蓋 is the byte of "\".
    const std::string bytes = cp950().encode("\"許功蓋印表機型號\"");
    ASSERT_NE(bytes.find('\\'), std::string::npos);
    EXPECT_EQ(maker::scanModels(bytes, cp950()), Models{"許功蓋印表機型號"});
    // A lead byte without its second byte does not take the quote after it.
    EXPECT_EQ(maker::scanModels("\"AB\xB3\"Model Name 12\"", cp950()), Models{"Model Name 12"});
    // UTF-8 without a byte-order mark is read in the code page, as the system reads it.
    EXPECT_NE(maker::scanModels("\"印表機型號一二三\"", cp950()), Models{"印表機型號一二三"});
}

TEST(ModelScan, ListsOnlyTheModelsOfARealShapedInf) {
    const std::string inf =
        "; 印表機驅動程式 (synthetic)\r\n"
        "[Version]\r\n"
        "Signature=\"$Windows NT$\"\r\n"
        "Class=Printer\r\n"
        "Provider=%Maker%\r\n"
        "CatalogFile=velmora.cat\r\n"
        "\r\n"
        "[Manufacturer]\r\n"
        "%Maker%=Models,NTamd64\r\n"
        "\r\n"
        "[Models.NTamd64]\r\n"
        "\"Maker Laser 5000 PCL6\" = Install_5000, USBPRINT\\Maker5000ABCD\r\n"
        "\"Maker 彩色雷射 6000\" = Install_6000, USBPRINT\\Maker6000ABCD\r\n"
        "\"PCL6\" = Install_Short\r\n"
        "\r\n"
        "[SourceDisksNames]\r\n"
        "1 = %Disk1%,,,\"\\x64\"\r\n"
        "\r\n"
        "[Strings]\r\n"
        "Maker = \"Maker\"\r\n"
        "Disk1 = \"Maker Driver Disk 1\"\r\n"
        "Disk2 = \"Maker Setup CD-ROM\"\r\n"
        "DriverPath = \"C:\\Drivers\\Maker\"\r\n"
        "Model5000 = \"Maker Laser 5000 PCL6\"\r\n";
    const Models expected = {"Maker Laser 5000 PCL6", "Maker 彩色雷射 6000"};
    EXPECT_EQ(maker::scanModels(utf16File(inf, true), cp950()), expected);
    EXPECT_EQ(maker::scanModels(cp950().encode(inf), cp950()), expected);
}

TEST(ModelScan, APieceLongerThanADecodedPartIsJudgedWhole) {
    std::string words;
    while (words.size() < 200'000)
        words += "Maker word ";
    struct Case {
        std::string text;
        Models models;
    };
    const Case cases[] = {
        {"\"" + words + "\"", {words}},
        {"\"" + words + "= x\" \"Maker Laser 5000\"", {"Maker Laser 5000"}},
        {"\"" + words + "CD-ROM\"", {}},
        {"\"x\"" + words, {words}},  // the last piece, after the last quote
    };
    for (const Case& c : cases) {
        EXPECT_EQ(maker::scanModels(c.text, cp950()), c.models);
        EXPECT_EQ(maker::scanModels(utf16File(c.text, false), cp950()), c.models);
    }
}

}  // namespace
