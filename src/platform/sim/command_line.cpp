#include "platform/sim/command_line.h"

namespace sim {

std::vector<std::string> splitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size();) {
        char c = line[i];
        if (c == '\\') {
            std::size_t slashes = 0;
            while (i < line.size() && line[i] == '\\') {
                ++slashes;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                word.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    word += '"';
                    ++i;
                }
            } else {
                word.append(slashes, '\\');
            }
            inWord = true;
            continue;
        }
        if (c == '"') {
            // Two quotes inside a quoted run stand for one quote.
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                word += '"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            inWord = true;
            ++i;
            continue;
        }
        if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
            ++i;
            continue;
        }
        word += c;
        inWord = true;
        ++i;
    }
    if (inWord)
        words.push_back(word);
    return words;
}

}  // namespace sim
