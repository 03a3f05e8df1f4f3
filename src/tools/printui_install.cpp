// The direct install through printui: setup now.
#include "tools/tool_buttons.h"

#include "command/install_lines.h"
#include "forms/damaged_package.h"
#include "inf/model_check.h"
#include "profile/address_check.h"
#include "profile/profile_store.h"
#include "text/text.h"

namespace tools {

bool installThroughPrintui(ToolContext& ctx, const std::string& address,
                           const std::string& printerName) {
    platform::Services& os = ctx.os;
    // The address passes the confirmation's check.
    if (!profile::isAcceptableAddress(address, os.codepage)) {
        os.messageBoxes.show("IP不正確", forms::kAppTitle, platform::Icon::Stop,
                             platform::Buttons::Ok);
        return false;
    }
    const std::vector<std::string> parts = profile::ProfileStore(os.files, os.codepage).readParts();
    if (const std::optional<std::string> damage = profile::damageOf(parts))
        forms::stopDamagedPackage(ctx.runtime, os, *damage);
    const profile::InstallProfile profile = profile::fromParts(parts);
    const std::string portName = command::tcpPortName(address);
    // Every text is checked before anything starts: no box may change what a line does.
    if (const std::optional<std::string> refused =
            refusedCommandPiece({{"印表機名稱", printerName},
                                 {"印表機模組", profile.modelName},
                                 {"INF檔名", profile.infFile},
                                 {"印表機IP", portName}})) {
        os.messageBoxes.show(*refused, forms::kAppTitle, platform::Icon::Stop,
                             platform::Buttons::Ok);
        return false;
    }
    if (auto why = inf::undeclaredModel(os, profile.infFile, profile.modelName))
        forms::stopDamagedPackage(ctx.runtime, os, *why);

    const std::string optionPair = text::chars(profile.optionFlags, 0, 2);
    for (const command::InstallPass& pass :
         command::planPasses(text::charAt(profile.optionFlags, 2), printerName)) {
        std::string port;
        if (const std::optional<platform::Error> e = ctx.runtime.trap([&] {
                auto wmi = os.wmi.connect(kClassMoniker);
                platform::WmiObject instance =
                    wmi->spawnInstance(wmi->get("Win32_TCPIPPrinterPort"));
                for (const auto& [name, value] : tcpPortRecord(address))
                    instance.set(name, value);
                wmi->put(instance);
                port = instance.property("Name")->string;
            })) {
            // Its install lines would only fail: nothing starts for this printer.
            const std::string step = "新增連接埠 " + portName;
            ctx.outcome.fail(step, *e);
            os.messageBoxes.show(stepFailureText(step, "印表機「" + pass.printerName + "」沒有安裝",
                                                 forms::reasonOf(*e)),
                                 forms::kAppTitle, platform::Icon::Stop, platform::Buttons::Ok);
            continue;
        }
        const std::string install =
            directInstallCommand(pass.printerName, profile.infFile, port, profile.modelName);
        const std::optional<std::string> launch =
            launchLine(optionPair, install,
                       directPreferenceCommand(install, pass.printerName, pass.preferenceFile),
                       directDefaultCommand(pass.printerName));
        os.launcher.start(kNoticeCommand, platform::window_style::kMinimized);
        if (launch)
            os.launcher.start(*launch, platform::window_style::kMinimized);
        os.launcher.start(command::kPrintersFolder, platform::window_style::kMinimized);
    }

    // The started lines run on; the program lives as long as the notice window, and its end
    // tells whether a step failed here.
    ctx.runtime.setExitCode(ctx.outcome.exitCode());
    return true;
}

}  // namespace tools
