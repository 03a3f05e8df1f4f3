#include "engine/engine_steps.h"

namespace engine {

namespace {
constexpr const char* kAddingDriver = "正在...新增驅動程式";
constexpr const char* kApplyingPreferences = "正在...設定列印喜好設定";
}  // namespace

bool EngineContext::task(const std::string& name, const std::function<void()>& f) {
    if (std::optional<platform::Error> failure = runtime.trap(f)) {
        outcome.fail(name, *failure);
        return false;
    }
    return true;
}

void EngineContext::progress(const std::string& text) {
    os.log.write("進度：" + text);
    step([&] { notice.showProgress(text); });
}

bool runPassSteps(EngineContext& ctx, OptionSteps steps, const std::string& passName,
                  const std::string& installCommand, const std::string& preferenceCommand,
                  const std::string& preferenceFile) {
    if (steps == OptionSteps::Nothing)
        return false;
    const std::string installTask = "安裝印表機「" + passName + "」";
    auto progress = [&](const char* text) { ctx.progress(text); };
    auto runWaiting = [&](const std::string& task, const std::string& command) {
        ctx.task(task, [&] { ctx.os.shell.run(command, platform::window_style::kNormal, true); });
    };
    auto setDefault = [&] {
        ctx.task("設定預設印表機「" + passName + "」",
                 [&] { ctx.os.network.setDefaultPrinter(passName); });
    };
    auto openPrinters = [&] {
        ctx.step([&] { ctx.os.shell.run(command::kControlPrinters, std::nullopt, false); });
    };
    auto applyPreferences = [&] {
        progress(kApplyingPreferences);
        const std::string task = "套用列印喜好設定 " + preferenceFile + " 到「" + passName + "」";
        // The printer set-up entry point reports nothing; a file that is not there is known.
        bool present = false;
        ctx.step([&] { present = ctx.os.files.exists(preferenceFile); });
        if (!present)
            ctx.outcome.fail(task, "安裝資料夾裡沒有 " + preferenceFile);
        runWaiting(task, preferenceCommand);
    };

    progress(kAddingDriver);
    runWaiting(installTask, installCommand);
    switch (steps) {
        case OptionSteps::DefaultPrinter:
            setDefault();
            openPrinters();
            break;
        case OptionSteps::PreferenceFile:
            applyPreferences();
            break;
        case OptionSteps::Both:
            applyPreferences();
            setDefault();
            openPrinters();
            break;
        case OptionSteps::Neither:
            ctx.step([&] {
                ctx.os.launcher.start(command::kPrintersFolder, platform::window_style::kMinimized);
            });
            break;
        case OptionSteps::Nothing:
            break;
    }
    return true;
}

}  // namespace engine
