#include "command/argv.h"

namespace command {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
}  // namespace

std::vector<std::string> splitArguments(std::string_view line) {
    std::vector<std::string> args;
    std::size_t i = 0;

    // The program name knows no escapes.
    std::string program;
    if (i < line.size() && line[i] == '"') {
        ++i;
        while (i < line.size() && line[i] != '"')
            program += line[i++];
        if (i < line.size())
            ++i;
    } else {
        while (i < line.size() && !isBlank(line[i]))
            program += line[i++];
    }
    args.push_back(program);

    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i >= line.size())
        return args;

    std::string arg;
    int quotes = 0;  // quotes seen in the current quoted run: odd means inside quotes
    std::size_t backslashes = 0;
    while (i < line.size()) {
        char c = line[i];
        if (isBlank(c) && quotes == 0) {
            arg.append(backslashes, '\\');
            backslashes = 0;
            args.push_back(arg);
            arg.clear();
            while (i < line.size() && isBlank(line[i]))
                ++i;
            if (i >= line.size())
                return args;
            continue;
        }
        if (c == '\\') {
            ++backslashes;
            ++i;
            continue;
        }
        if (c == '"') {
            arg.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                arg += '"';
                backslashes = 0;
                ++i;
                continue;
            }
            backslashes = 0;
            ++quotes;
            ++i;
            while (i < line.size() && line[i] == '"') {
                if (++quotes == 3) {
                    arg += '"';
                    quotes = 0;
                }
                ++i;
            }
            if (quotes == 2)
                quotes = 0;
            continue;
        }
        arg.append(backslashes, '\\');
        backslashes = 0;
        arg += c;
        ++i;
    }
    arg.append(backslashes, '\\');
    args.push_back(arg);
    return args;
}

}  // namespace command
