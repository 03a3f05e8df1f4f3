// The direct installs' command lines and the program folder, as pure values; the records are
// checked where the machine receives them (the scenario tests).

#include "tools/direct_install.h"

#include <gtest/gtest.h>

#include "command/quote.h"

namespace {

TEST(DirectInstall, ProgramFolderKeepsOnlyARootsBackslash) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:", "C:\\"},
        {"C:\\", "C:\\"},
        {"C:\\Package", "C:\\Package"},
        {"C:\\Package\\", "C:\\Package"},
        {"\\\\srv\\share\\安裝", "\\\\srv\\share\\安裝"},
    };
    for (const auto& [exeFolder, want] : cases)
        EXPECT_EQ(tools::programFolder(exeFolder), want) << exeFolder;
    EXPECT_EQ(tools::pathLine("D:\\"), "本程式的路徑為：D:\\");
}

TEST(DirectInstall, CommandsQuoteEachTextForTheCommandInterpreter) {
    struct Case {
        const char* what;
        std::string printer, inf, port, model;
        std::string install;
    };
    const Case cases[] = {
        {"plain", "Office", "x.inf", "IP_10.0.0.7", "Model X",
         "rundll32 printui.dll,PrintUIEntry /if /b \"Office\" /f x.inf /r IP_10.0.0.7 /m "
         "\"Model X\""},
        // What cmd splits or acts on outside quotes goes between quotes.
        {"INF with a blank and an ampersand", "A&B", "my x&y.inf", "IP_\\\\srv\\hp", "M|N",
         "rundll32 printui.dll,PrintUIEntry /if /b \"A&B\" /f \"my x&y.inf\" /r IP_\\\\srv\\hp "
         "/m \"M|N\""},
        {"path with parentheses", "P", "x.inf", "IP_\\\\srv\\hp (2)", "M",
         "rundll32 printui.dll,PrintUIEntry /if /b \"P\" /f x.inf /r \"IP_\\\\srv\\hp (2)\" /m "
         "\"M\""},
        {"name ending in a backslash", "P\\", "x.inf", "IP_1", "M",
         "rundll32 printui.dll,PrintUIEntry /if /b \"P\\\\\" /f x.inf /r IP_1 /m \"M\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tools::directInstallCommand(c.printer, c.inf, c.port, c.model), c.install)
            << c.what;
    EXPECT_EQ(tools::directPreferenceCommand("INSTALL", "Office_彩色", "color.dat"),
              "INSTALL /Sr  /n \"Office_彩色\" /a color.dat d g u ");
    EXPECT_EQ(tools::directDefaultCommand("Office"),
              "rundll32 printui.dll,PrintUIEntry /y /n \"Office\"");
    EXPECT_THROW(tools::directDefaultCommand("100%"), command::RefusedArgument);
}

TEST(DirectInstall, TheOptionPairChoosesTheLaunchLine) {
    const std::string full = "cmd /c  start /wait I && P && D";
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"10", "cmd /c start  /wait I && D"},
        {" 10", "cmd /c start  /wait I && D"},  // compared as a number
        {"01", "cmd /c  start /wait I && P"},
        {"11", full},
        {"00", "cmd /c  start /wait I"},
        {"1", std::nullopt},  // the number 1: neither 10 nor 11, and not the text "01"
        {"0", std::nullopt},  // nor the text "00"
        {"12", std::nullopt},
        {"02", std::nullopt},
        // No number at all: read as the engine reads it, install and default printer.
        {"ab", "cmd /c start  /wait I && D"},
        {"", "cmd /c start  /wait I && D"},
    };
    for (const auto& [pair, want] : cases)
        EXPECT_EQ(tools::launchLine(pair, "I", "P", "D"), want) << "\"" << pair << "\"";
}

TEST(DirectInstall, TextsACommandLineCannotCarryAreRefusedByName) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"A&B|C<D>E^F", std::nullopt},
        {"100%", "「印表機名稱」含有「%」"},
        {"say \"hi\"", "「印表機名稱」含有雙引號「\"」"},
        {"wow!", "「印表機名稱」含有「!」"},
        {"a\r\nb", "「印表機名稱」含有換行或其他控制字元"},
    };
    for (const auto& [name, want] : cases) {
        auto refused = tools::refusedCommandPiece({{"印表機名稱", name}, {"INF檔名", "x.inf"}});
        ASSERT_EQ(refused.has_value(), want.has_value()) << name;
        if (want) {
            EXPECT_EQ(refused->rfind(*want, 0), 0u) << *refused;
        }
    }
    // The first refused text is the one named.
    auto refused = tools::refusedCommandPiece({{"A", "ok"}, {"B", "50%"}, {"C", "\""}});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->rfind("「B」", 0), 0u);
}

}  // namespace
