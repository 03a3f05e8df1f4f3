// The direct install through printui: setup now.
#include "tools/tool_buttons.h"

#include "app/address_check.h"
#include "app/form1.h"
#include "app/inf_check.h"
#include "app/outcome.h"
#include "app/program.h"
#include "engine/command_lines.h"
#include "forms/runtime.h"
#include "profile/profile_store.h"
#include "text/text.h"
#include "ui/msg_form.h"

namespace tools {

void installThroughPrintui(app::Program& program) {
    platform::Services& os = program.services();
    app::Form1& main = program.form1();
    // The boxes as they stand, confirmed or not; the address passes the confirmation's check.
    const std::string address = main.Text1.text();
    const std::string printerName = main.Text2.text();
    if (!app::isAcceptableAddress(address, os.codepage)) {
        os.messageBoxes.show("IP不正確", forms::kAppTitle, platform::Icon::Stop,
                             platform::Buttons::Ok);
        return;
    }
    const std::vector<std::string> parts = profile::ProfileStore(os.files, os.codepage).readParts();
    if (const std::optional<std::string> damage = profile::damageOf(parts)) {
        os.log.write("安裝套件已損毀：" + *damage);
        os.messageBoxes.show(app::damagedPackageText(*damage), forms::kAppTitle,
                             platform::Icon::Stop, platform::Buttons::Ok);
        program.runtime().endProgram(forms::exit_code::kDamagedPackage);
    }
    const profile::InstallProfile profile = profile::fromParts(parts);
    const std::string portName = engine::tcpPortName(address);
    // Every text is checked before anything starts: no box may change what a line does.
    if (const std::optional<std::string> refused =
            refusedCommandPiece({{"印表機名稱", printerName},
                                 {"印表機模組", profile.modelName},
                                 {"INF檔名", profile.infFile},
                                 {"印表機IP", portName}})) {
        os.messageBoxes.show(*refused, forms::kAppTitle, platform::Icon::Stop,
                             platform::Buttons::Ok);
        return;
    }
    app::stopUnlessModelDeclared(program.runtime(), os, profile.infFile, profile.modelName);

    const std::string optionPair = text::chars(profile.optionFlags, 0, 2);
    for (const engine::InstallPass& pass :
         engine::planPasses(text::charAt(profile.optionFlags, 2), printerName)) {
        std::string port;
        if (const std::optional<platform::Error> e = attempt(program.runtime(), [&] {
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
            program.outcome().fail(step, *e);
            os.messageBoxes.show(stepFailureText(step, "印表機「" + pass.printerName + "」沒有安裝",
                                                 app::reasonOf(*e)),
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
        os.launcher.start(engine::kPrintersFolder, platform::window_style::kMinimized);
    }

    // The started lines run on; the program lives as long as the notice window, and its end
    // tells whether a step failed here.
    program.runtime().setExitCode(program.outcome().exitCode());
    main.unload();
    if (forms::Form* maker = program.findLoaded("ADVSET"))
        maker->unload();
    program.msg().show(false);
}

}  // namespace tools
