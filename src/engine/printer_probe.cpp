#include "engine/printer_probe.h"

#include "engine/engine_steps.h"

namespace engine {

std::string noAnswerQuestion(const std::string& address, std::optional<int> otherPort) {
    const std::string raw = std::to_string(platform::kRawPrintPort);
    if (!otherPort) {
        return "印表機 " + address + " 沒有回應（連接埠 " + raw +
               "）。\r\n\r\n請確認印表機已開機並接上網路。\r\n仍要安裝嗎？";
    }
    return "印表機 " + address + " 有回應（連接埠 " + std::to_string(*otherPort) + "），但連接埠 " +
           raw + " 沒有開啟。\r\n\r\n請在印表機的設定中啟用連接埠 " + raw +
           "（RAW 列印）。\r\n仍要安裝嗎？";
}

ProbeVerdict probePrinter(EngineContext& ctx) {
    const std::string& address = ctx.request.address;
    if (command::isNetworkPath(address))
        return ProbeVerdict::GoOn;  // a print server's share, not a printer
    ctx.progress("正在...確認印表機");
    const std::string task = "確認印表機 " + address + " 是否回應";
    // The first port that answers; a probe that cannot run leaves it unknown: the install goes on
    // and the failure is told.
    std::optional<int> answered;
    for (int port : kProbedPorts) {
        bool open = false;
        if (!ctx.task(task, [&] { open = ctx.os.printerNetwork.probe(address, port); }))
            return ProbeVerdict::GoOn;
        if (open) {
            answered = port;
            break;
        }
    }
    if (answered == platform::kRawPrintPort)
        return ProbeVerdict::GoOn;
    const std::string question = noAnswerQuestion(address, answered);
    if (ctx.request.unattended) {
        ctx.os.log.write(question.substr(0, question.find("\r\n")) + " 無人值守的安裝照常進行。");
        return ProbeVerdict::GoOn;
    }
    platform::Answer answer = platform::Answer::No;
    // A box that cannot show asks nothing: the install does not go on unasked.
    if (!ctx.task(task, [&] {
            answer = ctx.os.messageBoxes.show(
                question, forms::kAppTitle, platform::Icon::Exclamation, platform::Buttons::YesNo);
        })) {
        return ProbeVerdict::Unasked;
    }
    return answer == platform::Answer::Yes ? ProbeVerdict::GoOn : ProbeVerdict::Declined;
}

}  // namespace engine
