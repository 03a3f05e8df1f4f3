#include "engine/engine_steps.h"
#include "forms/wait.h"

namespace engine {

namespace {

PortName tcpPort(EngineContext& ctx, const std::string& address, PortName portName) {
    const std::string name = command::tcpPortName(address);
    const std::string task = "新增連接埠 " + name;
    std::unique_ptr<platform::WmiService> wmi;
    ctx.task(task, [&] { wmi = ctx.os.wmi.connect("winmgmts:"); });
    if (!wmi)
        return portName;
    std::optional<platform::WmiObject> port;
    ctx.task(task, [&] { port = wmi->spawnInstance(wmi->get("Win32_TCPIPPrinterPort")); });
    if (!port)
        return portName;  // no instance: the port name keeps its previous value
    port->set("Name", platform::Value::text(name));
    port->set("Protocol", platform::Value::int16(1));
    port->set("HostAddress", platform::Value::text(address));
    port->set("PortNumber", platform::Value::text("9100"));
    port->set("SNMPEnabled", platform::Value::fromBool(false));
    // An existing port of that name gets the same call; its failure is skipped.
    ctx.task(task, [&] { wmi->put(*port); });
    return PortName{port->property("Name")->string, false};
}

// Every spooler the system lists is started again, and given time when it really started.
void startSpoolerAgain(EngineContext& ctx, const std::string& task) {
    std::optional<long long> lastStart;
    ctx.task(task, [&] {
        auto wmi = ctx.os.wmi.connect("winmgmts:");
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

PortName networkPort(EngineContext& ctx, const std::string& address) {
    const std::string task = "新增連接埠 " + address;
    std::unique_ptr<platform::WmiService> cimv2;
    std::optional<platform::WmiObject> spooler;
    ctx.task(task, [&] {
        cimv2 = ctx.os.wmi.connect("winmgmts:\\\\.\\root\\cimv2");
        spooler = cimv2->get(command::kSpoolerPath);
    });
    std::unique_ptr<platform::WmiService> registry;
    ctx.task(task, [&] { registry = ctx.os.wmi.connect("winmgmts:root\\default:StdRegProv"); });
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
            }
        });
    }
    if (spooler)
        ctx.step([&] { cimv2->callMethod(*spooler, "StartService", {}); });
    ctx.step([&] { forms::WaitSeconds(ctx.os.clock, ctx.os.messageBoxes, 3); });
    startSpoolerAgain(ctx, task);
    return PortName{address, true};
}

}  // namespace

PortName createPort(EngineContext& ctx, const std::string& address, PortName portName) {
    if (command::isNetworkPath(address))
        return networkPort(ctx, address);
    return tcpPort(ctx, address, std::move(portName));
}

}  // namespace engine
