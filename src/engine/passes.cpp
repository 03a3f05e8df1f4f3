#include "app/program.h"
#include "engine/engine_steps.h"
#include "ui/msg_form.h"

namespace engine {

namespace {
constexpr const char* kAddingDriver = "正在...新增驅動程式";
constexpr const char* kApplyingPreferences = "正在...設定列印喜好設定";
}  // namespace

bool runPassSteps(EngineContext& ctx, OptionSteps steps, const std::string& passName,
                  const std::string& installCommand, const std::string& preferenceCommand) {
    if (steps == OptionSteps::Nothing)
        return false;
    ui::MsgForm& notice = ctx.program.msg();
    auto progress = [&](const char* text) { ctx.step([&] { notice.Label2.setText(text); }); };
    auto runWaiting = [&](const std::string& command) {
        ctx.step([&] { ctx.os.shell.run(command, platform::window_style::kNormal, true); });
    };
    auto setDefault = [&] { ctx.step([&] { ctx.os.network.setDefaultPrinter(passName); }); };
    auto openPrinters = [&] {
        ctx.step([&] { ctx.os.shell.run(kControlPrinters, std::nullopt, false); });
    };

    progress(kAddingDriver);
    runWaiting(installCommand);
    switch (steps) {
        case OptionSteps::DefaultPrinter:
            setDefault();
            openPrinters();
            break;
        case OptionSteps::PreferenceFile:
            progress(kApplyingPreferences);
            runWaiting(preferenceCommand);
            break;
        case OptionSteps::Both:
            progress(kApplyingPreferences);
            runWaiting(preferenceCommand);
            setDefault();
            openPrinters();
            break;
        case OptionSteps::Neither:
            ctx.step([&] {
                ctx.os.launcher.start(kPrintersFolder, platform::window_style::kMinimized);
            });
            break;
        case OptionSteps::Nothing:
            break;
    }
    return true;
}

}  // namespace engine
