#include "app/form1.h"
#include "app/program.h"
#include "engine/engine_steps.h"
#include "engine/setupprint_form.h"
#include "engine/usb_models.h"
#include "ui/msg_form.h"

namespace engine {

namespace {
constexpr long long kProgramNotFound = -2147024894;  // 0x80070002
}

void usbInstall(EngineContext& ctx) {
    platform::Services& os = ctx.os;
    ctx.program.form1().hide();
    const std::string key = ctx.window.Text2.text();
    const UsbModel* model = findUsbModel(key);
    if (model == nullptr) {
        // Nothing to install: saying "done" would be untrue.
        ctx.program.msg().hide();
        os.messageBoxes.show("「" + key + "」沒有 USB 安裝方式，沒有安裝任何東西。",
                             forms::kAppTitle, platform::Icon::Exclamation, platform::Buttons::Ok);
        return;
    }
    if (model->message != nullptr) {
        os.messageBoxes.show(model->message, forms::kAppTitle, platform::Icon::None,
                             platform::Buttons::Ok);
    }
    try {
        os.shell.run(kDevconRescan, platform::window_style::kHidden, true);
        for (const char* line : model->lines)
            os.shell.run(line, model->windowStyle, true);
    } catch (const platform::Error& e) {
        if (e.number() != kProgramNotFound)
            throw;
        os.messageBoxes.show(
            "找不到 devcon，無法進行 USB 安裝。\r\n\r\n請把 devcon.exe 放在安裝程式的資料夾。",
            forms::kAppTitle, platform::Icon::Stop, platform::Buttons::Ok);
        return;
    }
    ctx.program.msg().hide();
    os.messageBoxes.show("安裝完成", forms::kAppTitle, platform::Icon::Information,
                         platform::Buttons::Ok);
    os.shell.run(kControlPrinters, std::nullopt, false);
}

}  // namespace engine
