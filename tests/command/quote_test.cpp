// Arguments built for the started programs read back, split as Windows splits them, as exactly
// the text they were made from; text that cannot be passed is refused.

#include <gtest/gtest.h>

#include "command/argv.h"
#include "command/argv_lines.h"
#include "command/quote.h"

namespace {

using command::Receiver;
using command::Refusal;
using command::splitArguments;
using Args = std::vector<std::string>;

TEST(Quoting, EveryPassableTextIsExactlyOneArgument) {
    for (const std::string& text : testing_support::hostileTexts()) {
        ASSERT_FALSE(command::refusal(text, Receiver::Argv)) << text;
        for (const std::string& arg : {command::quoted(text), command::bare(text)}) {
            Args args = splitArguments(testing_support::argvLine(arg));
            EXPECT_EQ(args,
                      (Args{"rundll32", "printui.dll,PrintUIEntry", "/b", text, "/f", "x.inf"}))
                << text;
        }
    }
}

TEST(Quoting, OrdinaryTextKeepsTheDesignedForm) {
    EXPECT_EQ(command::quoted("Office"), "\"Office\"");
    EXPECT_EQ(command::quoted("辦公室 印表機"), "\"辦公室 印表機\"");
    EXPECT_EQ(command::quoted("\\\\srv\\hp"), "\"\\\\srv\\hp\"");
    EXPECT_EQ(command::bare("KOAZXL__.inf"), "KOAZXL__.inf");
    EXPECT_EQ(command::bare(".\\INSTDATA\\x.inf"), ".\\INSTDATA\\x.inf");
    EXPECT_EQ(command::bare("IP_10.0.0.7"), "IP_10.0.0.7");
    EXPECT_EQ(command::bare("my driver.inf"), "\"my driver.inf\"");
    EXPECT_EQ(command::bare(""), "\"\"");
}

TEST(Quoting, RefusesWhatNoReceiverCanTakeWhole) {
    struct Case {
        std::string text;
        Receiver receiver;
        std::optional<Refusal> refusal;
    };
    const Case cases[] = {
        {"a\r\nb", Receiver::Argv, Refusal::ControlCharacter},
        {"a\tb", Receiver::Argv, Refusal::ControlCharacter},
        {std::string("a\0b", 3), Receiver::Argv, Refusal::ControlCharacter},
        {"a\x7f", Receiver::Argv, Refusal::ControlCharacter},
        {"a\xc2\x85", Receiver::Argv, Refusal::ControlCharacter},  // NEL
        {"\xff\xfe", Receiver::Argv, Refusal::NotUtf8},
        {"Caf\xe9", Receiver::Argv, Refusal::NotUtf8},
        {"a\"b", Receiver::Argv, std::nullopt},
        {"%PATH%", Receiver::Argv, std::nullopt},
        {"a\"b", Receiver::Cmd, Refusal::Quote},
        {"100%", Receiver::Cmd, Refusal::Percent},
        {"Hi!", Receiver::Cmd, Refusal::Exclamation},
        {"a & b | c < d > e ^ f", Receiver::Cmd, std::nullopt},
        {"Office\\", Receiver::Cmd, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(command::refusal(c.text, c.receiver), c.refusal) << c.text;
        if (c.refusal) {
            EXPECT_THROW(command::quoted(c.text, c.receiver), command::RefusedArgument);
            EXPECT_THROW(command::bare(c.text, c.receiver), command::RefusedArgument);
            EXPECT_FALSE(command::refusalText(*c.refusal).empty());
        }
    }
}

// Whether every character the command interpreter acts on lies between its quotes.
bool cmdSeesNoOperator(const std::string& line) {
    bool quotedRun = false;
    for (char c : line) {
        if (c == '"')
            quotedRun = !quotedRun;
        else if (!quotedRun && std::string("&|<>^()").find(c) != std::string::npos)
            return false;
        else if (c == '%' || c == '!')
            return false;
    }
    return !quotedRun;
}

TEST(Quoting, CommandInterpreterLinesKeepOperatorsBetweenQuotes) {
    for (const std::string& text : testing_support::hostileTexts()) {
        if (command::refusal(text, Receiver::Cmd))
            continue;
        for (const std::string& arg :
             {command::quoted(text, Receiver::Cmd), command::bare(text, Receiver::Cmd)}) {
            const std::string line = testing_support::cmdLine(arg);
            EXPECT_TRUE(cmdSeesNoOperator(line)) << line;
            // What cmd hands on to rundll32 splits back into the text.
            Args args = splitArguments(line.substr(line.find("rundll32")));
            ASSERT_EQ(args.size(), 7u) << line;
            EXPECT_EQ(args[4], text);
        }
    }
    // A plain unquoted word stays as it is.
    EXPECT_EQ(command::bare("black.dat", Receiver::Cmd), "black.dat");
    EXPECT_EQ(command::bare("a&b", Receiver::Cmd), "\"a&b\"");
}

}  // namespace
