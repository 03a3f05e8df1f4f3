#include <exception>

#include "app/program.h"
#include "engine/engine_steps.h"
#include "engine/setupprint_form.h"
#include "ui/msg_form.h"

namespace engine {

void writeLegacyDefaultPrinterMode(platform::Shell& shell) {
    shell.regWrite(kLegacyDefaultPrinterMode, "00000001", "REG_DWORD");
}

void renamePrinter(EngineContext& ctx, const std::string& oldName, const std::string& newName) {
    ctx.step([&] {
        auto wmi = ctx.os.wmi.connect("winmgmts:\\\\.\\root\\cimv2");
        for (const platform::WmiObject& printer :
             wmi->execQuery(printerQuery(oldName), std::nullopt)) {
            ctx.step([&] {
                wmi->callMethod(printer, "RenamePrinter", {platform::Value::text(newName)});
            });
        }
    });
}

void verifyPrinters(EngineContext& ctx, const std::vector<std::string>& printerNames,
                    const std::string& model, const std::string& infFile) {
    std::unique_ptr<platform::WmiService> wmi;
    if (!ctx.step([&] { wmi = ctx.os.wmi.connect("winmgmts:\\\\.\\root\\cimv2"); }))
        return;
    for (const std::string& name : printerNames) {
        std::optional<std::size_t> found;
        if (!ctx.step([&] { found = wmi->execQuery(printerQuery(name), std::nullopt).size(); }))
            return;
        if (*found > 0)
            continue;
        ctx.os.messageBoxes.show("印表機「" + name + "」沒有安裝完成。\r\n\r\n機型：" + model +
                                     "\r\nINF 檔：" + infFile +
                                     "\r\n\r\n請確認 INF 檔與機型名稱是否正確。",
                                 forms::kAppTitle, platform::Icon::Stop, platform::Buttons::Ok);
    }
}

void finishRun(EngineContext& ctx, const NameParts& names, bool installStepRan) {
    SetupprintForm& w = ctx.window;
    ctx.step([&] { ctx.program.msg().Label2.setText("即將完成"); });
    const std::string printerName = w.Text2.text();
    if (auto newName = names.nonEmpty(2))
        renamePrinter(ctx, printerName, *newName);
    if (!w.changeNameText.text().empty())
        renamePrinter(ctx, printerName, w.changeNameText.text());
    ctx.step([&] { ctx.program.msg().unload(); });
    if (installStepRan)
        ctx.step([&] { ctx.os.shell.run(kControlPrinters, std::nullopt, false); });
    ctx.step([&] { writeLegacyDefaultPrinterMode(ctx.os.shell); });
    ctx.runtime.endProgram();
}

}  // namespace engine
