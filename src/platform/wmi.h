#pragma once
// Windows Management Instrumentation: services opened by moniker, queries, objects fetched by
// path, new instances, stored instances and method calls. Objects are plain values; the real
// implementation fetches the live object again by class or path when it needs one.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/value.h"

namespace platform {

// What Win32_Service's StopService and StartService return when there was nothing to do.
namespace service_result {
inline constexpr long long kNotActive = 6;        // StopService: it was not running
inline constexpr long long kAlreadyRunning = 10;  // StartService: it was running
}  // namespace service_result

struct WmiObject {
    std::string className;  // e.g. "Win32_TCPIPPrinterPort"
    std::string path;       // the path it was fetched by, or its relative path; empty for new ones
    bool isClass = false;   // a class object (from Get of a class name) rather than an instance
    Properties properties;  // read from the machine, or set by the program

    const Value* property(const std::string& name) const { return findProperty(properties, name); }
    // A text property's value; empty when the object has no such text.
    std::string text(const std::string& name) const {
        const Value* v = property(name);
        return v != nullptr && v->kind == Value::Kind::String ? v->string : std::string();
    }
    void set(const std::string& name, Value v) { setProperty(properties, name, std::move(v)); }
};

class WmiService {
  public:
    virtual ~WmiService() = default;
    // ExecQuery; flags absent means the default (none given by the caller).
    virtual std::vector<WmiObject> execQuery(const std::string& wql, std::optional<int> flags) = 0;
    // Get of a class name or an object path.
    virtual WmiObject get(const std::string& path) = 0;
    // SpawnInstance_ on a class object.
    virtual WmiObject spawnInstance(const WmiObject& classObject) = 0;
    // Put_ of an instance with every property the caller set.
    virtual void put(const WmiObject& instance) = 0;
    // A method of an object (or of the provider the service was opened on); returns the
    // method's ReturnValue when it has one.
    virtual std::optional<long long> callMethod(const WmiObject& target, const std::string& method,
                                                const std::vector<Value>& args) = 0;
};

class Wmi {
  public:
    virtual ~Wmi() = default;
    // Opens the service a moniker names ("winmgmts:\\.\root\cimv2", "winmgmts:",
    // "winmgmts:root\default:StdRegProv", ...).
    virtual std::unique_ptr<WmiService> connect(const std::string& moniker) = 0;
};

}  // namespace platform
