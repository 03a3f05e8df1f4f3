#include "platform/sim/commands.h"

#include <cstdlib>

#include "platform/sim/command_line.h"
#include "text/text.h"

namespace sim {

namespace {

std::string lower(const std::string& s) { return asciiLower(s); }

// reg add KEY [/v NAME | /ve] [/t TYPE] [/d DATA] [/f]
int regCommand(Machine& m, const std::vector<std::string>& w) {
    if (w.size() < 3 || lower(w[1]) != "add") return 1;
    std::string key = w[2];
    std::string name;
    std::string type = "REG_SZ";
    std::string data;
    for (std::size_t i = 3; i < w.size(); ++i) {
        std::string opt = lower(w[i]);
        if (opt == "/v" && i + 1 < w.size()) {
            name = w[++i];
        } else if (opt == "/t" && i + 1 < w.size()) {
            type = w[++i];
        } else if (opt == "/d" && i + 1 < w.size()) {
            data = w[++i];
        } else if (opt == "/ve" || opt == "/f") {
        } else {
            return 1;  // reg refuses an unknown switch
        }
    }
    std::string path = key + "\\" + name;
    std::string t = lower(type);
    if (t == "reg_dword") {
        char* end = nullptr;
        long long v = std::strtoll(data.c_str(), &end, 0);
        if (data.empty() || *end != '\0') return 1;
        m.setRegistry(path, json::Value(v));
    } else {
        m.setRegistry(path, json::Value(data));
    }
    return 0;
}

// cmd /c REST: the rest is another command line ("start" hands it on without waiting).
int cmdCommand(Machine& m, const std::string& line) {
    std::string l = lower(line);
    std::size_t at = l.find("/c");
    if (at == std::string::npos) return 0;
    std::string rest = line.substr(at + 2);
    std::size_t first = rest.find_first_not_of(' ');
    if (first == std::string::npos) return 0;
    rest = rest.substr(first);
    if (lower(rest).rfind("start", 0) == 0) return 0;  // opens a document or page; no trace here
    std::string program = programOf(rest);
    if (!m.programExists(program)) return 9009;  // the interpreter's "not recognised"
    return interpretCommand(m, rest);
}

}  // namespace

int interpretCommand(Machine& machine, const std::string& commandLine) {
    std::vector<std::string> words = splitCommandLine(commandLine);
    std::string program = programOf(commandLine);
    if (program == "reg") return regCommand(machine, words);
    if (program == "cmd") return cmdCommand(machine, commandLine);
    // Programs with no lasting effect on the machine's recorded state.
    return 0;
}

}  // namespace sim
