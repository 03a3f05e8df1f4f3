// The diagnostic buttons and the fixed local port.
#include "tools/tool_buttons.h"

#include <algorithm>
#include <initializer_list>

#include "command/install_lines.h"
#include "profile/profile_store.h"

namespace tools {

namespace {

void tell(platform::Services& os, const std::string& text) {
    os.messageBoxes.show(text, forms::kAppTitle, platform::Icon::None, platform::Buttons::Ok);
}

}  // namespace

void checkDriverInstalled(ToolContext& ctx) {
    platform::Services& os = ctx.os;
    // The model as ip.ini holds it; a folder without a profile gets the default line first, as
    // the main window does.
    profile::ProfileStore store(os.files, os.codepage);
    store.ensureExists();
    const std::string model = profile::fromParts(store.readParts()).modelName;
    auto wmi = os.wmi.connect(kImpersonatingMoniker);
    for (const platform::WmiObject& printer :
         wmi->execQuery("Select * from Win32_Printer", std::nullopt)) {
        // An empty model is found in every name, as a search for nothing is.
        bool found = printer.text("Name").find(model) != std::string::npos;
        tell(os, found ? "有找到印表機" : "沒找到印表機");
    }
}

void showSystemVersion(ToolContext& ctx) {
    platform::Services& os = ctx.os;
    auto wmi = os.wmi.connect(kImpersonatingMoniker);
    for (const platform::WmiObject& system :
         wmi->execQuery("Select * from Win32_OperatingSystem", std::nullopt)) {
        tell(os, system.text("Caption") + "  " + system.text("Version"));
    }
}

void registerFixedSharePort(ToolContext& ctx) {
    platform::Services& os = ctx.os;
    auto cimv2 = os.wmi.connect(command::kCimv2Moniker);
    const platform::WmiObject spooler = cimv2->get(command::kSpoolerPath);
    auto registry = os.wmi.connect(command::kRegistryMoniker);
    platform::WmiObject provider;
    provider.className = "StdRegProv";
    provider.path = "StdRegProv";
    provider.isClass = true;

    const std::string step = std::string("新增本機連接埠 ") + kFixedSharePort;
    std::vector<std::string> failures;
    auto fail = [&](const std::string& reason) {
        ctx.outcome.fail(step, reason);
        failures.push_back(reason);
    };
    // Each result is looked at: a spooler that did not stop does not read the new port, one
    // that did not start again leaves every printer of the computer without a spooler.
    auto call = [&](platform::WmiService& service, const platform::WmiObject& target,
                    const char* method, const std::vector<platform::Value>& args,
                    std::initializer_list<long long> fine, const std::string& what) {
        std::optional<long long> result;
        if (auto raised =
                ctx.runtime.trap([&] { result = service.callMethod(target, method, args); })) {
            fail(what + "：" + forms::reasonOf(*raised));
        } else if (result && std::find(fine.begin(), fine.end(), *result) == fine.end()) {
            fail(what + "（" + method + " 傳回 " + std::to_string(*result) + "）");
        }
    };
    call(*cimv2, spooler, "StopService", {}, {0, platform::service_result::kNotActive},
         "列印多工緩衝處理器沒有停止");
    call(*registry, provider, "SetStringValue",
         {platform::Value::uint32(command::kLocalMachineHive),
          platform::Value::text(command::kPortsKey), platform::Value::text(kFixedSharePort),
          platform::Value::text("REG_SZ")},
         {0}, "登錄的 Ports 值沒有寫入");
    // Whatever happened above, the spooler is started again.
    call(*cimv2, spooler, "StartService", {}, {0, platform::service_result::kAlreadyRunning},
         "列印多工緩衝處理器沒有啟動");

    if (failures.empty()) {
        os.messageBoxes.show("ok", forms::kAppTitle, platform::Icon::Information,
                             platform::Buttons::Ok);
        return;
    }
    std::string reasons;
    for (const std::string& f : failures)
        reasons += (reasons.empty() ? "" : "\r\n") + f;
    os.messageBoxes.show(stepFailureText(step, "", reasons), forms::kAppTitle, platform::Icon::Stop,
                         platform::Buttons::Ok);
}

}  // namespace tools
