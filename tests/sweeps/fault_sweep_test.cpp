// The fault sweep: every platform call of a clean whole run fails, once and for good, and the
// run must still end well: no crash, no corrupted or lost ip.ini, no stop escaping the install's
// own error trap, and no run that ends as if all went well after a step failed.

#include <gtest/gtest.h>

#include <set>

#include "sweeps/sweep_run.h"

namespace {

using sweeps::runAnswering;
using sweeps::Value;
using testing_support::ScenarioRun;

const char* kInf =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%M%=Models\r\n"
    "[Models]\r\n\"Model X\" = X\r\n";
const char* kProfile = "ip,192.168.0.250,Office,Model X,x.inf,";

Value textFile(const std::string& text) {
    Value f = Value::object();
    f.set("text", text);
    return f;
}

Value action(std::initializer_list<std::pair<const char*, Value>> fields) {
    Value a = Value::object();
    for (const auto& [k, v] : fields)
        a.set(k, v);
    return a;
}

struct Base {
    std::string name;
    Value scenario;
};

Base install(const std::string& name, const std::string& flags, const std::string& address,
             const std::string& exe = "安裝.exe", const std::string& newName = "") {
    Value folder = Value::object();
    folder.set("ip.ini", textFile(kProfile + flags + "\r\n"));
    folder.set("x.inf", textFile(kInf));
    folder.set("black.dat", textFile("b"));
    folder.set("color.dat", textFile("c"));
    Value actions = Value::array();
    actions.push(action({{"type", "Form1.Text1"}, {"text", address}}));
    if (!newName.empty())
        actions.push(action({{"type", "Form1.Text2"}, {"text", newName}}));
    actions.push(action({{"key", "Form1.Text1"}, {"char", 13}}));
    Value s = Value::object();
    s.set("exe", exe);
    s.set("folder", folder);
    s.set("machine", Value::object());
    s.set("actions", actions);
    return {name, s};
}

// A run a deployment tool starts: nobody types or answers.
Base commandLine(const std::string& name, const std::vector<std::string>& args,
                 const Value& machine) {
    Value folder = Value::object();
    folder.set("ip.ini", textFile("ip,10.1.1.5,Office,Model X,x.inf,111\r\n"));
    folder.set("x.inf", textFile(kInf));
    folder.set("black.dat", textFile("b"));
    folder.set("color.dat", textFile("c"));
    Value list = Value::array();
    for (const std::string& a : args)
        list.push(a);
    Value s = Value::object();
    s.set("exe", "安裝.exe");
    s.set("args", list);
    s.set("folder", folder);
    s.set("machine", machine);
    s.set("actions", Value::array());
    return {name, s};
}

Base launch(const std::string& name, const std::string& item, const std::string& line) {
    Value folder = Value::object();
    folder.set("ip.ini", textFile(line + "\r\n"));
    Value actions = Value::array();
    actions.push(action({{"invoke", "Form1." + item}}));
    Value s = Value::object();
    s.set("folder", folder);
    s.set("machine", Value::object());
    s.set("actions", actions);
    return {name, s};
}

std::vector<Base> bases() {
    Base placeholder = install("placeholder", "100", "192.168.0.250");
    placeholder.scenario.find("folder");
    Value folder = *placeholder.scenario.find("folder");
    folder.set("Velmora.exe", textFile("MZ"));
    placeholder.scenario.set("folder", folder);
    return {
        install("one printer", "100", "10.1.1.5"),
        install("two printers, preferences, default", "111", "10.1.1.5"),
        install("network path", "100", "\\\\srv\\hp"),
        install("renamed", "000", "10.1.1.5", "安裝.exe", "Front Desk"),
        install("copy", "010", "10.1.1.5", "安裝_10.0.0.9_Lobby.exe"),
        placeholder,
        launch("share", "Share_Install", "ip,\\\\srv\\hp,Office,M,x.inf,100"),
        launch("usb", "USB_install", "ip,1,KONICA MINOLTA 210,M,x.inf,100"),
        commandLine("quiet", {"/quiet", "/log=run.log"}, Value::object()),
        commandLine("passive, LocalSystem", {"/passive"},
                    sim::json::parse(R"({"account":"system"})")),
        commandLine("quiet uninstall", {"/uninstall", "/quiet"},
                    sim::json::parse(R"({"drivers":["Model X"],
                        "ports":[{"Name":"IP_10.1.1.5","HostAddress":"10.1.1.5","PortNumber":"9100","Protocol":1}],
                        "printers":[{"Name":"Office_彩色","DriverName":"Model X","PortName":"IP_10.1.1.5"},
                                    {"Name":"Office_黑白","DriverName":"Model X","PortName":"IP_10.1.1.5"}]})")),
    };
}

// Calls whose failure leaves the machine as the user asked: they only show things (the
// printers window, the notice on top), look the computer's own address up for the address box
// at start, or set the value that lets the command interpreter start in a network folder.
bool quietWhenFailing(const Value& call, bool inEngine) {
    const std::string op = call.find("op") ? call.find("op")->asString() : "";
    auto field = [&](const char* name) {
        const Value* v = call.find(name);
        return v != nullptr && v->isString() ? v->asString() : std::string();
    };
    if (op == "window.topmost")
        return true;
    if (op == "run" || op == "start") {
        const std::string cmd = field("cmd");
        return cmd == "control printers" || cmd.find("PrintersFolder") != std::string::npos ||
               cmd.find("DisableUNCCheck") != std::string::npos;
    }
    if (!inEngine && (op == "wmi.connect" || op == "wmi.query"))
        return true;  // the main window's own address
    // Whether the package ships the main program only picks which program to start.
    if (op == "file.exists" && field("name") == "Velmora.exe")
        return true;
    // The confirmed address is kept for the install that follows; ip.ini only remembers it for
    // the next run, and a read-only package is logged, not told.
    if (op == "file.write" && field("name") == "ip.ini" && !inEngine)
        return true;
    // The model check before the install only guards it: an INF it cannot read is left to the
    // install, whose printers are checked after it (and the log says the model went unchecked).
    if (op == "file.read" && field("name").ends_with(".inf"))
        return true;
    // The look for a printer an earlier run left only spares a second install: when it fails the
    // install runs as on a PC without one, and the same query after the install checks it.
    if (inEngine && op == "wmi.query" &&
        field("wql").starts_with("Select * From Win32_Printer Where DeviceID"))
        return true;
    // The look for the port before it is made only tells whether an undo may remove it: not
    // knowing, an undo keeps the port and says so.
    if (inEngine && op == "wmi.query" &&
        field("wql").starts_with("Select * From Win32_TCPIPPrinterPort Where Name"))
        return true;
    // Failing once, the install's first connection to the printer list is that same look.
    if (inEngine && op == "wmi.connect" && field("moniker") == "winmgmts:\\\\.\\root\\cimv2")
        return true;
    // The spooler's first start is checked by the second.
    if (op == "wmi.call")
        return field("method") == "StartService" && field("target").find('\'') != std::string::npos;
    return false;
}

const std::set<std::string> kFaultable = {
    "run",         "start",          "wmi.connect",  "wmi.query",   "wmi.get",     "wmi.spawn",
    "wmi.put",     "wmi.call",       "reg.write",    "net.default", "net.connect", "file.write",
    "file.append", "file.copy",      "profile.read", "file.remove", "shell.open",  "file.exists",
    "file.read",   "printer.remove", "port.remove",  "net.probe",   "ipp.query"};
// Written after the call; a fault knows only what the call is asked.
const std::set<std::string> kAfterTheCall = {"exitCode", "count", "result",
                                             "removed",  "open",  "value"};

// The fault for a call of a clean run: what the call is asked, not what it gave back.
Value faultOf(const Value& call) {
    Value fault = Value::object();
    for (const auto& [key, value] : call.members()) {
        if (!kAfterTheCall.count(key))
            fault.set(key, value);
    }
    return fault;
}

// Failing once or for good, after the first `skip` matches pass.
Value failing(Value fault, bool once, int skip) {
    if (once)
        fault.set("times", 1);
    if (skip > 0)
        fault.set("skip", skip);
    return fault;
}

Value withFault(Value scenario, const Value& fault) {
    Value machine = *scenario.find("machine");
    Value faults = Value::array();
    faults.push(fault);
    machine.set("faults", faults);
    scenario.set("machine", machine);
    return scenario;
}

bool wholeProfile(const Value& state) {
    const Value* file = state.find("files")->find("ip.ini");
    if (file == nullptr || !file->isString())
        return false;
    const std::string& text = file->asString();
    std::size_t commas = 0;
    for (char c : text)
        commas += c == ',' ? 1 : 0;
    return text.rfind("ip,", 0) == 0 && commas == 5 && text.size() >= 2 &&
           text.substr(text.size() - 2) == "\r\n" && text.find('?') == std::string::npos;
}

TEST(FaultSweep, EveryCallFailingOnceOrForGoodIsToldAndLosesNothing) {
    int runs = 0;
    for (const Base& base : bases()) {
        ScenarioRun clean = runAnswering(base.scenario);
        ASSERT_EQ(clean.status, 0) << base.name;
        ASSERT_EQ(sweeps::exitCode(clean), 0) << base.name << " runs cleanly";
        for (const Value& line : clean.lines) {
            if (!kFaultable.count(line.find("op")->asString()))
                continue;
            const Value fault = faultOf(line);
            for (bool once : {true, false}) {
                const Value f = failing(fault, once, 0);
                ScenarioRun r = runAnswering(withFault(base.scenario, f));
                ++runs;
                const std::string what = base.name + ", " + f.dump();
                // A failure at start can show a box where the script still meant to type:
                // the run stops there, and what it did so far is still checked.
                if (r.status != 0) {
                    const Value& last = r.lines[r.lines.size() - 2];
                    ASSERT_NE(last.find("message")->asString().find("a message box is open"),
                              std::string::npos)
                        << what << ": " << last.dump();
                }
                EXPECT_TRUE(wholeProfile(r.state()))
                    << what << ": " << r.state().find("files")->dump();
                // The install's load step traps its errors: none may stop the program there.
                // A run that says it did all it was asked had no failing step that matters.
                const bool endedWell = sweeps::exitCode(r) == 0;
                // The run is the clean one up to the faulted call, so the fault fires; its
                // failure is written even when the program handles it itself.
                bool written = false;
                bool inEngine = false;
                for (const Value& l : r.lines) {
                    const std::string op = l.find("op")->asString();
                    // The load step runs from the engine window's load to its show (the USB
                    // install returns; every other branch ends the program inside it).
                    if (op == "form" && l.find("form")->asString() == "setupprint") {
                        const std::string event = l.find("event")->asString();
                        if (event == "load")
                            inEngine = true;
                        if (event == "show")
                            inEngine = false;
                    }
                    if (op != "error")
                        continue;
                    // Every number a machine raises has its text in the one table.
                    EXPECT_FALSE(l.find("description")->asString().empty())
                        << what << ": " << l.dump();
                    if (inEngine) {
                        EXPECT_TRUE(l.find("trapped")->asBool()) << what << ": " << l.dump();
                    }
                    const Value* call = l.find("call");
                    written = written || (call != nullptr && call->isObject() &&
                                          sweeps::matchesFields(fault, *call));
                    if (endedWell) {
                        EXPECT_TRUE(call != nullptr && quietWhenFailing(*call, inEngine))
                            << what << ": ended with 0 after " << l.dump();
                    }
                }
                EXPECT_TRUE(written) << what << ": no error line for the failed call";
            }
        }
    }
    EXPECT_GT(runs, 200);
}

// The package maker lists the INF's models and asks the printer at its address which it is:
// either call failing, once or for good, leaves the window open (no stop), writes the failure
// and keeps ip.ini whole.
TEST(FaultSweep, ThePackageMakersCallsFailingLeaveItWorking) {
    Value folder = Value::object();
    folder.set("ip.ini", textFile("ip,10.1.1.5,Office,請填入印表機模組名稱,x.inf,100\r\n"));
    folder.set("x.inf", textFile(kInf));
    Value actions = Value::array();
    actions.push(action({{"click", "Form1.ADV"}}));
    actions.push(action({{"click", "ADVSET.find_INI"}}));
    Value base = Value::object();
    base.set("folder", folder);
    base.set("machine", sim::json::parse(
                            R"({"network":{"10.1.1.5":{"open":[9100,631],
                                "ipp":{"printer-make-and-model":"Model X"}}}})"));
    base.set("actions", actions);
    ScenarioRun clean = runAnswering(base);
    ASSERT_EQ(clean.status, 0);
    ASSERT_EQ(clean.ops("ipp.query").size(), 1u);
    // The windows' loads are swept above; here the calls of listing the models.
    std::size_t listing = 0;
    while (listing < clean.lines.size() &&
           !(clean.lines[listing].find("op")->asString() == "form" &&
             clean.lines[listing].find("form")->asString() == "ADVSET" &&
             clean.lines[listing].find("event")->asString() == "activate")) {
        ++listing;
    }
    ASSERT_LT(listing, clean.lines.size());
    int runs = 0;
    for (std::size_t i = listing; i < clean.lines.size(); ++i) {
        const Value& line = clean.lines[i];
        if (!kFaultable.count(line.find("op")->asString()))
            continue;
        const Value fault = faultOf(line);
        // The same call made earlier (the main window reads ip.ini too) passes first.
        int earlier = 0;
        for (std::size_t j = 0; j < i; ++j)
            earlier += sweeps::matchesFields(fault, clean.lines[j]) ? 1 : 0;
        for (bool once : {true, false}) {
            const Value f = failing(fault, once, earlier);
            ScenarioRun r = runAnswering(withFault(base, f));
            ++runs;
            const std::string what = f.dump();
            ASSERT_EQ(r.status, 0) << what << ": " << r.lines.back().dump();
            EXPECT_EQ(sweeps::exitCode(r), -1) << what << ": the window is still open";
            EXPECT_TRUE(wholeProfile(r.state())) << what;
            bool written = false;
            for (const Value& l : r.ops("error")) {
                const Value* call = l.find("call");
                written = written || (call != nullptr && call->isObject() &&
                                      sweeps::matchesFields(fault, *call));
            }
            EXPECT_TRUE(written) << what << ": no error line for the failed call";
        }
    }
    EXPECT_EQ(runs, 4);  // the INF read and the printer's answer, each once and for good
}

}  // namespace
