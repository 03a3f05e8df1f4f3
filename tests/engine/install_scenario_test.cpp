// Whole install runs on the simulated machine: the user confirms an address and answers Yes.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/scenario_run.h"

namespace {

using sim::json::Value;
using testing_support::runScenario;
using testing_support::ScenarioRun;

const char* kInf =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%M%=Models\r\n"
    "[Models]\r\n\"Model X\" = X\r\n";

struct Install {
    std::string exe = "安裝.exe";
    std::string line = "ip,192.168.0.250,Office,Model X,x.inf,100";
    std::string address = "10.1.1.5";
    std::string newName;     // typed into the main window's name box
    std::string extraFiles;  // more folder entries, each starting with ","
    std::string machine = "{}";
    std::string answers = R"(,{"answer":"yes"})";

    ScenarioRun run() const {
        Value folder = Value::object();
        Value ini = Value::object();
        ini.set("text", line + "\r\n");
        folder.set("ip.ini", ini);
        Value inf = Value::object();
        inf.set("text", kInf);
        folder.set("x.inf", inf);
        std::string folderJson = folder.dump();
        folderJson.pop_back();
        std::string actions = R"([{"type":"Form1.Text1","text":)" + Value(address).dump() + "}";
        if (!newName.empty())
            actions += R"(,{"type":"Form1.Text2","text":)" + Value(newName).dump() + "}";
        actions += R"(,{"key":"Form1.Text1","char":13})" + answers + "]";
        return runScenario(R"({"exe":)" + Value(exe).dump() + R"(,"folder":)" + folderJson +
                           extraFiles + R"(},"machine":)" + machine + R"(,"actions":)" + actions +
                           "}");
    }
};

std::vector<std::string> commands(const ScenarioRun& r) {
    std::vector<std::string> out;
    for (const auto& l : r.lines) {
        std::string op = l.find("op")->asString();
        if (op == "run" || op == "start")
            out.push_back(op + " " + l.find("cmd")->asString());
        if (op == "net.default")
            out.push_back("default " + l.find("name")->asString());
    }
    return out;
}

std::vector<std::string> progress(const ScenarioRun& r) {
    std::vector<std::string> out;
    for (const auto& l : r.ops("set")) {
        if (l.find("control")->asString() == "msg.Label2")
            out.push_back(l.find("value")->asString());
    }
    return out;
}

std::vector<std::string> printerNames(const ScenarioRun& r) {
    std::vector<std::string> names;
    for (const Value& p : r.state().find("printers")->asArray())
        names.push_back(p.find("Name")->asString());
    return names;
}

const std::string kInstallOffice =
    "run rundll32 printui.dll,PrintUIEntry /if /b \"Office\" /f x.inf /r IP_10.1.1.5 /m \"Model "
    "X\"";

TEST(Install, TheCommonProfileInstallsOnePrinterEndToEnd) {
    ScenarioRun r = Install{}.run();
    ASSERT_EQ(r.status, 0);
    auto puts = r.ops("wmi.put");
    ASSERT_EQ(puts.size(), 1u);
    EXPECT_EQ(puts[0].find("class")->asString(), "Win32_TCPIPPrinterPort");
    EXPECT_EQ(
        puts[0].find("props")->dump(),
        R"({"Name":"IP_10.1.1.5","Protocol":1,"HostAddress":"10.1.1.5","PortNumber":"9100","SNMPEnabled":false})");
    EXPECT_EQ(commands(r), (std::vector<std::string>{
                               "start reg add \"HKEY_CURRENT_USER\\Software\\Microsoft\\Command "
                               "Processor\" /v \"DisableUNCCheck\" /t REG_DWORD /d 00000001 /f",
                               kInstallOffice, "default Office", "run control printers",
                               "run control printers"}));
    auto installRun = r.lines[r.indexOf("run")];
    EXPECT_EQ(installRun.find("style")->asInteger(), 1);
    EXPECT_TRUE(installRun.find("wait")->asBool());
    EXPECT_EQ(progress(r), (std::vector<std::string>{"正在...確認印表機", "正在...新增連接埠",
                                                     "正在...新增驅動程式", "即將完成"}));
    EXPECT_EQ(printerNames(r), (std::vector<std::string>{"Office"}));
    EXPECT_EQ(r.state().find("defaultPrinter")->asString(), "Office");
    EXPECT_EQ(r.state()
                  .find("registry")
                  ->find("HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows "
                         "NT\\CurrentVersion\\Windows\\LegacyDefaultPrinterMode")
                  ->asInteger(),
              1);
    // Nothing is reported: the printer is there.
    EXPECT_TRUE(r.ops("msgbox").size() == 1u);  // the install question only
    EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "end");
    // The notice window was put on top and closed before the end.
    EXPECT_GE(r.indexOf("window.topmost"), 0);
    EXPECT_LT(r.indexOf("form", "event", "unload"), r.lines.size());
}

TEST(Install, OptionPairsSelectTheirSteps) {
    const std::string pref =
        "run rundll32 printui.dll,PrintUIEntry  /Sr /n \"Office\" /a black.dat d g u ";
    const std::string folder =
        "start rundll32.exe shell32.dll,SHHelpShortcuts_RunDLL PrintersFolder";
    const std::string printers = "run control printers";  // finishing adds one when a step ran
    const std::string probe = "正在...確認印表機", port = "正在...新增連接埠",
                      driver = "正在...新增驅動程式", prefs = "正在...設定列印喜好設定",
                      done = "即將完成";
    struct Case {
        const char* flags;
        std::vector<std::string> steps;
        std::vector<std::string> progress;
    };
    const Case cases[] = {
        {"010", {kInstallOffice, pref, printers}, {probe, port, driver, prefs, done}},
        {"000", {kInstallOffice, folder, printers}, {probe, port, driver, done}},
        {"110",
         {kInstallOffice, pref, "default Office", printers, printers},
         {probe, port, driver, prefs, done}},
        {"120",
         {},
         {probe, port, done}},  // "12" selects nothing: no install step, no printers window
        {"1", {}, {probe, port, done}},
    };
    for (const Case& c : cases) {
        Install i;
        i.line = std::string("ip,192.168.0.250,Office,Model X,x.inf,") + c.flags;
        i.extraFiles = R"(,"black.dat":{"base64":"AAE="})";
        ScenarioRun r = i.run();
        std::vector<std::string> steps = commands(r);
        steps.erase(steps.begin());  // the registry command at start
        EXPECT_EQ(steps, c.steps) << c.flags;
        EXPECT_EQ(progress(r), c.progress) << c.flags;
    }
}

TEST(Install, PairsThatAreNoNumberRunTheDefaultPrinterSteps) {
    for (const char* flags : {"ab0", ""}) {
        Install i;
        i.line = std::string("ip,192.168.0.250,Office,Model X,x.inf,") + flags;
        ScenarioRun r = i.run();
        std::vector<std::string> steps = commands(r);
        ASSERT_GE(steps.size(), 3u) << flags;
        EXPECT_EQ(steps[1], kInstallOffice) << flags;
        EXPECT_EQ(steps[2], "default Office") << flags;
    }
}

TEST(Install, TwoPrintersGetTheirSuffixesAndPreferenceFiles) {
    Install i;
    i.line = "ip,192.168.0.250,Color,Model X,x.inf,111";
    i.extraFiles = R"(,"black.dat":{"base64":"AAE="},"color.dat":{"base64":"AAI="})";
    ScenarioRun r = i.run();
    EXPECT_EQ(printerNames(r), (std::vector<std::string>{"Color_彩色", "Color_黑白"}));
    EXPECT_EQ(r.state().find("defaultPrinter")->asString(), "Color_黑白");
    EXPECT_EQ(r.state().find("preferences")->dump(),
              R"({"Color_彩色":"color.dat","Color_黑白":"black.dat"})");
    EXPECT_EQ(r.ops("wmi.put").size(), 2u);  // the port step runs in both passes
    std::vector<std::string> labels;
    for (const auto& l : r.ops("set")) {
        if (l.find("control")->asString() == "msg.PrintNameLabel")
            labels.push_back(l.find("value")->asString());
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"Color_彩色", "Color_黑白"}));
    // Neither printer carries the plain name, so nothing is renamed.
    EXPECT_TRUE(r.ops("wmi.call").empty());
}

// A copy's window shows the address and name its file name carries; what the user confirms there
// is installed, and ip.ini, shared by every copy, stays as it was.
TEST(Install, ACopysNameGivesAddressAndPrinterName) {
    Install i;
    i.exe = "安裝_10.0.0.7_HP_Laser.exe";
    ScenarioRun r = i.run();
    EXPECT_GE(r.indexOf("set", "value", "10.0.0.7"), 0);  // shown at start
    EXPECT_EQ(r.lastSet("Form1.Text2", "text").asString(), "HP_Laser");
    auto put = r.ops("wmi.put");
    ASSERT_EQ(put.size(), 1u);
    EXPECT_EQ(put[0].find("props")->find("HostAddress")->asString(), "10.1.1.5");  // as typed
    EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(),
              "ip,192.168.0.250,Office,Model X,x.inf,100\r\n");
    EXPECT_EQ(r.lastSet("msg.PrintNameLabel", "caption").asString(), "HP_Laser");
    EXPECT_EQ(printerNames(r), (std::vector<std::string>{"HP_Laser"}));
    EXPECT_EQ(r.ops("wmi.call")[0].find("method")->asString(), "RenamePrinter");
}

TEST(Install, ANameTypedInTheMainWindowRenamesThePrinter) {
    Install i;
    i.newName = "Front Desk";
    ScenarioRun r = i.run();
    EXPECT_EQ(r.lastSet("msg.PrintNameLabel", "caption").asString(), "Front Desk");
    auto calls = r.ops("wmi.call");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].find("args")->dump(), R"(["Front Desk"])");
    bool queried = false;
    for (const auto& q : r.ops("wmi.query")) {
        queried = queried || q.find("wql")->asString() ==
                                 "Select * From Win32_Printer Where DeviceID = 'Office'";
    }
    EXPECT_TRUE(queried);
    EXPECT_EQ(printerNames(r), (std::vector<std::string>{"Front Desk"}));
}

TEST(Install, APrinterNameWithAQuoteIsRenamedToo) {
    Install i;
    i.line = "ip,192.168.0.250,Bob's,Model X,x.inf,000";
    i.newName = "Front";
    ScenarioRun r = i.run();
    EXPECT_EQ(printerNames(r), (std::vector<std::string>{"Front"}));
}

TEST(Install, NetworkPathPortRestartsTheSpoolerWithItsWaits) {
    struct Case {
        std::string machine;
        std::vector<double> waits;
    };
    const Case cases[] = {
        {"{}", {3}},  // the second start finds it running (10): no second wait
        {R"({"faults":[{"op":"wmi.call","method":"StartService","times":1}]})", {3, 3}},
    };
    for (const Case& c : cases) {
        Install i;
        i.address = "\\\\srv\\hp";
        i.machine = c.machine;
        ScenarioRun r = i.run();
        auto calls = r.ops("wmi.call");
        ASSERT_GE(calls.size(), 3u);
        EXPECT_EQ(calls[0].find("method")->asString(), "StopService");
        EXPECT_EQ(calls[1].find("method")->asString(), "SetStringValue");
        EXPECT_EQ(
            calls[1].find("args")->dump(),
            R"([2147483650,"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports","\\\\srv\\hp","REG_SZ"])");
        std::vector<double> waits;
        for (const auto& w : r.ops("wait"))
            waits.push_back(w.find("seconds")->asNumber());
        EXPECT_EQ(waits, c.waits);
        std::vector<std::string> steps = commands(r);
        EXPECT_EQ(steps[1],
                  "run rundll32 printui.dll,PrintUIEntry /if /b \"Office\" /f x.inf /r "
                  "\"\\\\srv\\hp\" /m \"Model X\"");
        EXPECT_EQ(printerNames(r), (std::vector<std::string>{"Office"}));
    }
}

TEST(Install, ASpoolerThatWasNotRunningIsNoFailedStep) {
    // StopService answers 6 when the spooler is already stopped: the port is still written and
    // the spooler started, so the run did all it was asked.
    struct Case {
        const char* what;
        std::string machine;
        bool failed;
    };
    const Case cases[] = {
        {"stopped spooler", R"({"services":{"Spooler":"Stopped"}})", false},
        {"stop answers 6", R"({"faults":[{"op":"wmi.call","method":"StopService","result":6}]})",
         false},
        {"stop answers 2", R"({"faults":[{"op":"wmi.call","method":"StopService","result":2}]})",
         true},
    };
    for (const Case& c : cases) {
        Install i;
        i.address = "\\\\srv\\hp";
        i.machine = c.machine;
        i.answers = R"(,{"answer":"yes"},{"answer":"ok"})";
        ScenarioRun r = i.run();
        const Value& end = r.lines[r.lines.size() - 2];
        ASSERT_EQ(end.find("op")->asString(), "end") << c.what;
        EXPECT_EQ(end.find("code")->asInteger(), c.failed ? 1603 : 0) << c.what;
        auto boxes = r.ops("msgbox");
        ASSERT_EQ(boxes.size(), c.failed ? 2u : 1u) << c.what;
        if (c.failed) {
            EXPECT_NE(boxes[1].find("text")->asString().find("StopService 傳回 2"),
                      std::string::npos)
                << c.what;
        }
        EXPECT_EQ(r.state().find("services")->find("Spooler")->asString(), "Running") << c.what;
        EXPECT_EQ(printerNames(r), (std::vector<std::string>{"Office"})) << c.what;
    }
}

// A port step that fails leaves no port to print to: the pass adds no printer (never one on an
// empty port), and the closing message names the port. A port that was there takes the
// printer even when updating it failed.
TEST(Install, APassWithoutAPortAddsNoPrinter) {
    const std::string earlierPort =
        R"("ports":[{"Name":"IP_10.1.1.5","HostAddress":"10.1.1.5","PortNumber":"9100","Protocol":1}])";
    struct Case {
        const char* what;
        std::string machine;
        bool printerInstalled;
    };
    const Case cases[] = {
        {"put fails", R"({"faults":[{"op":"wmi.put"}]})", false},
        {"spawn fails", R"({"faults":[{"op":"wmi.spawn"}]})", false},
        {"connect fails", R"({"faults":[{"op":"wmi.connect","moniker":"winmgmts:"}]})", false},
        {"put fails on a port that is there",
         R"({"faults":[{"op":"wmi.put"}],)" + earlierPort + "}", true},
    };
    for (const Case& c : cases) {
        Install i;
        i.machine = c.machine;
        i.answers = R"(,{"answer":"yes"},{"answer":"ok"})";
        ScenarioRun r = i.run();
        ASSERT_EQ(r.status, 0) << c.what;
        const std::vector<std::string> ran = commands(r);
        const bool installLine = std::find(ran.begin(), ran.end(), kInstallOffice) != ran.end();
        EXPECT_EQ(installLine, c.printerInstalled) << c.what;
        for (const std::string& command : ran)
            EXPECT_EQ(command.find("/r \"\""), std::string::npos) << c.what << ": " << command;
        const std::string summary = r.ops("msgbox").back().find("text")->asString();
        EXPECT_NE(summary.find("新增連接埠 IP_10.1.1.5"), std::string::npos) << c.what;
        EXPECT_EQ(
            summary.find("連接埠 IP_10.1.1.5 沒有建立，這台印表機沒有安裝。") != std::string::npos,
            !c.printerInstalled)
            << c.what << summary;
        EXPECT_EQ(printerNames(r).size(), c.printerInstalled ? 1u : 0u) << c.what;
        EXPECT_EQ(r.lines[r.lines.size() - 2].find("code")->asInteger(), 1603) << c.what;
    }
}

TEST(Install, APrinterThatDidNotAppearIsReported) {
    Install i;
    // An INF the program cannot read before the install: printui finds no such model in it.
    i.line = "ip,192.168.0.250,Office,Model Y,y.inf,100";
    i.answers = R"(,{"answer":"yes"},{"answer":"ok"})";
    ScenarioRun r = i.run();
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    const std::string text = boxes[1].find("text")->asString();
    EXPECT_NE(text.find("Office"), std::string::npos);
    EXPECT_NE(text.find("Model Y"), std::string::npos);
    EXPECT_NE(text.find("y.inf"), std::string::npos);
    EXPECT_EQ(boxes[1].find("icon")->asString(), "stop");
    // The run still finishes as usual.
    EXPECT_GE(r.indexOf("reg.write"), 0);
    EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "end");

    // Without WMI the printer cannot be looked for; the failed default printer still tells.
    Install unreachable = i;
    unreachable.machine =
        R"({"faults":[{"op":"wmi.connect","moniker":"winmgmts:\\\\.\\root\\cimv2"}]})";
    ScenarioRun u = unreachable.run();
    ASSERT_EQ(u.ops("msgbox").size(), 2u);
    const std::string summary = u.ops("msgbox")[1].find("text")->asString();
    EXPECT_EQ(summary.find("Model Y"), std::string::npos);
    EXPECT_NE(summary.find("設定預設印表機「Office」"), std::string::npos);
    EXPECT_EQ(u.lines[u.lines.size() - 2].find("op")->asString(), "end");
}

TEST(Install, ThePlaceholderAddressStartsTheMainProgram) {
    struct Case {
        std::string extra;
        const char* command;
    };
    for (Case c :
         {Case{R"(,"Velmora.exe":{"base64":"TVo="})", "Velmora.exe"}, Case{"", "\"安裝.exe\""}}) {
        Install i;
        i.address = "192.168.0.250";
        i.extraFiles = c.extra;
        ScenarioRun r = i.run();
        auto runs = r.ops("run");
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].find("cmd")->asString(), c.command);
        EXPECT_EQ(runs[0].find("style")->asInteger(), 1);
        EXPECT_TRUE(runs[0].find("wait")->asBool());
        EXPECT_TRUE(r.ops("wmi.put").empty());
        EXPECT_EQ(r.lastSet("setupprint", "windowState").asInteger(), 1);
        EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "end");
    }
}

TEST(Install, AShareNamedExecutableConnectsItsShare) {
    Install i;
    i.exe = "SHARE_srv_hp.exe";
    i.answers = R"(,{"answer":"yes"},{"answer":"ok"},{"answer":"ok"})";
    ScenarioRun r = i.run();
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[1].find("text")->asString(), "SHARE");
    EXPECT_EQ(boxes[2].find("text")->asString(), "\\\\srv\\hp");
    EXPECT_EQ(r.state().find("connections")->dump(), R"(["\\\\srv\\hp"])");
    EXPECT_TRUE(r.ops("wmi.put").empty());

    Install refused = i;
    refused.machine = R"({"faults":[{"op":"net.connect"}]})";
    ScenarioRun f = refused.run();
    auto failed = f.ops("msgbox");
    ASSERT_EQ(failed.size(), 3u);
    EXPECT_NE(failed[2].find("text")->asString().find("\\\\srv\\hp"), std::string::npos);
    EXPECT_EQ(failed[2].find("icon")->asString(), "stop");

    // Not a share entry: srv stands where a copy's address stands, and is no address. The main
    // window shows it, the user types an address in its place, and that is installed.
    Install lower = i;
    lower.exe = "share_srv_hp.exe";
    lower.answers = R"(,{"answer":"yes"})";
    ScenarioRun l = lower.run();
    EXPECT_GE(l.indexOf("set", "value", "srv"), 0);
    ASSERT_EQ(l.ops("wmi.put").size(), 1u);
    EXPECT_EQ(l.ops("wmi.put")[0].find("props")->find("HostAddress")->asString(), "10.1.1.5");
    EXPECT_TRUE(l.state().find("connections")->asArray().empty());
}

}  // namespace
