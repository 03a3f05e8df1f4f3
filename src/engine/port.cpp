#include "engine/engine_steps.h"
#include "forms/wait.h"

namespace engine {

namespace {

std::optional<PortName> tcpPort(EngineContext& ctx, const std::string& address) {
    const std::string name = command::tcpPortName(address);
    const std::string task = "新增連接埠 " + name;
    std::unique_ptr<platform::WmiService> wmi;
    ctx.task(task, [&] { wmi = ctx.os.wmi.connect(command::kDefaultNamespaceMoniker); });
    if (!wmi)
        return std::nullopt;
    // Only a port this run made is its to take back; a look that fails leaves that unknown.
    std::optional<bool> existed;
    ctx.step([&] { existed = !wmi->execQuery(command::tcpPortQuery(name), std::nullopt).empty(); });
    const bool knownThere = existed.value_or(false);
    std::optional<platform::WmiObject> port;
    ctx.task(task, [&] { port = wmi->spawnInstance(wmi->get("Win32_TCPIPPrinterPort")); });
    if (!port)
        return knownThere ? std::optional(PortName{name, false}) : std::nullopt;
    port->set("Name", platform::Value::text(name));
    port->set("Protocol", platform::Value::int16(1));
    port->set("HostAddress", platform::Value::text(address));
    port->set("PortNumber", platform::Value::text(std::to_string(platform::kRawPrintPort)));
    port->set("SNMPEnabled", platform::Value::fromBool(false));
    // A port of that name gets the same call, which updates it. When the call fails on a port
    // that is there, the printer still goes on it; the failure is told at the end.
    if (!ctx.task(task, [&] { wmi->put(*port); }))
        return knownThere ? std::optional(PortName{name, false}) : std::nullopt;
    if (!existed)
        ctx.made.unsurePort = name;
    else if (!knownThere)
        ctx.made.port = name;
    return PortName{port->property("Name")->string, false};
}

// Every spooler the system lists is started again, and given time when it really started.
void startSpoolerAgain(EngineContext& ctx, const std::string& task) {
    std::optional<long long> lastStart;
    ctx.task(task, [&] {
        auto wmi = ctx.os.wmi.connect(command::kDefaultNamespaceMoniker);
        for (const platform::WmiObject& service :
             wmi->execQuery(command::kSpoolerQuery, std::nullopt)) {
            lastStart = wmi->callMethod(service, "StartService", {});
        }
    });
    // A start that really started the spooler gets more time; "already running" does not.
    if (lastStart && *lastStart == 0)
        ctx.step([&] { forms::WaitSeconds(ctx.os.clock, ctx.os.messageBoxes, 3); });
    // 0 started, 10 already running: anything else leaves the spooler, and the port, down.
    if (lastStart && *lastStart != 0 && *lastStart != platform::service_result::kAlreadyRunning) {
        ctx.outcome.fail(task, "列印多工緩衝處理器沒有啟動（StartService 傳回 " +
                                   std::to_string(*lastStart) + "）");
    }
}

std::optional<PortName> networkPort(EngineContext& ctx, const std::string& address) {
    const std::string task = "新增連接埠 " + address;
    std::unique_ptr<platform::WmiService> cimv2;
    std::optional<platform::WmiObject> spooler;
    ctx.task(task, [&] {
        cimv2 = ctx.os.wmi.connect(command::kCimv2Moniker);
        spooler = cimv2->get(command::kSpoolerPath);
    });
    std::unique_ptr<platform::WmiService> registry;
    ctx.task(task, [&] { registry = ctx.os.wmi.connect(command::kRegistryMoniker); });
    platform::WmiObject provider;
    provider.className = "StdRegProv";
    provider.path = "StdRegProv";
    provider.isClass = true;

    // The spooler reads its ports when it starts: a spooler that did not stop will not know
    // the new port until the computer restarts.
    if (spooler) {
        ctx.task(task, [&] {
            std::optional<long long> stopped = cimv2->callMethod(*spooler, "StopService", {});
            if (stopped && *stopped != 0 && *stopped != platform::service_result::kNotActive) {
                ctx.outcome.fail(task, "列印多工緩衝處理器沒有停止（StopService 傳回 " +
                                           std::to_string(*stopped) + "）");
            }
        });
    }
    // The Ports value is the port: without it the printer has nothing to print to.
    bool written = false;
    if (registry) {
        ctx.task(task, [&] {
            std::optional<long long> result = registry->callMethod(
                provider, "SetStringValue",
                {platform::Value::uint32(command::kLocalMachineHive),
                 platform::Value::text(command::kPortsKey), platform::Value::text(address),
                 platform::Value::text("REG_SZ")});
            if (result && *result != 0) {
                ctx.outcome.fail(task, "登錄的 Ports 值沒有寫入（SetStringValue 傳回 " +
                                           std::to_string(*result) + "）");
            } else {
                written = true;
            }
        });
    }
    if (spooler)
        ctx.step([&] { cimv2->callMethod(*spooler, "StartService", {}); });
    ctx.step([&] { forms::WaitSeconds(ctx.os.clock, ctx.os.messageBoxes, 3); });
    startSpoolerAgain(ctx, task);
    if (!written)
        return std::nullopt;
    // Whether the value was there before is not looked up: an undo keeps it and says so.
    ctx.made.unsurePort = address;
    return PortName{address, true};
}

}  // namespace

std::optional<PortName> createPort(EngineContext& ctx, const std::string& address) {
    if (command::isNetworkPath(address))
        return networkPort(ctx, address);
    return tcpPort(ctx, address);
}

}  // namespace engine
