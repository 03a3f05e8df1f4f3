#include "platform/sim/commands.h"

#include <algorithm>
#include <cstdlib>

#include "command/argv.h"
#include "platform/sim/codepage.h"
#include "text/text.h"

namespace sim {

namespace {

std::string lower(const std::string& s) {
    return asciiLower(s);
}

constexpr const char* kPortsKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports\\";

// What a stored preference file starts with, its NUL included; the printer's name follows.
using std::string_view_literals::operator""sv;
constexpr std::string_view kSettingsMark = "VELMORA-PRINTER-SETTINGS\0"sv;

// cmd's exit code for a program it cannot find.
constexpr int kNotRecognised = 9009;

// reg add KEY [/v NAME | /ve] [/t TYPE] [/d DATA] [/f]
int regCommand(Machine& m, const std::vector<std::string>& w) {
    if (w.size() < 3 || lower(w[1]) != "add")
        return 1;
    const std::string& key = w[2];
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
    if (lower(type) == "reg_dword") {
        char* end = nullptr;
        long long v = std::strtoll(data.c_str(), &end, 0);
        if (data.empty() || *end != '\0')
            return 1;
        m.setRegistry(path, json::Value(v));
    } else {
        m.setRegistry(path, json::Value(data));
    }
    return 0;
}

bool portExists(Machine& m, const std::string& port) {
    for (const Port& p : m.ports) {
        if (lower(p.name) == lower(port))
            return true;
    }
    if (m.registryValue(kPortsKey + port) != nullptr)
        return true;
    static const char* kLocalPorts[] = {"lpt1:", "lpt2:", "com1:", "file:", "portprompt:", "nul:"};
    for (const char* local : kLocalPorts) {
        if (lower(port) == local)
            return true;
    }
    return false;
}

// The options of one printui line.
struct PrintuiLine {
    std::string name, inf, port, model, file;
    bool install = false, restore = false, store = false, remove = false, makeDefault = false;
};

PrintuiLine printuiLineOf(const std::vector<std::string>& w) {
    PrintuiLine l;
    const std::pair<const char*, bool PrintuiLine::*> flags[] = {{"/if", &PrintuiLine::install},
                                                                 {"/y", &PrintuiLine::makeDefault},
                                                                 {"/Sr", &PrintuiLine::restore},
                                                                 {"/Ss", &PrintuiLine::store},
                                                                 {"/dl", &PrintuiLine::remove}};
    const std::pair<const char*, std::string PrintuiLine::*> values[] = {
        {"/b", &PrintuiLine::name}, {"/n", &PrintuiLine::name},  {"/f", &PrintuiLine::inf},
        {"/r", &PrintuiLine::port}, {"/m", &PrintuiLine::model}, {"/a", &PrintuiLine::file}};
    for (std::size_t i = 2; i < w.size(); ++i) {
        for (const auto& [option, member] : flags) {
            if (w[i] == option)
                l.*member = true;
        }
        for (const auto& [option, member] : values) {
            if (w[i] == option) {
                l.*member = i + 1 < w.size() ? w[i + 1] : std::string();
                ++i;
                break;
            }
        }
    }
    return l;
}

void installPrinter(Machine& m, const PrintuiLine& l) {
    if (l.name.empty() || !infHoldsModel(m, l.inf, l.model) || !portExists(m, l.port) ||
        m.printer(l.name) != nullptr) {
        return;
    }
    platform::WmiObject printer;
    printer.className = "Win32_Printer";
    printer.set("Name", platform::Value::text(l.name));
    printer.set("DriverName", platform::Value::text(l.model));
    printer.set("PortName", platform::Value::text(l.port));
    m.printers.push_back(printer);
    if (std::find(m.drivers.begin(), m.drivers.end(), l.model) == m.drivers.end())
        m.drivers.push_back(l.model);
}

void restoreSettings(Machine& m, const PrintuiLine& l) {
    if (m.printer(l.name) == nullptr || m.file(l.file) == nullptr)
        return;
    for (auto& entry : m.preferences) {
        if (entry.first == l.name) {
            entry.second = l.file;
            return;
        }
    }
    m.preferences.emplace_back(l.name, l.file);
}

void removePrinterNamed(Machine& m, const std::string& name) {
    for (auto it = m.printers.begin(); it != m.printers.end(); ++it) {
        const platform::Value* n = it->property("Name");
        if (n != nullptr && n->string == name) {
            m.printers.erase(it);
            return;
        }
    }
}

// rundll32 printui.dll,PrintUIEntry: installs (/if), applies (/Sr) and stores (/Ss) printer
// settings, deletes (/dl), makes the default printer (/y). Like the real entry point it reports
// nothing: the machine's state is what changes or not. An install line with /Sr appended
// installs, then applies. An install under a name in use fails as AddPrinter fails it
// (ERROR_PRINTER_ALREADY_EXISTS): that printer stays as it was, and rundll32, which hands back
// nothing of the entry point's, still ends with 0.
int printuiCommand(Machine& m, const std::vector<std::string>& w) {
    const PrintuiLine l = printuiLineOf(w);
    if (l.install)
        installPrinter(m, l);
    if (l.install && !l.restore)
        return 0;
    if (l.makeDefault) {
        if (const platform::WmiObject* printer = m.printer(l.name))
            m.defaultPrinter = printer->property("Name")->string;
    } else if (l.restore) {
        restoreSettings(m, l);
    } else if (l.store) {
        if (m.printer(l.name) != nullptr && !l.file.empty())
            m.createFile(l.file).bytes = std::string(kSettingsMark) + l.name;
    } else if (l.remove) {
        removePrinterNamed(m, l.name);
    }
    return 0;
}

// Splits "A && B || C & D" outside double quotes, keeping the joining operators.
std::vector<std::pair<std::string, std::string>> chain(const std::string& line) {
    std::vector<std::pair<std::string, std::string>> parts;  // (operator before, command)
    std::string current, op;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"')
            quoted = !quoted;
        if (!quoted && (c == '&' || c == '|')) {
            std::string joined(1, c);
            if (i + 1 < line.size() && line[i + 1] == c) {
                joined += c;
                ++i;
            }
            if (joined == "|") {  // a pipe: part of the command
                current += c;
                continue;
            }
            parts.emplace_back(op, current);
            current.clear();
            op = joined;
            continue;
        }
        current += c;
    }
    parts.emplace_back(op, current);
    return parts;
}

std::string trimmed(const std::string& s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos)
        return {};
    std::size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

// One command of the interpreter: "start" hands the rest on, a program runs.
int interpreterCommand(Machine& m, std::string command) {
    command = trimmed(command);
    constexpr std::string_view kStart = "start";
    if (lower(command).rfind(kStart, 0) == 0 &&
        (command.size() == kStart.size() || command[kStart.size()] == ' ')) {
        std::vector<std::string> words = command::splitArguments(command);
        std::size_t i = 1;
        while (i < words.size() && !words[i].empty() && words[i][0] == '/')
            ++i;
        if (i >= words.size())
            return 0;
        const std::string& target = words[i];
        if (lower(target).rfind("http", 0) == 0 || m.file(target) != nullptr)
            return 0;  // opened, not run
        std::string program = programOf(target);
        if (!m.programExists(program))
            return 1;
        std::size_t at = command.find(target);
        return interpretCommand(m, at == std::string::npos ? target : command.substr(at));
    }
    if (command.empty())
        return 0;
    if (!m.programExists(programOf(command)))
        return kNotRecognised;
    return interpretCommand(m, command);
}

// cmd /c LINE: runs each command of the chain as Windows does: && after success, || after
// failure, & always.
int cmdCommand(Machine& m, const std::string& line) {
    std::size_t at = lower(line).find("/c");
    if (at == std::string::npos)
        return 0;
    int exitCode = 0;
    for (const auto& [op, command] : chain(line.substr(at + 2))) {
        if (op == "&&" && exitCode != 0)
            continue;
        if (op == "||" && exitCode == 0)
            continue;
        exitCode = interpreterCommand(m, command);
    }
    return exitCode;
}

}  // namespace

bool infHoldsModel(Machine& m, const std::string& infFile, const std::string& model) {
    const SimFile* f = m.file(infFile);
    if (f == nullptr)
        return false;
    // ASCII model names compare the same in any code page.
    const std::string text = utf16FileText(f->bytes).value_or(f->bytes);
    return text::contains(text, "\"" + model + "\"");
}

int interpretCommand(Machine& machine, const std::string& commandLine) {
    std::vector<std::string> words = command::splitArguments(commandLine);
    std::string program = programOf(commandLine);
    if (program == "reg")
        return regCommand(machine, words);
    if (program == "cmd")
        return cmdCommand(machine, commandLine);
    if (program == "rundll32" && words.size() > 1 &&
        lower(words[1]) == "printui.dll,printuientry") {
        return printuiCommand(machine, words);
    }
    // devcon, control, explorer and the package's own programs leave no state of their own:
    // their start is in the transcript.
    return 0;
}

}  // namespace sim
