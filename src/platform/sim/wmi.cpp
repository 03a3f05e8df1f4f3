#include <algorithm>

#include "platform/error_texts.h"
#include "platform/sim/commands.h"
#include "platform/sim/services.h"
#include "platform/sim/wmi_values.h"
#include "platform/sim/wql.h"

namespace sim {

namespace {

// Return codes of the printer driver provider and of RenamePrinter.
constexpr long long kFileMissing = 2;        // ERROR_FILE_NOT_FOUND
constexpr long long kInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
constexpr long long kDriverNotInInf = 1797;  // ERROR_UNKNOWN_PRINTER_DRIVER
constexpr long long kBadPrinterName = 1801;  // ERROR_INVALID_PRINTER_NAME

std::string relPath(const std::string& className, const std::string& key,
                    const std::string& value) {
    return className + "." + key + "=\"" + value + "\"";
}

platform::WmiObject makeObject(const std::string& className, const std::string& key,
                               const std::string& keyValue, platform::Properties props) {
    platform::WmiObject o;
    o.className = className;
    o.path = relPath(className, key, keyValue);
    o.properties = std::move(props);
    return o;
}

std::string textOf(const platform::Value& v) {
    using K = platform::Value::Kind;
    switch (v.kind) {
        case K::Bool:
            return v.boolean ? "true" : "false";
        case K::Int16:
        case K::Int32:
        case K::UInt32:
            return std::to_string(v.integer);
        case K::String:
            return v.string;
        default:
            return {};
    }
}

// Every instance of a class the machine knows, or absent for a class it does not have.
std::optional<std::vector<platform::WmiObject>> instancesOf(Machine& m, const std::string& cls) {
    using platform::Value;
    std::string c = asciiLower(cls);
    std::vector<platform::WmiObject> out;
    if (c == "win32_networkadapterconfiguration") {
        long long index = 0;
        for (const platform::WmiObject& a : m.adapters) {
            platform::WmiObject o = a;
            o.className = "Win32_NetworkAdapterConfiguration";
            if (!o.property("Index"))
                o.set("Index", Value::uint32(static_cast<std::uint32_t>(index)));
            o.path = "Win32_NetworkAdapterConfiguration.Index=" + std::to_string(index++);
            out.push_back(std::move(o));
        }
    } else if (c == "win32_printer") {
        for (const platform::WmiObject& p : m.printers) {
            platform::WmiObject o = p;
            o.className = "Win32_Printer";
            const Value* name = o.property("Name");
            std::string n = name ? name->string : "";
            if (!o.property("DeviceID"))
                o.set("DeviceID", Value::text(n));
            o.path = relPath("Win32_Printer", "DeviceID", n);
            out.push_back(std::move(o));
        }
    } else if (c == "win32_printerconfiguration") {
        for (const platform::WmiObject& p : m.printers) {
            const Value* name = p.property("Name");
            std::string n = name ? name->string : "";
            out.push_back(makeObject("Win32_PrinterConfiguration", "Name", n,
                                     {{"Name", Value::text(n)}, {"Description", Value::text(n)}}));
        }
    } else if (c == "win32_service") {
        for (const auto& [name, st] : m.services) {
            out.push_back(makeObject("Win32_Service", "Name", name,
                                     {{"Name", Value::text(name)}, {"State", Value::text(st)}}));
        }
    } else if (c == "win32_operatingsystem") {
        out.push_back(makeObject("Win32_OperatingSystem", "Name", m.osCaption,
                                 {{"Caption", Value::text(m.osCaption)},
                                  {"Version", Value::text(m.osVersion)},
                                  {"CSName", Value::text(m.computerName)}}));
    } else if (c == "win32_tcpipprinterport") {
        for (const Port& p : m.ports) {
            out.push_back(makeObject("Win32_TCPIPPrinterPort", "Name", p.name,
                                     {{"Name", Value::text(p.name)},
                                      {"HostAddress", Value::text(p.hostAddress)},
                                      {"PortNumber", Value::text(p.portNumber)},
                                      {"Protocol", Value::int32(static_cast<int>(p.protocol))},
                                      {"SNMPEnabled", Value::fromBool(p.snmpEnabled)}}));
        }
    } else if (c == "win32_printerdriver") {
        for (const std::string& d : m.drivers) {
            out.push_back(makeObject("Win32_PrinterDriver", "Name", d, {{"Name", Value::text(d)}}));
        }
    } else {
        return std::nullopt;
    }
    return out;
}

bool satisfies(const platform::WmiObject& o, const std::vector<WqlCondition>& conditions) {
    for (const WqlCondition& cond : conditions) {
        const platform::Value* v = nullptr;
        for (const auto& [name, value] : o.properties) {
            if (asciiLower(name) == asciiLower(cond.property))
                v = &value;
        }
        if (v == nullptr)
            return false;
        // WQL compares text without regard to case.
        if (asciiLower(textOf(*v)) != asciiLower(cond.value))
            return false;
    }
    return true;
}

// A property by name without regard to case, as WMI reads names.
const platform::Value* propertyIgnoringCase(const platform::Properties& props,
                                            const std::string& name) {
    for (const auto& [key, value] : props) {
        if (asciiLower(key) == asciiLower(name))
            return &value;
    }
    return nullptr;
}

std::string textIgnoringCase(const platform::Properties& props, const std::string& name) {
    const platform::Value* v = propertyIgnoringCase(props, name);
    return v ? textOf(*v) : std::string();
}

// The package folder's file an INF path names: a bare name, ".\name", or the name in the
// executable's folder; a path in double quotes counts as the path inside them.
std::string packageFileOf(const Machine& m, std::string path) {
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    std::string folder = asciiLower(m.folder);
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    folder += '\\';
    if (asciiLower(path).rfind(folder, 0) == 0) {
        // A root folder's own backslash and the one added after it read as one.
        std::size_t name = path.find_first_not_of('\\', folder.size() - 1);
        path = name == std::string::npos ? std::string() : path.substr(name);
    } else if (path.rfind(".\\", 0) == 0) {
        path = path.substr(2);
    }
    // Anything still in a folder lies outside the package.
    return path.find_first_of("\\/:") == std::string::npos ? path : std::string();
}

json::Value argsJson(const std::vector<platform::Value>& args) {
    json::Value a = json::Value::array();
    for (const platform::Value& v : args)
        a.push(toJson(v));
    return a;
}

std::string argText(const std::vector<platform::Value>& args, std::size_t i) {
    return i < args.size() ? textOf(args[i]) : std::string();
}

class SimWmiService : public platform::WmiService {
  public:
    explicit SimWmiService(Machine& m) : m_(m) {}

    std::vector<platform::WmiObject> execQuery(const std::string& wql,
                                               std::optional<int> flags) override {
        json::Value line = Transcript::line("wmi.query");
        line.set("wql", wql);
        line.set("flags", flags ? json::Value(*flags) : json::Value());
        m_.check(line, platform::errors::kWbemFailed);
        auto query = parseWql(wql);
        if (!query)
            fail(line, platform::errors::kWbemInvalidQuery);
        auto all = instancesOf(m_, query->className);
        if (!all)
            fail(line, platform::errors::kWbemInvalidClass);
        std::vector<platform::WmiObject> result;
        for (platform::WmiObject& o : *all) {
            if (satisfies(o, query->conditions))
                result.push_back(std::move(o));
        }
        line.set("count", static_cast<long long>(result.size()));
        m_.record(line);
        return result;
    }

    platform::WmiObject get(const std::string& path) override {
        json::Value line = Transcript::line("wmi.get");
        line.set("path", path);
        m_.check(line, platform::errors::kWbemFailed);
        auto parsed = parseObjectPath(path);
        if (!parsed)
            fail(line, platform::errors::kWbemNotFound);
        if (asciiLower(parsed->className) == "stdregprov") {
            m_.record(line);
            return classObject("StdRegProv");
        }
        auto all = instancesOf(m_, parsed->className);
        if (!all)
            fail(line, platform::errors::kWbemNotFound);
        if (parsed->conditions.empty()) {
            m_.record(line);
            return classObject((*all).empty() ? parsed->className
                                              : canonicalClass(parsed->className));
        }
        for (platform::WmiObject& o : *all) {
            if (satisfies(o, parsed->conditions)) {
                m_.record(line);
                o.path = path;
                return o;
            }
        }
        fail(line, platform::errors::kWbemNotFound);
    }

    platform::WmiObject spawnInstance(const platform::WmiObject& classObject) override {
        json::Value line = Transcript::line("wmi.spawn");
        line.set("class", classObject.className);
        m_.check(line, platform::errors::kWbemFailed);
        m_.record(line);
        platform::WmiObject o;
        o.className = classObject.className;
        return o;
    }

    void put(const platform::WmiObject& instance) override {
        json::Value line = Transcript::line("wmi.put");
        line.set("class", instance.className);
        line.set("props", toJson(instance.properties));
        m_.check(line, platform::errors::kWbemFailed);
        store(instance, line);
        m_.record(line);
    }

    std::optional<long long> callMethod(const platform::WmiObject& target,
                                        const std::string& method,
                                        const std::vector<platform::Value>& args) override {
        json::Value line = Transcript::line("wmi.call");
        line.set("target", target.path.empty() ? target.className : target.path);
        line.set("method", method);
        line.set("args", argsJson(args));
        m_.check(line, platform::errors::kWbemFailed);
        std::optional<long long> result = m_.forcedResult(line);
        if (!result)
            result = invoke(target, method, args, line);
        line.set("result", result ? json::Value(*result) : json::Value());
        m_.record(line);
        return result;
    }

  private:
    [[noreturn]] void fail(const json::Value& line, long long number) { m_.fail(number, line); }

    static platform::WmiObject classObject(const std::string& className) {
        platform::WmiObject o;
        o.className = className;
        o.path = className;
        o.isClass = true;
        return o;
    }

    static std::string canonicalClass(const std::string& className) { return className; }

    std::string stringProp(const platform::WmiObject& o, const char* name) {
        const platform::Value* v = o.property(name);
        return v ? textOf(*v) : std::string();
    }

    void store(const platform::WmiObject& instance, const json::Value& line) {
        std::string cls = asciiLower(instance.className);
        if (cls == "win32_tcpipprinterport") {
            Port p;
            p.name = stringProp(instance, "Name");
            p.hostAddress = stringProp(instance, "HostAddress");
            p.portNumber = stringProp(instance, "PortNumber");
            if (const platform::Value* v = instance.property("Protocol"))
                p.protocol = v->integer;
            if (const platform::Value* v = instance.property("SNMPEnabled"))
                p.snmpEnabled = v->boolean;
            auto existing = std::find_if(m_.ports.begin(), m_.ports.end(), [&](const Port& q) {
                return asciiLower(q.name) == asciiLower(p.name);
            });
            if (existing != m_.ports.end()) {
                *existing = p;
            } else {
                m_.ports.push_back(p);
            }
        } else if (cls == "win32_printer") {
            storePrinter(instance, line);
        }
    }

    // The printer provider names the printer by DeviceID and reads property names without
    // regard to case; it needs the driver and the port installed, and updates a printer of
    // the same name in place.
    void storePrinter(const platform::WmiObject& instance, const json::Value& line) {
        const platform::Properties& props = instance.properties;
        std::string name = textIgnoringCase(props, "DeviceID");
        if (name.empty())
            name = textIgnoringCase(props, "Name");
        const std::string driver = textIgnoringCase(props, "DriverName");
        const std::string port = textIgnoringCase(props, "PortName");
        if (name.empty())
            fail(line, platform::errors::kWbemInvalidParameter);
        if (std::find(m_.drivers.begin(), m_.drivers.end(), driver) == m_.drivers.end())
            fail(line, platform::errors::kUnknownPrinterDriver);
        bool portKnown = std::any_of(m_.ports.begin(), m_.ports.end(), [&](const Port& p) {
            return asciiLower(p.name) == asciiLower(port);
        });
        if (!portKnown)
            fail(line, platform::errors::kUnknownPort);
        platform::WmiObject printer;
        printer.className = "Win32_Printer";
        printer.set("Name", platform::Value::text(name));
        printer.set("DriverName", platform::Value::text(driver));
        printer.set("PortName", platform::Value::text(port));
        for (const auto& [key, value] : props) {
            std::string k = asciiLower(key);
            if (k != "deviceid" && k != "name" && k != "drivername" && k != "portname")
                printer.set(key, value);
        }
        if (platform::WmiObject* existing = m_.printer(name)) {
            printer.set("Name", *existing->property("Name"));
            *existing = std::move(printer);
        } else {
            m_.printers.push_back(std::move(printer));
        }
    }

    // AddPrinterDriver with the filled driver record: installs the model when the INF it names
    // in the package folder lists it.
    long long addPrinterDriver(const std::vector<platform::Value>& args) {
        if (args.empty() || args[0].kind != platform::Value::Kind::Object)
            return kInvalidParameter;
        const platform::Properties& record = args[0].members;
        const std::string model = textIgnoringCase(record, "Name");
        const std::string inf = packageFileOf(m_, textIgnoringCase(record, "Infname"));
        if (inf.empty() || m_.file(inf) == nullptr)
            return kFileMissing;
        if (model.empty() || !infHoldsModel(m_, inf, model))
            return kDriverNotInInf;
        if (std::find(m_.drivers.begin(), m_.drivers.end(), model) == m_.drivers.end())
            m_.drivers.push_back(model);
        return 0;
    }

    std::optional<long long> invoke(const platform::WmiObject& target, const std::string& method,
                                    const std::vector<platform::Value>& args,
                                    const json::Value& line) {
        std::string cls = asciiLower(target.className);
        std::string name = asciiLower(method);
        if (cls == "win32_service") {
            std::string service = stringProp(target, "Name");
            auto it = std::find_if(m_.services.begin(), m_.services.end(), [&](const auto& entry) {
                return asciiLower(entry.first) == asciiLower(service);
            });
            if (it == m_.services.end())
                fail(line, platform::errors::kWbemNotFound);
            if (name == "stopservice") {
                if (it->second != "Running")
                    return platform::service_result::kNotActive;
                it->second = "Stopped";
                return 0;
            }
            if (name == "startservice") {
                if (it->second == "Running")
                    return platform::service_result::kAlreadyRunning;
                it->second = "Running";
                return 0;
            }
        } else if (cls == "stdregprov" && name == "setstringvalue") {
            std::string hive =
                argText(args, 0) == "2147483650" ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
            m_.setRegistry(hive + "\\" + argText(args, 1) + "\\" + argText(args, 2),
                           json::Value(argText(args, 3)));
            return 0;
        } else if (cls == "win32_printerdriver" && name == "addprinterdriver") {
            return addPrinterDriver(args);
        } else if (cls == "win32_printer" && name == "renameprinter") {
            std::string oldName = stringProp(target, "Name");
            for (platform::WmiObject& p : m_.printers) {
                const platform::Value* n = p.property("Name");
                if (n && n->string == oldName) {
                    p.set("Name", platform::Value::text(argText(args, 0)));
                    if (m_.defaultPrinter == oldName)
                        m_.defaultPrinter = argText(args, 0);
                    return 0;
                }
            }
            return kBadPrinterName;
        }
        fail(line, platform::errors::kWbemInvalidMethod);
    }

    Machine& m_;
};

}  // namespace

std::unique_ptr<platform::WmiService> SimWmi::connect(const std::string& moniker) {
    json::Value line = Transcript::line("wmi.connect");
    line.set("moniker", moniker);
    machine_.check(line, platform::errors::kRpcUnavailable);
    if (asciiLower(moniker).rfind("winmgmts:", 0) != 0) {
        machine_.fail(platform::errors::kMonikerSyntax, line);
    }
    machine_.record(line);
    return std::make_unique<SimWmiService>(machine_);
}

}  // namespace sim
