// The one command-line splitter, read as CommandLineToArgvW reads lines; the Wine tests hold it
// against the real call on the same lines and thousands more.

#include "command/argv.h"

#include <gtest/gtest.h>

#include "command/argv_lines.h"

namespace {

using command::programName;
using command::splitArguments;

TEST(SplitArguments, ReadsLinesAsCommandLineToArgvW) {
    for (const testing_support::SplitCase& c : testing_support::splitCases()) {
        const std::vector<std::string> args = splitArguments(c.line);
        EXPECT_EQ(args, c.args) << c.line;
        // The program name alone reads the same.
        EXPECT_EQ(programName(c.line), c.args.front()) << c.line;
    }
}

TEST(SplitArguments, GeneratedLinesAreTheSameOnEveryRun) {
    const std::vector<std::string> lines = testing_support::generatedLines(2000);
    EXPECT_EQ(lines, testing_support::generatedLines(2000));
    EXPECT_EQ(lines.size(), 2000u);
    std::size_t quoted = 0, leadingBlank = 0;
    for (const std::string& line : lines) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.find_first_of("\r\n"), std::string::npos);
        quoted += line.front() == '"';
        leadingBlank += line.front() == ' ' || line.front() == '\t';
        // Nothing is lost or made up: the arguments hold the line's letters in order.
        std::string letters, split;
        for (char c : line)
            letters += (c == ' ' || c == '\t' || c == '"' || c == '\\') ? "" : std::string(1, c);
        for (const std::string& arg : splitArguments(line)) {
            for (char c : arg)
                split += (c == ' ' || c == '\t' || c == '"' || c == '\\') ? "" : std::string(1, c);
        }
        EXPECT_EQ(split, letters) << line;
    }
    // Both readings of the program name are among them.
    EXPECT_GT(quoted, 100u);
    EXPECT_GT(leadingBlank, 100u);
}

}  // namespace
