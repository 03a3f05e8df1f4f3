// The direct install through printui: setup now.
#include "tools/tool_buttons.h"

#include "command/install_lines.h"
#include "forms/damaged_package.h"
#include "inf/model_check.h"
#include "profile/address_check.h"
#include "profile/profile_store.h"
#include "text/text.h"

namespace tools {

namespace {

void tellStop(platform::Services& os, const std::string& text) {
    os.messageBoxes.show(text, forms::kAppTitle, platform::Icon::Stop, platform::Buttons::Ok);
}

// The profile to install from, once the address and every text that reaches a line pass; none
// when one was refused, which the user was told. A damaged package stops the program.
std::optional<profile::InstallProfile> checkedProfile(ToolContext& ctx, const std::string& address,
                                                      const std::string& printerName) {
    platform::Services& os = ctx.os;
    // The address passes the confirmation's check.
    if (!profile::isAcceptableAddress(address, os.codepage)) {
        tellStop(os, "IP不正確");
        return std::nullopt;
    }
    const std::vector<std::string> parts = profile::ProfileStore(os.files, os.codepage).readParts();
    if (const std::optional<std::string> damage = profile::damageOf(parts))
        forms::stopDamagedPackage(ctx.runtime, os, *damage);
    const profile::InstallProfile profile = profile::fromParts(parts);
    // Every text is checked before anything starts: no box may change what a line does.
    if (const std::optional<std::string> refused =
            refusedCommandPiece({{"印表機名稱", printerName},
                                 {"印表機模組", profile.modelName},
                                 {"INF檔名", profile.infFile},
                                 {"印表機IP", command::tcpPortName(address)}})) {
        tellStop(os, *refused);
        return std::nullopt;
    }
    if (auto why = inf::undeclaredModel(os, profile.infFile, profile.modelName))
        forms::stopDamagedPackage(ctx.runtime, os, *why);
    return profile;
}

// The port of one printer; none when it failed, which is kept and told.
std::optional<std::string> makePort(ToolContext& ctx, const std::string& address,
                                    const std::string& printerName) {
    std::string port;
    if (const std::optional<platform::Error> e = ctx.runtime.trap([&] {
            auto wmi = ctx.os.wmi.connect(kClassMoniker);
            platform::WmiObject instance = wmi->spawnInstance(wmi->get("Win32_TCPIPPrinterPort"));
            for (const auto& [name, value] : tcpPortRecord(address))
                instance.set(name, value);
            wmi->put(instance);
            port = instance.property("Name")->string;
        })) {
        const std::string step = "新增連接埠 " + command::tcpPortName(address);
        ctx.outcome.fail(step, *e);
        tellStop(ctx.os, stepFailureText(step, "印表機「" + printerName + "」沒有安裝",
                                         forms::reasonOf(*e)));
        return std::nullopt;
    }
    return port;
}

}  // namespace

bool installThroughPrintui(ToolContext& ctx, const std::string& address,
                           const std::string& printerName) {
    const std::optional<profile::InstallProfile> profile =
        checkedProfile(ctx, address, printerName);
    if (!profile)
        return false;
    platform::Services& os = ctx.os;
    const std::string optionPair = text::chars(profile->optionFlags, 0, 2);
    for (const command::InstallPass& pass :
         command::planPasses(text::charAt(profile->optionFlags, 2), printerName)) {
        // Without its port the install lines would only fail: nothing starts for this printer.
        const std::optional<std::string> port = makePort(ctx, address, pass.printerName);
        if (!port)
            continue;
        const std::string install =
            directInstallCommand(pass.printerName, profile->infFile, *port, profile->modelName);
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
