#include "command/argv.h"

namespace command {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The line as the call sees it: a C string.
std::string_view upToNul(std::string_view line) {
    return line.substr(0, line.find('\0'));
}

// Where the arguments after the program name begin.
std::size_t afterProgramName(std::string_view line) {
    if (!line.empty() && line.front() == '"') {
        const std::size_t close = line.find('"', 1);
        return close == std::string_view::npos ? line.size() : close + 1;
    }
    const std::size_t blank = line.find_first_of(" \t");
    return blank == std::string_view::npos ? line.size() : blank + 1;
}

}  // namespace

std::string_view programName(std::string_view line) {
    line = upToNul(line);
    if (!line.empty() && line.front() == '"')
        return line.substr(1, line.find('"', 1) - 1);
    return line.substr(0, line.find_first_of(" \t"));
}

std::vector<std::string> splitArguments(std::string_view line) {
    line = upToNul(line);
    std::vector<std::string> args{std::string(programName(line))};
    // The program name ends at its closing quote even when an argument follows at once.
    std::size_t i = afterProgramName(line);
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i >= line.size())
        return args;

    std::string arg;
    int quotes = 0;  // quotes counted in the current run: 1 means inside quotes
    std::size_t backslashes = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (isBlank(c) && quotes == 0) {
            args.push_back(arg);
            arg.clear();
            backslashes = 0;
            while (i < line.size() && isBlank(line[i]))
                ++i;
            if (i >= line.size())
                return args;
            continue;
        }
        if (c == '\\') {
            arg += c;
            ++backslashes;
            ++i;
            continue;
        }
        if (c == '"') {
            // The backslashes were copied as they came: take back half of them, and one more
            // when an odd one escapes this quote.
            arg.resize(arg.size() - backslashes / 2 - backslashes % 2);
            if (backslashes % 2 == 1)
                arg += '"';
            else
                ++quotes;
            backslashes = 0;
            ++i;
            for (; i < line.size() && line[i] == '"'; ++i) {
                if (++quotes == 3) {
                    arg += '"';
                    quotes = 0;
                }
            }
            if (quotes == 2)
                quotes = 0;
            continue;
        }
        arg += c;
        backslashes = 0;
        ++i;
    }
    args.push_back(arg);
    return args;
}

}  // namespace command
