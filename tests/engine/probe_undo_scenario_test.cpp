// The printer is asked before anything changes, and a run that cannot give the package's
// printer takes back what it made.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/package_run.h"

namespace {

using sim::json::Value;
using testing_support::boxTexts;
using testing_support::exitCodeOf;
using testing_support::fields;
using testing_support::logHas;
using testing_support::PackageRun;
using testing_support::ScenarioRun;

const std::string kOfficeLine =
    "rundll32 printui.dll,PrintUIEntry /if /b \"Office\" /f x.inf /r IP_10.1.1.5 /m \"Model X\"";
const char* kNoAnswer =
    "印表機 10.1.1.5 沒有回應（連接埠 "
    "9100）。\r\n\r\n請確認印表機已開機並接上網路。\r\n仍要安裝嗎？";

PackageRun package(const std::string& flags = "100") {
    PackageRun p;
    p.profile("ip,192.168.0.250,Office,Model X,x.inf," + flags);
    p.text("x.inf", testing_support::kModelXInf);
    p.text("black.dat", "b");
    p.text("color.dat", "c");
    return p;
}

// machine.network with one host and the ports it listens on.
Value network(const std::vector<int>& open) {
    Value ports = Value::array();
    for (int port : open)
        ports.push(port);
    Value host = Value::object();
    host.set("open", ports);
    Value hosts = Value::object();
    hosts.set("10.1.1.5", host);
    return hosts;
}

std::vector<std::string> names(const ScenarioRun& r, const char* list) {
    std::vector<std::string> out;
    for (const Value& item : r.state().find(list)->asArray())
        out.push_back(item.find("Name")->asString());
    return out;
}

int probesOf(const ScenarioRun& r) {
    return static_cast<int>(r.ops("net.probe").size());
}

TEST(Probe, APrinterThatDoesNotAnswerIsAskedAbout) {
    const std::string closed9100 =
        "印表機 10.1.1.5 有回應（連接埠 631），但連接埠 9100 沒有開啟。"
        "\r\n\r\n請在印表機的設定中啟用連接埠 9100（RAW 列印）。\r\n仍要安裝嗎？";
    struct Case {
        const char* what;
        std::optional<std::vector<int>> open;  // nothing: no network given, every address answers
        const char* answer;                    // to the probe's question, when there is one
        std::string question;
        int probes;
        long long exitCode;
        bool installed;
    };
    const Case cases[] = {
        {"every address answers", std::nullopt, nullptr, "", 1, 0, true},
        {"the printer answers on 9100", std::vector<int>{9100}, nullptr, "", 1, 0, true},
        {"nothing answers, Yes", std::vector<int>{}, "yes", kNoAnswer, 3, 0, true},
        {"nothing answers, No", std::vector<int>{}, "no", kNoAnswer, 3, 1602, false},
        {"nothing answers, Esc", std::vector<int>{}, "cancel", kNoAnswer, 3, 1602, false},
        {"only IPP answers", std::vector<int>{631}, "no", closed9100, 2, 1602, false},
        {"only LPD answers, Yes", std::vector<int>{515}, "yes",
         std::string(closed9100).replace(closed9100.find("631"), 3, "515"), 3, 0, true},
    };
    for (const Case& c : cases) {
        PackageRun p = package();
        if (c.open)
            p.machine.set("network", network(*c.open));
        p.confirm("10.1.1.5");
        if (c.answer != nullptr)
            p.answer(c.answer);
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << c.what << r.lines.back().dump();
        EXPECT_EQ(probesOf(r), c.probes) << c.what;
        EXPECT_EQ(exitCodeOf(r), c.exitCode) << c.what;
        const std::vector<std::string> boxes = boxTexts(r);
        if (c.question.empty()) {
            EXPECT_EQ(boxes.size(), 1u) << c.what;  // the install question only
        } else {
            ASSERT_EQ(boxes.size(), 2u) << c.what;
            EXPECT_EQ(boxes[1], c.question) << c.what;
            EXPECT_EQ(r.ops("msgbox")[1].find("icon")->asString(), "exclamation") << c.what;
            EXPECT_EQ(r.ops("msgbox")[1].find("buttons")->asString(), "yesno") << c.what;
        }
        // The question comes before the first change: a No leaves the PC untouched.
        EXPECT_EQ(names(r, "printers"),
                  c.installed ? std::vector<std::string>{"Office"} : std::vector<std::string>{})
            << c.what;
        EXPECT_EQ(names(r, "ports").empty(), !c.installed) << c.what;
        EXPECT_EQ(r.ops("wmi.put").empty(), !c.installed) << c.what;
        EXPECT_TRUE(logHas(r, "探測 10.1.1.5 連接埠 9100")) << c.what;
    }
}

TEST(Probe, NetworkPathsAreNotProbed) {
    PackageRun p = package();
    p.machine.set("network", Value::object());
    ScenarioRun r = p.confirm("\\\\srv\\hp").run();
    EXPECT_EQ(probesOf(r), 0);
    EXPECT_EQ(exitCodeOf(r), 0);
}

TEST(Probe, ARunNobodyWatchesLogsTheSilenceAndInstalls) {
    PackageRun p;
    p.profile("ip,10.1.1.5,Office,Model X,x.inf,100");
    p.text("x.inf", testing_support::kModelXInf);
    p.args = {"/quiet"};
    p.machine.set("network", Value::object());
    ScenarioRun r = p.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_TRUE(r.ops("msgbox").empty());
    EXPECT_TRUE(logHas(r, "印表機 10.1.1.5 沒有回應（連接埠 9100）。 無人值守的安裝照常進行。"));
    EXPECT_EQ(names(r, "printers"), std::vector<std::string>{"Office"});
    EXPECT_EQ(exitCodeOf(r), 0);
}

TEST(Probe, AProbeThatCannotRunIsToldAndTheInstallGoesOn) {
    PackageRun p = package();
    p.fault(fields({{"op", "net.probe"}}));
    ScenarioRun r = p.confirm("10.1.1.5").answer("ok").run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_EQ(names(r, "printers"), std::vector<std::string>{"Office"});
    EXPECT_NE(boxTexts(r).back().find("確認印表機 10.1.1.5 是否回應"), std::string::npos);
    EXPECT_EQ(exitCodeOf(r), 1603);
}

struct UndoCase {
    const char* what;
    std::string flags;
    std::vector<Value> faults;
    bool portThereBefore;
    std::vector<std::string> removedInOrder;  // printer.remove and port.remove names
    std::vector<std::string> printersAfter;
    std::vector<std::string> portsAfter;
    const char* note;
};

Value earlierPort() {
    Value port = Value::object();
    port.set("Name", "IP_10.1.1.5");
    port.set("HostAddress", "10.1.1.5");
    port.set("PortNumber", "9100");
    port.set("Protocol", 1);
    return port;
}

TEST(Undo, ARunThatCannotGiveThePrinterTakesBackWhatItMade) {
    const std::string black =
        "rundll32 printui.dll,PrintUIEntry /if /b \"Office_黑白\" /f x.inf /r IP_10.1.1.5 /m "
        "\"Model X\"";
    const UndoCase cases[] = {
        {"the driver step fails: the port the run made goes",
         "100",
         {fields({{"op", "run"}, {"cmd", kOfficeLine}})},
         false,
         {"IP_10.1.1.5"},
         {},
         {},
         "已移除這次安裝建立的連接埠 IP_10.1.1.5，這台電腦的印表機與連接埠和安裝前相同。"},
        {"the driver step fails: a port that was there stays",
         "100",
         {fields({{"op", "run"}, {"cmd", kOfficeLine}})},
         true,
         {},
         {},
         {"IP_10.1.1.5"},
         "這次安裝沒有留下印表機或連接埠，這台電腦的印表機與連接埠和安裝前相同。"},
        {"the second printer fails: the first printer, then the port",
         "101",
         {fields({{"op", "run"}, {"cmd", black}})},
         false,
         {"Office_彩色", "IP_10.1.1.5"},
         {},
         {},
         "已移除這次安裝建立的印表機「Office_彩色」與連接埠 "
         "IP_10.1.1.5，這台電腦的印表機與連接埠和安裝前相同。"},
        {"the second printer's port step fails: the first printer, then the port",
         "101",
         {fields({{"op", "wmi.connect"}, {"moniker", "winmgmts:"}, {"skip", 1}})},
         false,
         {"Office_彩色", "IP_10.1.1.5"},
         {},
         {},
         "已移除這次安裝建立的印表機「Office_彩色」與連接埠 "
         "IP_10.1.1.5，這台電腦的印表機與連接埠和安裝前相同。"},
        {"a removal that fails is told",
         "100",
         {fields({{"op", "run"}, {"cmd", kOfficeLine}}), fields({{"op", "port.remove"}})},
         false,
         {},
         {},
         {"IP_10.1.1.5"},
         "這次安裝建立的項目沒有全部移除（見上面的移除步驟），請在「裝置和印表機」中手動移除。"},
        {"not knowing whether the port was there keeps it",
         "100",
         {fields({{"op", "run"}, {"cmd", kOfficeLine}}),
          fields({{"op", "wmi.query"},
                  {"wql", "Select * From Win32_TCPIPPrinterPort Where Name = 'IP_10.1.1.5'"}})},
         false,
         {},
         {},
         {"IP_10.1.1.5"},
         "連接埠 IP_10.1.1.5 "
         "保留：無法確認它在安裝前是否已經存在。其餘的印表機與連接埠和安裝前相同。"},
    };
    for (const UndoCase& c : cases) {
        PackageRun p = package(c.flags);
        for (const Value& f : c.faults)
            p.fault(f);
        if (c.portThereBefore) {
            Value ports = Value::array();
            ports.push(earlierPort());
            p.machine.set("ports", ports);
        }
        ScenarioRun r = p.confirm("10.1.1.5").answer("ok").run();
        ASSERT_EQ(r.status, 0) << c.what << r.lines.back().dump();
        std::vector<std::string> removed;
        for (const Value& line : r.lines) {
            const std::string op = line.find("op")->asString();
            if ((op == "printer.remove" || op == "port.remove") && line.find("removed") &&
                line.find("removed")->asBool()) {
                removed.push_back(line.find("name")->asString());
            }
        }
        EXPECT_EQ(removed, c.removedInOrder) << c.what;
        EXPECT_EQ(names(r, "printers"), c.printersAfter) << c.what;
        EXPECT_EQ(names(r, "ports"), c.portsAfter) << c.what;
        const std::string summary = boxTexts(r).back();
        EXPECT_NE(summary.find(c.note), std::string::npos) << c.what << "\n" << summary;
        EXPECT_TRUE(logHas(r, c.note)) << c.what;
        EXPECT_EQ(exitCodeOf(r), 1603) << c.what;
    }
}

}  // namespace

namespace {

TEST(Undo, WhatTheSummaryNamesIsWhatTheUserSaw) {
    // A copy's run names the printer by the copy's name, as its notice did.
    PackageRun copy = package();
    copy.exe = "安裝_10.0.0.9_Lobby.exe";
    copy.fault(fields({{"op", "wmi.put"}}));
    ScenarioRun c = copy.enter().answer("yes").answer("ok").run();
    ASSERT_EQ(c.status, 0) << c.lines.back().dump();
    EXPECT_NE(boxTexts(c).back().find("● 安裝印表機「Lobby」\r\n    連接埠 IP_10.0.0.9 沒有建立"),
              std::string::npos)
        << boxTexts(c).back();

    // A network path's port is the Ports value, which is not looked up first: it is kept, and
    // the summary says so rather than that everything is as before.
    PackageRun path = package();
    path.fault(fields({{"op", "run"},
                       {"cmd",
                        "rundll32 printui.dll,PrintUIEntry /if /b \"Office\" /f x.inf /r "
                        "\"\\\\srv\\hp\" /m \"Model X\""}}));
    ScenarioRun p = path.confirm("\\\\srv\\hp").answer("ok").run();
    ASSERT_EQ(p.status, 0) << p.lines.back().dump();
    EXPECT_NE(boxTexts(p).back().find("連接埠 \\\\srv\\hp 保留：無法確認它在安裝前是否已經存在。"),
              std::string::npos)
        << boxTexts(p).back();
    EXPECT_EQ(exitCodeOf(p), 1603);
}

}  // namespace
