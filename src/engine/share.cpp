#include "engine/engine_steps.h"

namespace engine {

namespace {

void tell(EngineContext& ctx, const std::string& text, platform::Icon icon) {
    ctx.step(
        [&] { ctx.os.messageBoxes.show(text, forms::kAppTitle, icon, platform::Buttons::Ok); });
}

// Connects; returns whether the connection was made.
bool connect(EngineContext& ctx, const std::string& path) {
    return ctx.task("連線到共用印表機 " + path,
                    [&] { ctx.os.network.addWindowsPrinterConnection(path); });
}

}  // namespace

void connectShareFromProfile(EngineContext& ctx) {
    tell(ctx, "SHARE安裝", platform::Icon::None);
    // "完成" only when it is true; a failure is told with its reason instead.
    if (connect(ctx, ctx.request.address))
        tell(ctx, "完成", platform::Icon::Information);
    tellFailures(ctx);
    ctx.runtime.endProgram(ctx.outcome.exitCode());
}

void connectShareFromName(EngineContext& ctx, const profile::NameParts& names) {
    tell(ctx, "SHARE", platform::Icon::None);
    auto host = names.at(1);
    auto share = names.at(2);
    if (host && share) {
        const std::string path = command::sharePath(*host, *share);
        if (connect(ctx, path))
            tell(ctx, path, platform::Icon::None);
    } else {
        ctx.outcome.fail("連線到共用印表機",
                         "安裝程式的檔名沒有主機與共用名稱（應為 SHARE_主機_共用名稱.exe）");
    }
    tellFailures(ctx);
    ctx.runtime.endProgram(ctx.outcome.exitCode());
}

}  // namespace engine
