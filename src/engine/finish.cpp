#include "engine/engine_steps.h"
#include "forms/tell_failures.h"

namespace engine {

void writeLegacyDefaultPrinterMode(platform::Shell& shell) {
    shell.regWrite(command::kLegacyDefaultPrinterMode, "00000001", "REG_DWORD");
}

void renamePrinter(EngineContext& ctx, const std::string& oldName, const std::string& newName,
                   bool mustFind) {
    const std::string task = "將印表機「" + oldName + "」改名為「" + newName + "」";
    ctx.task(task, [&] {
        auto wmi = ctx.os.wmi.connect(command::kCimv2Moniker);
        std::vector<platform::WmiObject> found =
            wmi->execQuery(command::printerQuery(oldName), std::nullopt);
        if (found.empty() && mustFind)
            ctx.outcome.fail(task, "找不到印表機「" + oldName + "」");
        for (const platform::WmiObject& printer : found) {
            ctx.task(task, [&] {
                std::optional<long long> result =
                    wmi->callMethod(printer, "RenamePrinter", {platform::Value::text(newName)});
                if (result && *result != 0) {
                    ctx.outcome.fail(
                        task, "RenamePrinter 傳回 " + std::to_string(*result) + "，名稱沒有變更");
                }
            });
        }
    });
}

bool verifyPrinters(EngineContext& ctx, const std::vector<std::string>& printerNames,
                    const std::string& model, const std::string& infFile) {
    // The printer set-up entry point reports nothing; only the system's printer list tells
    // whether the printer is there. A list that cannot be read leaves that unknown, which is
    // told as well.
    std::unique_ptr<platform::WmiService> wmi;
    std::optional<platform::Error> unknown =
        ctx.runtime.trap([&] { wmi = ctx.os.wmi.connect(command::kCimv2Moniker); });
    bool missing = false;
    for (const std::string& name : printerNames) {
        const std::string task = "安裝印表機「" + name + "」";
        std::optional<std::size_t> found;
        if (!unknown) {
            unknown = ctx.runtime.trap(
                [&] { found = wmi->execQuery(command::printerQuery(name), std::nullopt).size(); });
        }
        if (unknown) {
            ctx.outcome.fail(task, "無法確認印表機已安裝：" + forms::reasonOf(*unknown));
        } else if (*found == 0) {
            missing = true;
            ctx.outcome.fail(task, "安裝後找不到這台印表機。機型：" + model + "，INF 檔：" +
                                       infFile + "。請確認 INF 檔與機型名稱是否正確。");
        }
    }
    return missing;
}

void tellFailures(EngineContext& ctx) {
    forms::tellFailures(ctx.runtime, ctx.outcome, ctx.closingNote);
}

void finishRun(EngineContext& ctx, bool installStepRan, bool twoPrinters) {
    const profile::InstallRequest& request = ctx.request;
    ctx.progress("即將完成");
    // In the two-printer mode no printer carries the plain name, so a rename finds none by
    // design; after a first rename the second finds none either, and the first wins.
    if (request.copyName && !ctx.undone)
        renamePrinter(ctx, request.printerName, *request.copyName, !twoPrinters);
    if (request.typedName && !ctx.undone) {
        renamePrinter(ctx, request.printerName, *request.typedName,
                      !twoPrinters && !request.copyName);
    }
    ctx.step([&] { ctx.notice.close(); });
    if (installStepRan && !ctx.undone)
        openPrintersWindow(ctx);
    if (ctx.localSystem) {
        ctx.os.log.write(
            "以 LocalSystem 帳戶執行：不寫入 LegacyDefaultPrinterMode，它是使用者的設定");
    } else {
        ctx.task("設定 LegacyDefaultPrinterMode",
                 [&] { writeLegacyDefaultPrinterMode(ctx.os.shell); });
    }
    tellFailures(ctx);
    ctx.runtime.endProgram(ctx.outcome.exitCode());
}

}  // namespace engine
