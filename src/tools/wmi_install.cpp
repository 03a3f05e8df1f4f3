// The direct install through WMI: VBS and Command5.
#include "tools/tool_buttons.h"

#include "command/install_lines.h"
#include "forms/damaged_package.h"
#include "inf/model_check.h"
#include "profile/profile_store.h"

namespace tools {

namespace {

void setAll(platform::WmiObject& object, const platform::Properties& properties) {
    for (const auto& [name, value] : properties)
        object.set(name, value);
}

// Runs one step; one that raises is told with its reason and what it left undone, and ends
// the program, as an untrapped error would, but naming the step.
void runStep(ToolContext& ctx, const std::string& step, const std::string& leftUndone,
             const std::function<void()>& body) {
    if (const std::optional<platform::Error> e = ctx.runtime.trap(body)) {
        ctx.outcome.fail(step, *e);
        ctx.os.messageBoxes.show(stepFailureText(step, leftUndone, forms::reasonOf(*e)),
                                 forms::kAppTitle, platform::Icon::Stop, platform::Buttons::Ok);
        ctx.runtime.endProgram(ctx.outcome.exitCode());
    }
}

}  // namespace

void installThroughWmi(ToolContext& ctx, WmiInstallButton button,
                       const std::function<void(const std::string&)>& printLine) {
    platform::Services& os = ctx.os;
    const std::string folder = programFolder(os.process.exeFolder());
    // Drawn first, so it is there even when the install then fails.
    if (button == WmiInstallButton::Command5)
        printLine(pathLine(folder));

    // The profile as ip.ini holds it; the main window's boxes play no part.
    const std::vector<std::string> parts = profile::ProfileStore(os.files, os.codepage).readParts();
    if (const std::optional<std::string> damage = profile::damageOf(parts))
        forms::stopDamagedPackage(ctx.runtime, os, *damage);
    const profile::InstallProfile stored = profile::fromParts(parts);
    const std::string& address = stored.printerAddress;
    const std::string& printerName = stored.printerName;
    const std::string& model = stored.modelName;
    const std::string& infFile = stored.infFile;
    if (auto why = inf::undeclaredModel(os, infFile, model))
        forms::stopDamagedPackage(ctx.runtime, os, *why);
    const std::string notInstalled = "印表機「" + printerName + "」沒有安裝";

    runStep(ctx, "新增連接埠 " + command::tcpPortName(address), notInstalled, [&] {
        auto wmi = os.wmi.connect(kClassMoniker);
        platform::WmiObject port = wmi->spawnInstance(wmi->get("Win32_TCPIPPrinterPort"));
        setAll(port, tcpPortRecord(address));
        wmi->put(port);
    });
    runStep(ctx, "安裝驅動程式「" + model + "」", notInstalled, [&] {
        auto wmi = os.wmi.connect(kImpersonatingMoniker);
        // The record is set on the class object itself and handed over as its argument.
        platform::WmiObject driver = wmi->get("Win32_PrinterDriver");
        setAll(driver, driverRecord(button, model, infFile, folder));
        const platform::Value record = platform::Value::object(driver.className, driver.properties);
        // Both calls as designed, their codes unexamined: a driver that did not install makes
        // the printer's store fail next, and that is told. (Command5 sets Name, platform and
        // version again between the calls, to the values they hold.)
        wmi->callMethod(driver, "AddPrinterDriver", {record});
        wmi->callMethod(driver, "AddPrinterDriver", {record});
    });
    runStep(ctx, "安裝印表機「" + printerName + "」", "", [&] {
        auto wmi = os.wmi.connect(kImpersonatingMoniker);
        platform::WmiObject printer = wmi->spawnInstance(wmi->get("Win32_Printer"));
        setAll(printer, printerRecord(model, address, printerName));
        wmi->put(printer);
    });
    runStep(ctx, "設定預設印表機「" + printerName + "」", "",
            [&] { os.network.setDefaultPrinter(printerName); });
    os.messageBoxes.show("安裝完成", forms::kAppTitle, platform::Icon::None, platform::Buttons::Ok);
    os.launcher.start(command::kPrintersFolder, platform::window_style::kMinimized);
}

}  // namespace tools
