#include "app/program.h"
#include "engine/engine_steps.h"
#include "engine/setupprint_form.h"

namespace engine {

namespace {

void tell(EngineContext& ctx, const std::string& text, platform::Icon icon) {
    ctx.step(
        [&] { ctx.os.messageBoxes.show(text, forms::kAppTitle, icon, platform::Buttons::Ok); });
}

// Connects and returns the failure's reason, or nothing when the connection was made.
std::optional<std::string> connect(EngineContext& ctx, const std::string& path) {
    try {
        ctx.os.network.addWindowsPrinterConnection(path);
        return std::nullopt;
    } catch (const platform::Error& e) {
        return e.description();
    }
}

std::string failureText(const std::string& path, const std::string& reason) {
    return "無法連線到共用印表機 " + path + "\r\n\r\n" + reason;
}

}  // namespace

void connectShareFromProfile(EngineContext& ctx) {
    tell(ctx, "SHARE安裝", platform::Icon::None);
    const std::string path = ctx.window.Text1.text();
    if (auto failed = connect(ctx, path)) {
        tell(ctx, failureText(path, *failed), platform::Icon::Stop);
    } else {
        tell(ctx, "完成", platform::Icon::Information);
    }
    ctx.runtime.endProgram();
}

void connectShareFromName(EngineContext& ctx, const NameParts& names) {
    tell(ctx, "SHARE", platform::Icon::None);
    auto host = names.at(1);
    auto share = names.at(2);
    if (host && share) {
        const std::string path = sharePath(*host, *share);
        if (auto failed = connect(ctx, path)) {
            tell(ctx, failureText(path, *failed), platform::Icon::Stop);
        } else {
            tell(ctx, path, platform::Icon::None);
        }
    }
    ctx.runtime.endProgram();
}

}  // namespace engine
