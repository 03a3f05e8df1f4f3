#include "platform/sim/machine.h"

#include "command/program_location.h"
#include "platform/error_texts.h"
#include "platform/sim/base64.h"
#include "platform/sim/codepage.h"
#include "platform/sim/wmi_values.h"
#include "text/text.h"

#include <charconv>

namespace sim {

std::string programOf(const std::string& commandLine) {
    std::string program(command::programWord(commandLine));
    std::size_t slash = program.find_last_of("\\/");
    if (slash != std::string::npos)
        program = program.substr(slash + 1);
    return asciiLower(text::withoutExeSuffix(program));
}

namespace {

bool matches(const json::Value& fault, const json::Value& line) {
    for (const auto& [key, expected] : fault.members()) {
        const json::Value* actual = line.find(key);
        if (actual == nullptr || !(*actual == expected))
            return false;
    }
    return true;
}

// A fault with "skip" lets its first matches pass.
bool letThrough(Fault& fault) {
    if (!fault.skip || *fault.skip <= 0)
        return false;
    --*fault.skip;
    return true;
}

}  // namespace

void Machine::check(const json::Value& callLine, long long defaultNumber) {
    for (Fault& fault : faults) {
        if (fault.result || (fault.times && *fault.times <= 0))
            continue;
        if (!matches(fault.match, callLine) || letThrough(fault))
            continue;
        if (fault.times)
            --*fault.times;
        raise(platform::Error(fault.number.value_or(defaultNumber),
                              fault.description.value_or(platform::errorText(defaultNumber)),
                              callLine.dump()));
    }
}

void Machine::fail(long long number, const json::Value& callLine) {
    raise(platform::errorFor(number, callLine.dump()));
}

void Machine::raise(const platform::Error& error) {
    if (errorLine) {
        transcript_.hold(errorLine(error));
    } else {
        json::Value line = Transcript::line("error");
        line.set("call", json::parse(*error.call()));
        line.set("number", error.number());
        line.set("description", error.description());
        line.set("trapped", true);
        transcript_.hold(line);
    }
    throw error;
}

std::optional<long long> Machine::forcedResult(const json::Value& callLine) {
    for (Fault& fault : faults) {
        if (!fault.result || (fault.times && *fault.times <= 0))
            continue;
        if (!matches(fault.match, callLine) || letThrough(fault))
            continue;
        if (fault.times)
            --*fault.times;
        return fault.result;
    }
    return std::nullopt;
}

SimFile* Machine::file(const std::string& name) {
    std::string key = asciiLower(name);
    if (text::startsWith(key, ".\\"))
        key = key.substr(2);
    for (SimFile& f : files_) {
        if (asciiLower(f.name) == key)
            return &f;
    }
    return nullptr;
}

SimFile& Machine::createFile(const std::string& name) {
    std::string bare = text::startsWith(name, ".\\") ? name.substr(2) : name;
    if (SimFile* existing = file(bare)) {
        existing->written = ++writes_;
        return *existing;
    }
    files_.push_back({bare, {}, false, ++writes_});
    return files_.back();
}

void Machine::removeFile(const std::string& name) {
    SimFile* f = file(name);
    if (f != nullptr)
        files_.erase(files_.begin() + (f - files_.data()));
}

bool Machine::programExists(const std::string& program) const {
    return missingPrograms.count(program) == 0;
}

std::string Machine::normalizedRegistryPath(const std::string& path) const {
    static const std::pair<const char*, const char*> kHives[] = {
        {"HKCU\\", "HKEY_CURRENT_USER\\"},
        {"HKLM\\", "HKEY_LOCAL_MACHINE\\"},
        {"HKCR\\", "HKEY_CLASSES_ROOT\\"},
        {"HKU\\", "HKEY_USERS\\"},
    };
    std::string upper = path;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    for (const auto& [shortName, longName] : kHives) {
        if (text::startsWith(upper, shortName)) {
            return longName + path.substr(std::string(shortName).size());
        }
    }
    for (const auto& [shortName, longName] : kHives) {
        std::string hive(longName);
        if (text::startsWith(upper, hive))
            return hive + path.substr(hive.size());
    }
    return path;
}

void Machine::setRegistry(const std::string& path, json::Value value) {
    std::string key = normalizedRegistryPath(path);
    for (auto& [existing, v] : registry) {
        if (asciiLower(existing) == asciiLower(key)) {
            v = std::move(value);
            return;
        }
    }
    registry.emplace_back(key, std::move(value));
}

const json::Value* Machine::registryValue(const std::string& path) const {
    std::string key = asciiLower(normalizedRegistryPath(path));
    for (const auto& [existing, v] : registry) {
        if (asciiLower(existing) == key)
            return &v;
    }
    return nullptr;
}

platform::WmiObject* Machine::printer(const std::string& name) {
    for (platform::WmiObject& p : printers) {
        const platform::Value* n = p.property("Name");
        if (n != nullptr && asciiLower(n->string) == asciiLower(name))
            return &p;
    }
    return nullptr;
}

namespace {

json::Value listOf(const std::vector<std::string>& items) {
    json::Value out = json::Value::array();
    for (const std::string& item : items)
        out.push(item);
    return out;
}

template <typename Map>
json::Value objectOf(const Map& entries) {
    json::Value out = json::Value::object();
    for (const auto& [key, value] : entries)
        out.set(key, value);
    return out;
}

json::Value filesOf(const std::vector<SimFile>& files, const SimCodepage& codepage) {
    json::Value out = json::Value::object();
    for (const SimFile& f : files) {
        if (codepage.isText(f.bytes)) {
            out.set(f.name, codepage.decode(f.bytes));
        } else {
            json::Value raw = json::Value::object();
            raw.set("base64", base64Encode(f.bytes));
            out.set(f.name, raw);
        }
    }
    return out;
}

json::Value printersOf(const std::vector<platform::WmiObject>& printers) {
    json::Value out = json::Value::array();
    for (const platform::WmiObject& p : printers) {
        json::Value o = json::Value::object();
        for (const char* field : {"Name", "DriverName", "PortName"}) {
            const platform::Value* v = p.property(field);
            o.set(field, v != nullptr ? toJson(*v) : json::Value(nullptr));
        }
        out.push(o);
    }
    return out;
}

json::Value portsOf(const std::vector<Port>& ports) {
    json::Value out = json::Value::array();
    for (const Port& p : ports) {
        json::Value o = json::Value::object();
        o.set("Name", p.name);
        o.set("HostAddress", p.hostAddress);
        o.set("PortNumber", p.portNumber);
        o.set("Protocol", p.protocol);
        o.set("SNMPEnabled", p.snmpEnabled);
        out.push(o);
    }
    return out;
}

}  // namespace

json::Value Machine::state(const SimCodepage& codepage) const {
    json::Value line = Transcript::line("state");
    line.set("files", filesOf(files_, codepage));
    line.set("printers", printersOf(printers));
    line.set("ports", portsOf(ports));
    line.set("drivers", listOf(drivers));
    line.set("defaultPrinter", defaultPrinter ? json::Value(*defaultPrinter) : json::Value());
    line.set("connections", listOf(connections));
    line.set("preferences", objectOf(preferences));
    line.set("registry", objectOf(registry));
    line.set("services", objectOf(services));
    line.set("log", listOf(log));
    return line;
}

}  // namespace sim

namespace sim {

platform::WindowsTarget targetOf(const Machine& machine) {
    platform::WindowsTarget t;
    t.architecture = machine.architecture;
    t.language = machine.language;
    // "major.minor.build"; a part that is missing or not a number keeps the default.
    unsigned* parts[] = {&t.major, &t.minor, &t.build};
    std::string_view rest = machine.osVersion;
    for (unsigned* part : parts) {
        const std::size_t dot = rest.find('.');
        std::string_view field = rest.substr(0, dot);
        unsigned value = 0;
        auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (error == std::errc() && end == field.data() + field.size())
            *part = value;
        if (dot == std::string_view::npos)
            break;
        rest.remove_prefix(dot + 1);
    }
    return t;
}

}  // namespace sim
