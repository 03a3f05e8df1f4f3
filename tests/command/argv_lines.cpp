#include "command/argv_lines.h"

#include <random>

#include "command/quote.h"

namespace testing_support {

const std::vector<std::string>& hostileTexts() {
    static const std::vector<std::string> texts = {
        "Office",
        "Front Desk",
        "Office\\",
        "Office\\\\",
        "Model \"X\" & calc",
        "x\".inf",
        "\\\\srv\\hp\" & calc & \"",
        "\\\\srv\\hp\\",
        "a\\\"b",
        "a & b | c < d > e ^ f",
        "%PATH% !x!",
        "二樓 印表機",
        "Café 🖨",
        "",
        " ",
        "\"",
        "\"\"\"",
        "\"\"",
        "a\"\" b",
        "\\",
        std::string(10000, 'a') + "\\",
        std::string(500, '\\') + "\"",
    };
    return texts;
}

std::string argvLine(const std::string& argument) {
    return "rundll32 printui.dll,PrintUIEntry /b " + argument + " /f x.inf";
}

std::string cmdLine(const std::string& argument) {
    return "cmd /c start  /wait rundll32 printui.dll,PrintUIEntry /Ss /n " + argument +
           " /a black.dat";
}

const std::vector<SplitCase>& splitCases() {
    using Args = std::vector<std::string>;
    static const std::vector<SplitCase> cases = {
        {"prog", Args{"prog"}},
        {"prog   ", Args{"prog"}},
        {"p a\tb  c", Args{"p", "a", "b", "c"}},
        // The program name: in quotes up to the next quote, whatever follows it; otherwise up
        // to the first blank. Backslashes and quotes mean nothing there.
        {"\"C:\\Program Files\\x.exe\" a", Args{"C:\\Program Files\\x.exe", "a"}},
        {"C:\\dir\\\"x a", Args{"C:\\dir\\\"x", "a"}},
        {"\"C:\\dir\\\"x a", Args{"C:\\dir\\", "x", "a"}},
        {"\"a b\"c d", Args{"a b", "c", "d"}},
        {"\"prog", Args{"prog"}},
        {"\"\" x", Args{"", "x"}},
        {"p\"q r\"s", Args{"p\"q", "rs"}},
        {" p a", Args{"", "p", "a"}},
        {"\tp", Args{"", "p"}},
        // Quotes group and go; backslashes count only before a quote.
        {"p \"a b\" c", Args{"p", "a b", "c"}},
        {"p \"\"", Args{"p", ""}},
        {"p \"\" \"\"", Args{"p", "", ""}},
        {"p x\"y z\"w", Args{"p", "xy zw"}},
        {"p \"a", Args{"p", "a"}},
        {"p \"a b", Args{"p", "a b"}},
        {"p a\\\\b", Args{"p", "a\\\\b"}},
        {"p a\\", Args{"p", "a\\"}},
        {"p \"a\\\\\"", Args{"p", "a\\"}},
        {"p \"a\\\"b\"", Args{"p", "a\"b"}},
        {"p a\\\\\\\"b", Args{"p", "a\\\"b"}},
        {"p \\\\\\\\\"a b\"", Args{"p", "\\\\a b"}},
        {"p \"a\\\" & calc", Args{"p", "a\" & calc"}},
        // Quotes in a row: inside quotes every third is literal, and the run ends the quoted
        // part unless it leaves none over; outside, the first opens quotes and the rest count
        // as inside.
        {"p \"a\"\"b\"", Args{"p", "a\"b"}},
        {"p \"a\"\" b\"", Args{"p", "a\"", "b"}},
        {"p \"a\"\"\" b\"", Args{"p", "a\" b"}},
        {"p \"a\"\"\"\"b c", Args{"p", "a\"b", "c"}},
        {"p \"a\"\"\"\"\"b c", Args{"p", "a\"\"b", "c"}},
        {"p a\"\"b c", Args{"p", "ab", "c"}},
        {"p a\"\"\"b c", Args{"p", "a\"b", "c"}},
        {"p a\"\"\"\" b\" c", Args{"p", "a\" b", "c"}},
        {"p \"\"\"a\"\"\" b", Args{"p", "\"a\"", "b"}},
        {"x \"a \"\"q\"\" b\"", Args{"x", "a \"q", "b"}},
        {"p \\\"\"a b\"", Args{"p", "\"a b"}},
        // The line ends at a NUL, as the real call reads a C string.
        {std::string("p a\0b c", 7), Args{"p", "a"}},
        {"", Args{""}},
    };
    return cases;
}

std::vector<std::string> quotingLines() {
    std::vector<std::string> lines;
    for (const std::string& text : hostileTexts()) {
        if (!command::refusal(text, command::Receiver::Argv)) {
            lines.push_back(argvLine(command::quoted(text)));
            lines.push_back(argvLine(command::bare(text)));
        }
        if (!command::refusal(text, command::Receiver::Cmd)) {
            for (const std::string& arg : {command::quoted(text, command::Receiver::Cmd),
                                           command::bare(text, command::Receiver::Cmd)}) {
                const std::string line = cmdLine(arg);
                lines.push_back(line);
                lines.push_back(line.substr(line.find("rundll32")));
            }
        }
    }
    return lines;
}

std::vector<std::string> generatedLines(std::size_t count) {
    // Raw engine output only: the distributions differ between standard libraries.
    std::mt19937 random(20240617u);
    static const std::vector<std::string> pieces = {" ", "\t", "\"", "\"", "\\",   "\\",
                                                    "a", "b",  "印", "  ", "\\\"", "\"\""};
    std::vector<std::string> lines;
    lines.reserve(count);
    while (lines.size() < count) {
        const std::size_t length = 1 + random() % 16;
        std::string line;
        for (std::size_t i = 0; i < length; ++i)
            line += pieces[random() % pieces.size()];
        lines.push_back(line);
    }
    return lines;
}

}  // namespace testing_support
