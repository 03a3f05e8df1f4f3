#pragma once
// Command lines to split: what the quoting tests build from hostile texts, the splitter's own
// table, and lines made at random from the characters that matter to splitting. The Wine tests
// hold the splitter against the real CommandLineToArgvW on every one (velmora-argv-lines).

#include <string>
#include <vector>

namespace testing_support {

// Texts a package, a file name or a user may bring.
const std::vector<std::string>& hostileTexts();

// The line that hands an argument to the printer set-up entry point directly, and through
// "cmd /c start" (the part cmd hands on starts at "rundll32").
std::string argvLine(const std::string& argument);
std::string cmdLine(const std::string& argument);

struct SplitCase {
    std::string line;
    std::vector<std::string> args;
};
// Lines with the arguments CommandLineToArgvW gives them.
const std::vector<SplitCase>& splitCases();

// Every line the quoting tests build: each passable hostile text quoted and bare, for both
// receivers, and what cmd hands on to rundll32.
std::vector<std::string> quotingLines();

// Lines of blanks, tabs, quotes, backslashes, letters and a Chinese character, never empty,
// the same ones on every run (a fixed seed).
std::vector<std::string> generatedLines(std::size_t count);

}  // namespace testing_support
