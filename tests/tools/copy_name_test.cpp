// The copy name, what the copy window lets into it, and the engine's reading of it back.

#include "tools/copy_name.h"

#include <gtest/gtest.h>

#include <random>

#include "command/install_lines.h"
#include "command/program_location.h"
#include "platform/sim/codepage.h"
#include "profile/copy_name_parts.h"

namespace {

using tools::copyName;
using tools::CopyPieces;
using tools::refusedPiece;

const sim::SimCodepage& cp950() {
    static const sim::SimCodepage codepage(950);
    return codepage;
}

TEST(CopyName, JoinsThePiecesAsTypedAndTheEngineReadsThemBack) {
    struct Case {
        CopyPieces pieces;
        const char* name;
    };
    const Case cases[] = {
        {{"安裝", "10.0.0.7", "Office"}, "安裝_10.0.0.7_Office.exe"},
        {{"w", "", ""}, "w__.exe"},
        {{"安裝", "10.0.0.7", "HP_Laser"}, "安裝_10.0.0.7_HP_Laser.exe"},
        {{" 3F ", "10.0.0.7", " 大廳 印表機 "}, " 3F _10.0.0.7_ 大廳 印表機 .exe"},
        {{"a.b", "", "Old.EXE"}, "a.b__Old.EXE.exe"},
        {{"大廳", "192.168.1.20", ""}, "大廳_192.168.1.20_.exe"},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(refusedPiece(c.pieces, cp950())) << c.name;
        const std::string name = copyName(c.pieces);
        EXPECT_EQ(name, c.name);
        const profile::NameParts parts = profile::namePartsOf(name);
        EXPECT_EQ(parts.at(1), c.pieces.address) << name;
        EXPECT_EQ(parts.at(2), c.pieces.printerName) << name;
    }
}

TEST(CopyName, RefusesWhatAFileNameOrTheEnginesReadingCannotTake) {
    struct Case {
        CopyPieces pieces;
        const char* says;  // part of the message; empty when the pieces are accepted
    };
    const Case cases[] = {
        {{"a\\b", "", ""}, "「自訂名稱」不可包含「\\」"},
        {{"a/b", "", ""}, "「自訂名稱」不可包含「/」"},
        {{"", "fe80::1", ""}, "「IP位址」不可包含「:」"},
        {{"", "", "Laser*"}, "「印表機名稱」不可包含「*」"},
        {{"", "", "Laser?"}, "「印表機名稱」不可包含「?」"},
        {{"", "", "say \"hi\""}, "「印表機名稱」不可包含「\"」"},
        {{"<x>", "", ""}, "「自訂名稱」不可包含「<」"},
        {{"", "", "a>b"}, "「印表機名稱」不可包含「>」"},
        {{"", "", "a|b"}, "「印表機名稱」不可包含「|」"},
        {{"", "", "a\tb"}, "「印表機名稱」不可包含控制字元（U+0009）"},
        {{"a\nb", "", ""}, "「自訂名稱」不可包含控制字元（U+000A）"},
        {{"", "", "a\x7f"}, "「印表機名稱」不可包含控制字元（U+007F）"},
        {{"", "", "a\u0085"}, "「印表機名稱」不可包含控制字元（U+0085）"},
        // The engine would read "East" as the address.
        {{"3F_East", "10.0.0.7", "P"}, "「自訂名稱」不可包含底線「_」"},
        {{"", "10.0.0.7_x", "P"}, "「IP位址」不可包含底線「_」"},
        {{"w", "", "HP_Laser_2"}, ""},
        // A word must be there; a name, when given, must be one the package maker would store.
        {{"", "10.0.0.7", "P"}, "「自訂名稱」不可空白。"},
        {{"\u3000 ", "10.0.0.7", "P"}, "「自訂名稱」不可空白。"},
        {{"w", "10.0.0.7", "   "}, "「印表機名稱」不可空白。"},
        {{"w", "10.0.0.7", "HP,Color"}, "「印表機名稱」不可包含逗號「,」。"},
        {{"w", "10.0.0.7", "Café"}, "「印表機名稱」的字元「é」無法以系統字碼頁 950 儲存"},
        {{"w", "10.0.0.7", ""}, ""},
        {{"", "10.0.0", ""}, "「IP位址」的「10.0.0」不是正確的 IP 位址"},
        {{"", "256.1.1.1", ""}, "「IP位址」的「256.1.1.1」不是正確的 IP 位址"},
        {{"", "10.0.0.9 ", ""}, "不是正確的 IP 位址"},
        {{"", "ip", ""}, "「IP位址」的「ip」不是正確的 IP 位址"},
        // The first box is told first.
        {{"a:b", "x", "c*"}, "「自訂名稱」不可包含「:」"},
        {{"ok", "bad", "c*"}, "「印表機名稱」不可包含「*」"},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> refused = refusedPiece(c.pieces, cp950());
        if (std::string(c.says).empty()) {
            EXPECT_FALSE(refused) << *refused;
            continue;
        }
        ASSERT_TRUE(refused) << c.says;
        EXPECT_NE(refused->find(c.says), std::string::npos) << *refused;
    }
}

// Generated pieces: every name the window accepts reads back as the same address and printer
// name, and starts as a program of the package folder by its bare quoted name.
TEST(CopyName, EveryAcceptedNameRoundTripsThroughTheEngineAndStartsFromThePackage) {
    const std::vector<std::string> alphabet = {"a",  "Z",  "0",  "7",  ".",   "-",   " ",  "大",
                                               "廳", "印", "表", "機", "_",   "é",   "😀",  ":",
                                               "\"", "*",  "\t", "(",  ")",   "&",   "%",  "^",
                                               "'",  "!",  "\\", "/",  "exe", "EXE", "許", "功"};
    std::mt19937 random(20261208);
    auto piece = [&](std::size_t maxLength) {
        std::string s;
        const std::size_t n = random() % (maxLength + 1);
        for (std::size_t i = 0; i < n; ++i)
            s += alphabet[random() % alphabet.size()];
        return s;
    };
    auto address = [&]() -> std::string {
        switch (random() % 4) {
            case 0:
                return "";
            case 1:
                return piece(6);
            default:
                return std::to_string(random() % 300) + "." + std::to_string(random() % 256) + "." +
                       std::to_string(random() % 256) + "." + std::to_string(random() % 256);
        }
    };
    const command::Folders folders{"C:\\Windows\\system32", "C:\\Windows", "D:\\套件"};
    int accepted = 0;
    int refused = 0;
    for (int i = 0; i < 5000; ++i) {
        const CopyPieces pieces{piece(4), address(), piece(8)};
        if (auto why = refusedPiece(pieces, cp950())) {
            ++refused;
            EXPECT_TRUE(why->starts_with("「自訂名稱」") || why->starts_with("「IP位址」") ||
                        why->starts_with("「印表機名稱」"))
                << *why;
            continue;
        }
        ++accepted;
        const std::string name = copyName(pieces);
        const profile::NameParts parts = profile::namePartsOf(name);
        ASSERT_EQ(parts.parts.size(), 3u) << name;
        EXPECT_EQ(parts.parts[0], pieces.customWord) << name;
        EXPECT_EQ(parts.parts[1], pieces.address) << name;
        EXPECT_EQ(parts.parts[2], pieces.printerName) << name;
        EXPECT_EQ(command::programPath("\"" + name + "\"", folders), "D:\\套件\\" + name) << name;
    }
    // Both sides were exercised, or the properties above said nothing.
    EXPECT_GT(accepted, 500);
    EXPECT_GT(refused, 500);
}

}  // namespace
