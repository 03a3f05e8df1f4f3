#include "scenario/narrate.h"

namespace scenario {

namespace {

std::string str(const sim::json::Value& line, const char* key) {
    const sim::json::Value* v = line.find(key);
    if (v == nullptr || v->isNull())
        return "(none)";
    return v->isString() ? v->asString() : v->dump();
}

// Line breaks shown as they would be typed.
std::string shown(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            out += " / ";
        } else {
            out += c;
        }
    }
    return out;
}

using Line = sim::json::Value;

std::string formEvent(const Line& line) {
    std::string event = str(line, "event");
    if (event == "show") {
        bool modal = line.find("modal") && line.find("modal")->asBool();
        return "The window " + str(line, "form") + (modal ? " opens modally." : " appears.");
    }
    if (event == "load")
        return "The window " + str(line, "form") + " loads.";
    if (event == "activate")
        return "";
    return "The window " + str(line, "form") + " " + (event == "hide" ? "hides." : "closes.");
}

std::string propertySet(const Line& line) {
    std::string prop = str(line, "prop");
    std::string control = str(line, "control");
    if (prop == "text" || prop == "caption")
        return "  " + control + " now shows \"" + shown(str(line, "value")) + "\".";
    return "  " + control + " " + prop + " = " + str(line, "value") + ".";
}

std::string commandRun(const Line& line) {
    if (!line.find("wait")->asBool())
        return "Runs without waiting: " + str(line, "cmd");
    return "Runs and waits: " + str(line, "cmd") + " (exit code " + str(line, "exitCode") + ")";
}

std::string errorRaised(const Line& line) {
    return std::string(line.find("trapped")->asBool() ? "A step failed and was skipped: "
                                                      : "A step failed and stops the program: ") +
           str(line, "description");
}

std::string programEnd(const Line& line) {
    const sim::json::Value* code = line.find("code");
    return "The program ends with exit code " +
           (code != nullptr ? std::to_string(code->asInteger()) : std::string("?")) + ".";
}

std::string inspection(const Line& line) {
    const sim::json::Value* controls = line.find("controls");
    std::string out = "What " + str(line, "form") + " shows the user:";
    for (const char* name :
         {"Label3", "Text1", "Label1", "Text2", "Command1", "Command2", "Label2"}) {
        const sim::json::Value* c = controls ? controls->find(name) : nullptr;
        if (c == nullptr)
            continue;
        const sim::json::Value* t = c->find("text") ? c->find("text") : c->find("caption");
        out += "\n    " + std::string(name) + ": \"" + (t ? t->asString() : "") + "\"";
        if (!c->find("enabled")->asBool())
            out += " (disabled)";
    }
    return out;
}

using Narration = std::string (*)(const Line&);

// Each op the narration tells, in the words a reader of the demo expects.
const std::pair<const char*, Narration> kNarrations[] = {
    {"form", formEvent},
    {"set", propertySet},
    {"start", [](const Line& l) { return "Starts, without waiting: " + str(l, "cmd"); }},
    {"run", commandRun},
    {"file.append",
     [](const Line& l) { return "Creates " + str(l, "name") + " with: " + shown(str(l, "text")); }},
    {"file.write",
     [](const Line& l) { return "Writes " + str(l, "name") + ": " + shown(str(l, "text")); }},
    {"file.copy",
     [](const Line& l) { return "Copies " + str(l, "from") + " to " + str(l, "to") + "."; }},
    {"wmi.connect", [](const Line& l) { return "Connects to WMI (" + str(l, "moniker") + ")."; }},
    {"wmi.query",
     [](const Line& l) {
         return "Asks WMI \"" + str(l, "wql") + "\": " + str(l, "count") + " answer(s).";
     }},
    {"wmi.put",
     [](const Line& l) { return "Stores a new " + str(l, "class") + ": " + str(l, "props"); }},
    {"wmi.call",
     [](const Line& l) {
         return "Calls " + str(l, "method") + " on " + str(l, "target") + ": " + str(l, "result");
     }},
    {"reg.write",
     [](const Line& l) {
         return "Sets the registry value " + str(l, "path") + " to " + str(l, "value") + ".";
     }},
    {"net.default",
     [](const Line& l) { return "Makes " + str(l, "name") + " the default printer."; }},
    {"net.connect",
     [](const Line& l) { return "Connects the shared printer " + str(l, "path") + "."; }},
    {"msgbox",
     [](const Line& l) {
         return "Message \"" + shown(str(l, "text")) + "\" [" + str(l, "title") + "], answered " +
                str(l, "answer") + ".";
     }},
    {"file.exists",
     [](const Line& l) {
         return "Looks for " + str(l, "name") + ": " +
                (l.find("result")->asBool() ? "it is there." : "it is not there.");
     }},
    {"file.read", [](const Line& l) { return "Reads " + str(l, "name") + "."; }},
    {"printer.remove",
     [](const Line& l) {
         return "Removes the printer " + str(l, "name") + ": " +
                (l.find("removed") && l.find("removed")->asBool() ? "removed." : "there was none.");
     }},
    {"port.remove",
     [](const Line& l) {
         return "Removes the port " + str(l, "name") + ": " +
                (l.find("removed") && l.find("removed")->asBool() ? "removed." : "there was none.");
     }},
    {"net.probe",
     [](const Line& l) {
         return "Knocks on " + str(l, "address") + " port " + str(l, "port") + ": " +
                (l.find("open") && l.find("open")->asBool() ? "it answers." : "no answer.");
     }},
    {"ipp.query",
     [](const Line& l) {
         return "Asks the printer at " + str(l, "address") + " for its " + str(l, "attribute") +
                ": " + str(l, "value") + ".";
     }},
    {"wait", [](const Line& l) { return "Waits " + str(l, "seconds") + " s."; }},
    {"error", errorRaised},
    {"end", programEnd},
    {"idle", [](const Line&) { return std::string("The program now waits for the user."); }},
    {"inspect", inspection},
    {"scenario-error",
     [](const Line& l) { return "The scenario could not go on: " + str(l, "message"); }},
};

}  // namespace

std::string narrate(const sim::json::Value& line) {
    const std::string op = str(line, "op");
    for (const auto& [name, tell] : kNarrations) {
        if (op == name)
            return tell(line);
    }
    return "";
}

}  // namespace scenario
