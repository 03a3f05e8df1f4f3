#include "platform/error_texts.h"
#include "platform/sim/commands.h"
#include "platform/sim/services.h"

namespace sim {

long long SimShell::run(const std::string& command, std::optional<int> style, bool wait) {
    json::Value line = Transcript::line("run");
    line.set("cmd", command);
    line.set("style", style ? json::Value(*style) : json::Value());
    line.set("wait", wait);
    machine_.check(line, platform::errors::kFileNotFoundHresult);
    if (!machine_.programExists(programOf(command))) {
        machine_.fail(platform::errors::kFileNotFoundHresult, line);
    }
    // A fault with a result makes the program end with that code, having done nothing.
    std::optional<long long> forced = machine_.forcedResult(line);
    long long exitCode = forced ? *forced : interpretCommand(machine_, command);
    line.set("exitCode", wait ? json::Value(exitCode) : json::Value());
    machine_.record(line);
    return wait ? exitCode : 0;
}

void SimShell::regWrite(const std::string& path, const std::string& value,
                        const std::string& type) {
    json::Value line = Transcript::line("reg.write");
    line.set("path", path);
    line.set("value", value);
    line.set("type", type);
    machine_.check(line, platform::errors::kAccessDeniedHresult);
    if (asciiLower(type) == "reg_dword") {
        char* end = nullptr;
        constexpr int kDecimal = 10;
        long long v = std::strtoll(value.c_str(), &end, kDecimal);
        if (value.empty() || *end != '\0')
            machine_.fail(platform::errors::kTypeMismatch, line);
        machine_.setRegistry(path, json::Value(v));
    } else {
        machine_.setRegistry(path, json::Value(value));
    }
    machine_.record(line);
}

void SimShell::open(const std::string& file, const std::string& verb, int style) {
    json::Value line = Transcript::line("shell.open");
    line.set("file", file);
    line.set("verb", verb);
    line.set("style", style);
    machine_.check(line, platform::errors::kFileNotFoundHresult);
    // A folder (the package folder ".") or a file of the package opens; anything else is missing.
    if (file != "." && file != machine_.folder && machine_.file(file) == nullptr)
        machine_.fail(platform::errors::kFileNotFoundHresult, line);
    machine_.record(line);
}

void SimNetwork::setDefaultPrinter(const std::string& name) {
    json::Value line = Transcript::line("net.default");
    line.set("name", name);
    machine_.check(line, platform::errors::kInvalidPrinterName);
    bool known = false;
    for (const platform::WmiObject& p : machine_.printers) {
        const platform::Value* n = p.property("Name");
        if (n && n->string == name)
            known = true;
    }
    for (const std::string& c : machine_.connections)
        known = known || c == name;
    if (!known)
        machine_.fail(platform::errors::kInvalidPrinterName, line);
    machine_.defaultPrinter = name;
    machine_.record(line);
}

void SimNetwork::addWindowsPrinterConnection(const std::string& path) {
    json::Value line = Transcript::line("net.connect");
    line.set("path", path);
    machine_.check(line, platform::errors::kInvalidPrinterName);
    machine_.connections.push_back(path);
    machine_.record(line);
}

void SimLauncher::start(const std::string& command, int style) {
    json::Value line = Transcript::line("start");
    line.set("cmd", command);
    line.set("style", style);
    machine_.check(line, platform::errors::kFileNotFound);
    if (!machine_.programExists(programOf(command))) {
        machine_.fail(platform::errors::kFileNotFound, line);
    }
    machine_.record(line);
    interpretCommand(machine_, command);
}

}  // namespace sim
