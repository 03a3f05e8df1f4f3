#include "platform/sim/services.h"

#include "platform/log_text.h"

namespace sim {

namespace {

const char* iconName(platform::Icon icon) {
    switch (icon) {
        case platform::Icon::None:
            return "none";
        case platform::Icon::Information:
            return "information";
        case platform::Icon::Exclamation:
            return "exclamation";
        case platform::Icon::Stop:
            return "stop";
        case platform::Icon::Question:
            return "question";
    }
    return "none";
}

}  // namespace

platform::Answer SimMessageBoxes::show(const std::string& text, const std::string& title,
                                       platform::Icon icon, platform::Buttons buttons) {
    json::Value line = Transcript::line("msgbox");
    line.set("text", text);
    line.set("title", title);
    line.set("icon", iconName(icon));
    line.set("buttons", buttons == platform::Buttons::Ok ? "ok" : "yesno");
    if (script_.empty()) {
        // The program waits on the box; the run ends with it open.
        line.set("answer", nullptr);
        machine_.record(line);
        throw ActionsExhausted{};
    }
    const json::Value& action = script_.take();
    const json::Value* answer = action.find("answer");
    // A box the script cannot answer is still shown in the transcript, unanswered.
    auto unanswered = [&](const std::string& why) {
        line.set("answer", nullptr);
        machine_.record(line);
        return ScenarioError{why};
    };
    if (answer == nullptr || !answer->isString()) {
        throw unanswered("a message box is open (\"" + text + "\"); the action is no answer");
    }
    const std::string& a = answer->asString();
    platform::Answer result;
    if (a == "cancel") {
        // Esc or the close box, which Wine answers with Cancel even on a Yes/No box.
        result = buttons == platform::Buttons::Ok ? platform::Answer::Ok : platform::Answer::No;
    } else if (buttons == platform::Buttons::Ok && a == "ok") {
        result = platform::Answer::Ok;
    } else if (buttons == platform::Buttons::YesNo && (a == "yes" || a == "no")) {
        result = a == "yes" ? platform::Answer::Yes : platform::Answer::No;
    } else {
        throw unanswered("the open message box has no button \"" + a + "\"");
    }
    line.set("answer", a);
    machine_.record(line);
    return result;
}

void SimClock::sleep(double seconds) {
    json::Value line = Transcript::line("wait");
    line.set("seconds", seconds);
    machine_.record(line);
    if (seconds > 0)
        machine_.clock += seconds;
}

platform::WindowsTarget SimProcess::target() {
    return targetOf(machine_);
}

void SimProcess::end(int exitCode) {
    json::Value line = Transcript::line("end");
    line.set("code", exitCode);
    machine_.record(line);
    throw ProcessEnded{};
}

void SimLog::write(const std::string& event) noexcept {
    try {
        const std::string line = platform::logSafe(event);
        machine_.log.push_back(line);
        if (!copy_.empty())
            machine_.createFile(copy_).bytes += line + "\r\n";
    } catch (...) {
        // Out of memory: the log is the one thing allowed to lose an event.
    }
}

void SimLog::copyTo(const std::string& path) noexcept {
    if (path.find_first_of("\\/:") != std::string::npos) {
        write("無法寫入記錄檔 " + path + "：找不到路徑。");
        return;
    }
    copy_ = path;
}

}  // namespace sim
