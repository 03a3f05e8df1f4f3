#include "scenario/scenario.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>
#include <stdexcept>

#include "platform/sim/base64.h"
#include "platform/sim/network_hosts.h"
#include "platform/sim/wmi_values.h"
#include "scenario/fields.h"
#include "scenario/installed.h"
#include "text/text.h"

namespace scenario {

namespace {

using sim::json::Value;

[[noreturn]] void invalid(const std::string& what) {
    throw std::invalid_argument(what);
}

platform::WmiObject objectFrom(const Value& json, const char* className, const char* where) {
    if (!json.isObject())
        invalid(std::string(where) + ": entries must be objects");
    platform::WmiObject o;
    o.className = className;
    for (const auto& [key, value] : json.members())
        o.set(key, sim::fromJson(value));
    return o;
}

// One entry of the package folder: its text in the code page, or its bytes.
FolderFile folderFileFrom(const std::string& name, const Value& entry) {
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos) {
        invalid("folder: \"" + name + "\" is not a plain file name");
    }
    if (!entry.isObject())
        invalid("folder: \"" + name + "\" must be an object");
    refuseUnknownFields(entry, {"text", "base64", "hidden"}, "folder: \"" + name + "\"");
    if (entry.has("text") && entry.has("base64"))
        invalid("folder: \"" + name + "\" gives both \"text\" and \"base64\"");
    FolderFile f;
    f.name = name;
    if (const Value* t = entry.find("text")) {
        if (!t->isString())
            invalid("folder: \"" + name + "\".text must be a string");
        f.text = t->asString();
    } else if (const Value* b = entry.find("base64")) {
        if (!b->isString())
            invalid("folder: \"" + name + "\".base64 must be a string");
        auto bytes = sim::base64Decode(b->asString());
        if (!bytes)
            invalid("folder: \"" + name + "\".base64 is not base64");
        f.bytes = *bytes;
        f.isText = false;
    } else {
        invalid("folder: \"" + name + "\" needs \"text\" or \"base64\"");
    }
    if (const Value* h = entry.find("hidden")) {
        if (!h->isBool())
            invalid("folder: \"" + name + "\".hidden must be true or false");
        f.hidden = h->asBool();
    }
    return f;
}

}  // namespace

Scenario parseScenario(const Value& doc) {
    if (!doc.isObject())
        invalid("the scenario must be a JSON object");
    refuseUnknownFields(doc, {"exe", "codepage", "folder", "machine", "actions", "args"},
                        "the scenario");
    Scenario s;
    if (const Value* exe = doc.find("exe")) {
        if (!exe->isString() || exe->asString().empty())
            invalid("\"exe\" must be a file name");
        s.exe = exe->asString();
    }
    if (const Value* cp = doc.find("codepage")) {
        if (!cp->isNumber())
            invalid("\"codepage\" must be a number");
        long long id = cp->asInteger();
        if (id <= 0 || id > std::numeric_limits<std::uint16_t>::max())
            invalid("\"codepage\" is out of range");
        s.codepage = static_cast<unsigned>(id);
    }
    if (const Value* folder = doc.find("folder")) {
        if (!folder->isObject())
            invalid("\"folder\" must be an object");
        for (const auto& [name, entry] : folder->members())
            s.folder.push_back(folderFileFrom(name, entry));
    }
    if (const Value* machine = doc.find("machine")) {
        if (!machine->isObject())
            invalid("\"machine\" must be an object");
        refuseUnknownFields(*machine,
                            {"computerName", "folder", "adapters", "printers", "ports", "drivers",
                             "os", "architecture", "language", "missingPrograms", "services",
                             "account", "faults", "network"},
                            "machine");
        s.machine = *machine;
    }
    if (const Value* actions = doc.find("actions")) {
        if (!actions->isArray())
            invalid("\"actions\" must be an array");
        for (const Value& a : actions->asArray()) {
            if (!a.isObject())
                invalid("every action must be an object");
            checkActionFields(a);
            s.actions.push_back(a);
        }
    }
    if (const Value* args = doc.find("args")) {
        if (!args->isArray())
            invalid("\"args\" must be an array of strings");
        for (const Value& a : args->asArray()) {
            if (!a.isString())
                invalid("\"args\" must be an array of strings");
            s.args.push_back(a.asString());
        }
    }
    return s;
}

void prepareMachine(const Scenario& scenario, sim::Machine& target) {
    target.exeName = scenario.exe;
    target.arguments = scenario.args;
    configureMachine(scenario.machine, target);
}

namespace {

// The computer's name and folder, its network adapters and the printers it has.
void readComputer(const Value& m, sim::Machine& target) {
    if (const Value* name = m.find("computerName")) {
        if (!name->isString())
            invalid("machine.computerName must be a string");
        target.computerName = name->asString();
    }
    if (const Value* folder = m.find("folder")) {
        if (!folder->isString() || folder->asString().empty())
            invalid("machine.folder must be a folder path");
        target.folder = folder->asString();
    }
    if (const Value* adapters = m.find("adapters")) {
        if (!adapters->isArray())
            invalid("machine.adapters must be an array");
        target.adapters.clear();
        for (const Value& a : adapters->asArray()) {
            platform::WmiObject o =
                objectFrom(a, "Win32_NetworkAdapterConfiguration", "machine.adapters");
            if (!o.property("IPEnabled"))
                o.set("IPEnabled", platform::Value::fromBool(true));
            target.adapters.push_back(std::move(o));
        }
    }
    if (const Value* printers = m.find("printers")) {
        if (!printers->isArray())
            invalid("machine.printers must be an array");
        for (const Value& p : printers->asArray()) {
            platform::WmiObject o = objectFrom(p, "Win32_Printer", "machine.printers");
            if (!o.property("Name") || o.property("Name")->kind != platform::Value::Kind::String) {
                invalid("machine.printers: every printer needs a Name");
            }
            target.printers.push_back(std::move(o));
        }
    }
}

// The system's caption and version, and the account the program runs as.
void readSystem(const Value& m, sim::Machine& target) {
    if (const Value* os = m.find("os")) {
        if (!os->isObject())
            invalid("machine.os must be an object");
        refuseUnknownFields(*os, {"Caption", "Version"}, "machine.os");
        if (const Value* c = os->find("Caption")) {
            if (!c->isString())
                invalid("machine.os.Caption must be a string");
            target.osCaption = c->asString();
        }
        if (const Value* v = os->find("Version")) {
            if (!v->isString())
                invalid("machine.os.Version must be a string");
            target.osVersion = v->asString();
        }
    }
    if (const Value* account = m.find("account")) {
        if (!account->isString() ||
            (account->asString() != "user" && account->asString() != "system")) {
            invalid("machine.account must be \"user\" or \"system\"");
        }
        target.localSystem = account->asString() == "system";
    }
}

// The processor architecture and the user interface language.
void readArchitectureAndLanguage(const Value& m, sim::Machine& target) {
    if (const Value* a = m.find("architecture")) {
        static const std::pair<const char*, platform::Architecture> kNames[] = {
            {"amd64", platform::Architecture::Amd64},
            {"x86", platform::Architecture::X86},
            {"arm64", platform::Architecture::Arm64},
        };
        const auto* match = std::find_if(std::begin(kNames), std::end(kNames), [&](const auto& n) {
            return a->isString() && a->asString() == n.first;
        });
        if (match == std::end(kNames))
            invalid("machine.architecture must be \"amd64\", \"x86\" or \"arm64\"");
        target.architecture = match->second;
    }
    if (const Value* l = m.find("language")) {
        // A LANGID in hexadecimal, as "0404" or "0x0404".
        std::string text = l->isString() ? l->asString() : std::string();
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
            text.erase(0, 2);
        unsigned id = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id, 16);
        if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
            id > std::numeric_limits<std::uint16_t>::max())
            invalid("machine.language must be a hexadecimal language id such as \"0404\"");
        target.language = static_cast<std::uint16_t>(id);
    }
}

// The programs that are missing and the state of each service.
void readProgramsAndServices(const Value& m, sim::Machine& target) {
    if (const Value* missing = m.find("missingPrograms")) {
        if (!missing->isArray())
            invalid("machine.missingPrograms must be an array");
        for (const Value& p : missing->asArray()) {
            if (!p.isString())
                invalid("machine.missingPrograms: names must be strings");
            target.missingPrograms.insert(sim::asciiLower(text::withoutExeSuffix(p.asString())));
        }
    }
    if (const Value* services = m.find("services")) {
        if (!services->isObject())
            invalid("machine.services must be an object");
        for (const auto& [name, state] : services->members()) {
            if (!state.isString())
                invalid("machine.services: states must be strings");
            target.services[name] = state.asString();
        }
    }
}

// One fault of machine.faults: what it matches, and how it fails the call.
sim::Fault faultFrom(const Value& f) {
    sim::Fault fault;
    fault.match = Value::object();
    for (const auto& [key, value] : f.members()) {
        if (key == "times") {
            if (!value.isNumber())
                invalid("machine.faults: times must be a number");
            fault.times = value.asInteger();
        } else if (key == "skip") {
            if (!value.isNumber())
                invalid("machine.faults: skip must be a number");
            fault.skip = value.asInteger();
        } else if (key == "exitCode" || key == "count" || key == "removed" ||
                   sim::writtenAfterNetworkCall(*f.find("op"), key)) {
            // Written after the call: a fault copied from a transcript matches on what
            // the call is asked, not on what it answered.
        } else if (key == "number") {
            if (!value.isNumber())
                invalid("machine.faults: number must be a number");
            fault.number = value.asInteger();
        } else if (key == "description") {
            if (!value.isString())
                invalid("machine.faults: description must be a string");
            fault.description = value.asString();
        } else if (key == "result") {
            const Value* op = f.find("op");
            if (!value.isNumber() || !op->isString() ||
                (op->asString() != "wmi.call" && op->asString() != "run")) {
                invalid("machine.faults: result must be a number, for a wmi.call or run");
            }
            fault.result = value.asInteger();
        } else {
            fault.match.set(key, value);
        }
    }
    return fault;
}

}  // namespace

void configureMachine(const Value& m, sim::Machine& target) {
    target.adapters = {
        objectFrom(sim::json::parse(R"({"IPEnabled": true, "IPAddress": ["192.168.1.23"]})"),
                   "Win32_NetworkAdapterConfiguration", "adapters")};
    readComputer(m, target);
    if (const Value* ports = m.find("ports"))
        target.ports = portsFrom(*ports);
    if (const Value* drivers = m.find("drivers"))
        target.drivers = driversFrom(*drivers);
    readSystem(m, target);
    readArchitectureAndLanguage(m, target);
    readProgramsAndServices(m, target);
    if (const Value* network = m.find("network"))
        target.network = sim::readNetworkHosts(*network);
    if (const Value* faults = m.find("faults")) {
        if (!faults->isArray())
            invalid("machine.faults must be an array");
        for (const Value& f : faults->asArray()) {
            if (!f.isObject() || !f.has("op"))
                invalid("machine.faults: every fault needs an \"op\"");
            target.faults.push_back(faultFrom(f));
        }
    }
}

}  // namespace scenario
