#include "engine/engine_steps.h"
#include "engine/wait.h"

namespace engine {

namespace {

std::string tcpPort(EngineContext& ctx, const std::string& address, std::string portName) {
    std::unique_ptr<platform::WmiService> wmi;
    ctx.step([&] { wmi = ctx.os.wmi.connect("winmgmts:"); });
    if (!wmi)
        return portName;
    std::optional<platform::WmiObject> port;
    ctx.step([&] { port = wmi->spawnInstance(wmi->get("Win32_TCPIPPrinterPort")); });
    if (!port)
        return portName;  // no instance: the port name keeps its previous value
    port->set("Name", platform::Value::text(tcpPortName(address)));
    port->set("Protocol", platform::Value::int16(1));
    port->set("HostAddress", platform::Value::text(address));
    port->set("PortNumber", platform::Value::text("9100"));
    port->set("SNMPEnabled", platform::Value::fromBool(false));
    // An existing port of that name gets the same call; its failure is skipped.
    ctx.step([&] { wmi->put(*port); });
    return port->property("Name")->string;
}

std::string networkPort(EngineContext& ctx, const std::string& address, std::string portName) {
    std::unique_ptr<platform::WmiService> cimv2;
    std::optional<platform::WmiObject> spooler;
    ctx.step([&] {
        cimv2 = ctx.os.wmi.connect("winmgmts:\\\\.\\root\\cimv2");
        spooler = cimv2->get(kSpoolerPath);
    });
    std::unique_ptr<platform::WmiService> registry;
    ctx.step([&] { registry = ctx.os.wmi.connect("winmgmts:root\\default:StdRegProv"); });
    platform::WmiObject provider;
    provider.className = "StdRegProv";
    provider.path = "StdRegProv";
    provider.isClass = true;

    if (spooler)
        ctx.step([&] { cimv2->callMethod(*spooler, "StopService", {}); });
    if (registry) {
        ctx.step([&] {
            registry->callMethod(
                provider, "SetStringValue",
                {platform::Value::uint32(kLocalMachineHive), platform::Value::text(kPortsKey),
                 platform::Value::text(address), platform::Value::text("REG_SZ")});
        });
    }
    if (spooler)
        ctx.step([&] { cimv2->callMethod(*spooler, "StartService", {}); });
    portName = networkPortName(address);
    ctx.step([&] { WaitSeconds(ctx.os.clock, ctx.os.messageBoxes, 3); });

    std::optional<long long> lastStart;
    ctx.step([&] {
        auto wmi = ctx.os.wmi.connect("winmgmts:");
        for (const platform::WmiObject& service : wmi->execQuery(kSpoolerQuery, std::nullopt)) {
            ctx.step([&] { lastStart = wmi->callMethod(service, "StartService", {}); });
        }
    });
    // A start that really started the spooler gets more time; "already running" does not.
    if (lastStart && *lastStart == 0)
        ctx.step([&] { WaitSeconds(ctx.os.clock, ctx.os.messageBoxes, 3); });
    return portName;
}

}  // namespace

std::string createPort(EngineContext& ctx, const std::string& address, std::string portName) {
    if (isNetworkPath(address))
        return networkPort(ctx, address, std::move(portName));
    return tcpPort(ctx, address, std::move(portName));
}

}  // namespace engine
