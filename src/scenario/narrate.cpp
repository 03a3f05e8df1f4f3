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

}  // namespace

std::string narrate(const sim::json::Value& line) {
    const std::string op = str(line, "op");
    if (op == "form") {
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
    if (op == "set") {
        std::string prop = str(line, "prop");
        std::string control = str(line, "control");
        if (prop == "text" || prop == "caption") {
            return "  " + control + " now shows \"" + shown(str(line, "value")) + "\".";
        }
        return "  " + control + " " + prop + " = " + str(line, "value") + ".";
    }
    if (op == "start")
        return "Starts, without waiting: " + str(line, "cmd");
    if (op == "run") {
        if (!line.find("wait")->asBool())
            return "Runs without waiting: " + str(line, "cmd");
        return "Runs and waits: " + str(line, "cmd") + " (exit code " + str(line, "exitCode") + ")";
    }
    if (op == "file.append")
        return "Creates " + str(line, "name") + " with: " + shown(str(line, "text"));
    if (op == "file.write")
        return "Writes " + str(line, "name") + ": " + shown(str(line, "text"));
    if (op == "file.copy")
        return "Copies " + str(line, "from") + " to " + str(line, "to") + ".";
    if (op == "wmi.connect")
        return "Connects to WMI (" + str(line, "moniker") + ").";
    if (op == "wmi.query")
        return "Asks WMI \"" + str(line, "wql") + "\": " + str(line, "count") + " answer(s).";
    if (op == "wmi.put")
        return "Stores a new " + str(line, "class") + ": " + str(line, "props");
    if (op == "wmi.call")
        return "Calls " + str(line, "method") + " on " + str(line, "target") + ": " +
               str(line, "result");
    if (op == "reg.write")
        return "Sets the registry value " + str(line, "path") + " to " + str(line, "value") + ".";
    if (op == "net.default")
        return "Makes " + str(line, "name") + " the default printer.";
    if (op == "net.connect")
        return "Connects the shared printer " + str(line, "path") + ".";
    if (op == "msgbox") {
        return "Message \"" + shown(str(line, "text")) + "\" [" + str(line, "title") +
               "], answered " + str(line, "answer") + ".";
    }
    if (op == "file.exists") {
        return "Looks for " + str(line, "name") + ": " +
               (line.find("result")->asBool() ? "it is there." : "it is not there.");
    }
    if (op == "file.read")
        return "Reads " + str(line, "name") + ".";
    if (op == "wait")
        return "Waits " + str(line, "seconds") + " s.";
    if (op == "error") {
        return std::string(line.find("trapped")->asBool()
                               ? "A step failed and was skipped: "
                               : "A step failed and stops the program: ") +
               str(line, "description");
    }
    if (op == "end") {
        const sim::json::Value* code = line.find("code");
        return "The program ends with exit code " +
               (code != nullptr ? std::to_string(code->asInteger()) : std::string("?")) + ".";
    }
    if (op == "idle")
        return "The program now waits for the user.";
    if (op == "inspect") {
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
    if (op == "scenario-error")
        return "The scenario could not go on: " + str(line, "message");
    return "";
}

}  // namespace scenario
