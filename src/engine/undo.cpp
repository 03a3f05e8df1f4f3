#include "engine/engine_steps.h"

namespace engine {

namespace {

// "印表機「A」、「B」與連接埠 IP_…": what was taken back, as the closing message names it.
std::string namesOf(const std::vector<std::string>& printers,
                    const std::optional<std::string>& port) {
    std::string text;
    for (const std::string& printer : printers)
        text += (text.empty() ? "印表機「" : "、「") + printer + "」";
    if (port)
        text += (text.empty() ? "連接埠 " : "與連接埠 ") + *port;
    return text;
}

}  // namespace

void undoRun(EngineContext& ctx, const std::string& why) {
    ctx.undone = true;
    ctx.os.log.write("復原這次安裝：" + why);
    // The spooler's log says each removal and its result; a failed one is a failed step.
    bool allRemoved = true;
    auto remove = [&](const std::string& task, const std::function<bool()>& call) {
        bool removed = false;
        allRemoved = ctx.task(task, [&] { removed = call(); }) && allRemoved;
        return removed;
    };
    std::vector<std::string> removedPrinters;
    // Newest first: the printers before the port they print to.
    for (auto printer = ctx.made.printers.rbegin(); printer != ctx.made.printers.rend();
         ++printer) {
        if (remove("移除這次安裝的印表機「" + *printer + "」",
                   [&] { return ctx.os.spooler.removePrinter(*printer); })) {
            removedPrinters.push_back(*printer);
        }
    }
    std::optional<std::string> removedPort;
    if (ctx.made.port && remove("移除這次安裝的連接埠 " + *ctx.made.port,
                                [&] { return ctx.os.spooler.removePort(*ctx.made.port); })) {
        removedPort = ctx.made.port;
    }
    std::string note;
    if (!allRemoved) {
        note =
            "這次安裝建立的項目沒有全部移除（見上面的移除步驟），請在「裝置和印表機」中手動移除。";
    } else if (ctx.made.unsurePort) {
        note = "連接埠 " + *ctx.made.unsurePort +
               " 保留：無法確認它在安裝前是否已經存在。其餘的印表機與連接埠和安裝前相同。";
    } else if (removedPrinters.empty() && !removedPort) {
        note = "這次安裝沒有留下印表機或連接埠，這台電腦的印表機與連接埠和安裝前相同。";
    } else {
        note = "已移除這次安裝建立的" + namesOf(removedPrinters, removedPort) +
               "，這台電腦的印表機與連接埠和安裝前相同。";
    }
    ctx.os.log.write(note);
    ctx.closingNote = "\r\n\r\n" + note;
    ctx.made = {};
}

}  // namespace engine
