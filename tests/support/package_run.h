#pragma once
// A package folder, a machine and the user's actions, built as values and run as a scenario.

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/base64.h"
#include "platform/sim/json.h"
#include "support/scenario_run.h"

namespace testing_support {

inline const char* kModelXInf =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%M%=Models\r\n"
    "[Models]\r\n\"Model X\" = X\r\n";

struct PackageRun {
    std::string exe = "安裝.exe";
    std::vector<std::string> args;  // the command line after the program's name
    sim::json::Value folder = sim::json::Value::object();
    sim::json::Value machine = sim::json::Value::object();
    sim::json::Value actions = sim::json::Value::array();

    PackageRun& text(const std::string& name, const std::string& text) {
        sim::json::Value f = sim::json::Value::object();
        f.set("text", text);
        folder.set(name, f);
        return *this;
    }
    PackageRun& bytes(const std::string& name, const std::string& bytes) {
        sim::json::Value f = sim::json::Value::object();
        f.set("base64", sim::base64Encode(bytes));
        folder.set(name, f);
        return *this;
    }
    PackageRun& profile(const std::string& line) { return text("ip.ini", line + "\r\n"); }
    PackageRun& fault(sim::json::Value f) {
        if (!machine.has("faults"))
            machine.set("faults", sim::json::Value::array());
        sim::json::Value faults = *machine.find("faults");
        faults.push(std::move(f));
        machine.set("faults", faults);
        return *this;
    }
    PackageRun& act(const std::string& kind, const std::string& target) {
        sim::json::Value a = sim::json::Value::object();
        a.set(kind, target);
        actions.push(a);
        return *this;
    }
    PackageRun& type(const std::string& control, const std::string& text) {
        sim::json::Value a = sim::json::Value::object();
        a.set("type", control);
        a.set("text", text);
        actions.push(a);
        return *this;
    }
    PackageRun& enter(const std::string& control = "Form1.Text1") {
        sim::json::Value a = sim::json::Value::object();
        a.set("key", control);
        a.set("char", 13);
        actions.push(a);
        return *this;
    }
    PackageRun& answer(const std::string& a, int times = 1) {
        for (int i = 0; i < times; ++i)
            act("answer", a);
        return *this;
    }
    // Types the address, confirms, and answers Yes to the install question.
    PackageRun& confirm(const std::string& address) {
        return type("Form1.Text1", address).enter().answer("yes");
    }

    ScenarioRun run() const {
        sim::json::Value s = sim::json::Value::object();
        s.set("exe", exe);
        if (!args.empty()) {
            sim::json::Value a = sim::json::Value::array();
            for (const std::string& arg : args)
                a.push(arg);
            s.set("args", a);
        }
        s.set("folder", folder);
        s.set("machine", machine);
        s.set("actions", actions);
        return runScenario(s.dump());
    }
};

// A control as the which-th inspect line shows it: its entries, and its text or caption.
inline sim::json::Value inspectedControl(const ScenarioRun& r, const char* name,
                                         std::size_t which = 0) {
    return *r.ops("inspect").at(which).find("controls")->find(name);
}

inline std::vector<std::string> inspectedItems(const ScenarioRun& r, const char* name,
                                               std::size_t which = 0) {
    std::vector<std::string> out;
    const sim::json::Value c = inspectedControl(r, name, which);  // held: the loop reads into it
    for (const sim::json::Value& v : c.find("items")->asArray())
        out.push_back(v.asString());
    return out;
}

inline std::string inspectedText(const ScenarioRun& r, const char* name, std::size_t which = 0) {
    const sim::json::Value c = inspectedControl(r, name, which);
    return (c.find("text") ? c.find("text") : c.find("caption"))->asString();
}

// A JSON object of these fields: a fault, an action.
inline sim::json::Value fields(
    std::initializer_list<std::pair<const char*, sim::json::Value>> list) {
    sim::json::Value object = sim::json::Value::object();
    for (const auto& [key, value] : list)
        object.set(key, value);
    return object;
}

// The texts of the message boxes shown, in order.
inline std::vector<std::string> boxTexts(const ScenarioRun& r) {
    std::vector<std::string> out;
    for (const sim::json::Value& box : r.ops("msgbox"))
        out.push_back(box.find("text")->asString());
    return out;
}

// The end line's exit code, or -1 when the run did not end.
inline long long exitCodeOf(const ScenarioRun& r) {
    for (const auto& l : r.lines) {
        if (l.find("op")->asString() == "end")
            return l.find("code")->asInteger();
    }
    return -1;
}

inline std::vector<std::string> logOf(const ScenarioRun& r) {
    std::vector<std::string> out;
    for (const auto& e : r.state().find("log")->asArray())
        out.push_back(e.asString());
    return out;
}

inline bool logHas(const ScenarioRun& r, const std::string& part) {
    for (const std::string& e : logOf(r)) {
        if (e.find(part) != std::string::npos)
            return true;
    }
    return false;
}

// The commands started, in order, with or without waiting.
inline std::vector<std::string> startedLines(const ScenarioRun& r) {
    std::vector<std::string> out;
    for (const auto& l : r.lines) {
        std::string op = l.find("op")->asString();
        if (op == "run" || op == "start")
            out.push_back(l.find("cmd")->asString());
    }
    return out;
}

}  // namespace testing_support
