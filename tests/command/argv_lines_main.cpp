// velmora-argv-lines [COUNT]: writes, one a line, every command line the splitter is held to
// (the quoting tests' lines, the splitter's table and COUNT generated lines, 3000 unless
// given), for the driver's argv-compare under Wine. A line holding a NUL or a line break, or
// an empty one, cannot travel in this form and is left out.

#include <cstdlib>
#include <iostream>

#include "command/argv_lines.h"

int main(int argc, char** argv) {
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 3000;
    std::vector<std::string> lines = testing_support::quotingLines();
    for (const testing_support::SplitCase& c : testing_support::splitCases())
        lines.push_back(c.line);
    for (std::string& line : testing_support::generatedLines(count))
        lines.push_back(std::move(line));
    for (const std::string& line : lines) {
        if (!line.empty() && line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos)
            std::cout << line << '\n';
    }
    return std::cout.good() ? 0 : 1;
}
