// velmora-demo PACKAGE-FOLDER [ACTIONS.json]: runs the package on the simulated Windows
// machine, as an end user would, and tells step by step what the program did.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/sim/base64.h"
#include "platform/sim/json.h"
#include "scenario/narrate.h"
#include "scenario/runner.h"

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

namespace fs = std::filesystem;

// The package folder as a scenario: every file of it, and the user's actions when given.
sim::json::Value packageScenario(const fs::path& folder, const char* actionsFile) {
    sim::json::Value scenario = sim::json::Value::object();
    scenario.set("exe", "安裝.exe");
    sim::json::Value files = sim::json::Value::object();
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file())
            entries.push_back(entry.path());
    }
    std::sort(entries.begin(), entries.end());
    for (const fs::path& p : entries) {
        sim::json::Value f = sim::json::Value::object();
        f.set("base64", sim::base64Encode(readFile(p)));
        files.set(p.filename().string(), f);
    }
    scenario.set("folder", files);
    if (actionsFile != nullptr)
        scenario.set("actions", sim::json::parse(readFile(actionsFile)));
    return scenario;
}

// Tells each step of the transcript; returns its final state.
sim::json::Value tellSteps(const std::string& transcript) {
    std::istringstream lines(transcript);
    sim::json::Value state;
    int step = 0;
    for (std::string text; std::getline(lines, text);) {
        sim::json::Value line = sim::json::parse(text);
        if (line.find("op")->asString() == "state") {
            state = line;
            continue;
        }
        std::string sentence = scenario::narrate(line);
        if (!sentence.empty())
            std::cout << ++step << ". " << sentence << "\n";
    }
    return state;
}

void tellState(const sim::json::Value& state) {
    std::cout << "\nWhat the machine holds afterwards:\n";
    for (const auto& [name, content] : state.find("files")->members()) {
        if (content.isString()) {
            std::cout << "  file " << name << ": "
                      << content.asString().substr(0, content.asString().find_first_of("\r\n"))
                      << "\n";
        } else {
            std::cout << "  file " << name << " ("
                      << sim::base64Decode(content.find("base64")->asString())->size()
                      << " bytes)\n";
        }
    }
    std::cout << "  printers: " << state.find("printers")->dump() << "\n"
              << "  ports: " << state.find("ports")->dump() << "\n"
              << "  default printer: " << state.find("defaultPrinter")->dump() << "\n";
    for (const auto& [path, value] : state.find("registry")->members())
        std::cout << "  registry " << path << " = " << value.dump() << "\n";
    std::cout << "\nThe install log (Velmora.log in the user's temporary folder):\n";
    for (const sim::json::Value& event : state.find("log")->asArray())
        std::cout << "  " << event.asString() << "\n";
}

// Runs a scenario and tells its steps and what the machine holds; returns the final state.
sim::json::Value runAndTell(const sim::json::Value& scenario) {
    std::ostringstream transcript;
    scenario::runScenario(scenario.dump(), transcript);
    sim::json::Value state = tellSteps(transcript.str());
    std::cout << "  printers: " << state.find("printers")->dump() << "\n"
              << "  ports: " << state.find("ports")->dump() << "\n";
    return state;
}

// The printers, ports and drivers a run left, as a scenario's machine.
sim::json::Value machineLeftBy(const sim::json::Value& state) {
    sim::json::Value machine = sim::json::Value::object();
    sim::json::Value ports = sim::json::Value::array();
    for (const sim::json::Value& port : state.find("ports")->asArray()) {
        sim::json::Value p = sim::json::Value::object();
        for (const char* key : {"Name", "HostAddress", "PortNumber", "Protocol", "SNMPEnabled"})
            p.set(key, *port.find(key));
        ports.push(p);
    }
    sim::json::Value printers = sim::json::Value::array();
    for (const sim::json::Value& printer : state.find("printers")->asArray()) {
        sim::json::Value p = sim::json::Value::object();
        for (const char* key : {"Name", "DriverName", "PortName"})
            p.set(key, *printer.find(key));
        printers.push(p);
    }
    machine.set("ports", ports);
    machine.set("printers", printers);
    machine.set("drivers", *state.find("drivers"));
    return machine;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: velmora-demo PACKAGE-FOLDER [ACTIONS.json]\n";
        return 2;
    }
    const fs::path folder = argv[1];
    if (!fs::is_directory(folder)) {
        std::cerr << "velmora-demo: " << folder << " is not a folder\n";
        return 2;
    }
    const sim::json::Value scenario = packageScenario(folder, argc == 3 ? argv[2] : nullptr);
    std::cout << "Velmora demo: the package folder " << folder.string()
              << " on a simulated Windows PC\n"
              << "(code page 950, one network adapter at 192.168.1.23).\n\n";
    std::ostringstream transcript;
    const int status = scenario::runScenario(scenario.dump(), transcript);
    tellState(tellSteps(transcript.str()));

    // What a deployment tool does with the same folder: a quiet install on a fresh PC, then the
    // same command again on the PC it left.
    std::cout << "\n== A deployment tool runs: 安裝.exe /quiet (on a fresh PC)\n\n";
    sim::json::Value quiet = packageScenario(folder, nullptr);
    quiet.set("args", sim::json::parse(R"(["/quiet"])"));
    const sim::json::Value left = runAndTell(quiet);
    std::cout << "\n== The same command again, on the PC the first run left\n\n";
    sim::json::Value again = quiet;
    again.set("machine", machineLeftBy(left));
    runAndTell(again);

    // The printer is off: the user is asked before anything changes, and No leaves the PC as it
    // was. It needs the user's actions to reach the question.
    if (const sim::json::Value* given = scenario.find("actions")) {
        std::cout << "\n== On another PC, with the printer switched off: the user answers No\n\n";
        sim::json::Value off = scenario;
        sim::json::Value machine = sim::json::Value::object();
        machine.set("network", sim::json::Value::object());
        off.set("machine", machine);
        sim::json::Value actions = *given;
        actions.push(sim::json::parse(R"({"answer": "no"})"));
        off.set("actions", actions);
        runAndTell(off);
    }
    return status;
}
