// The command line a deployment tool writes: what each switch does on the simulated machine,
// the exit code it ends with, a second run over a PC that has the printer, and the uninstall.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/package_run.h"

namespace {

using sim::json::parse;
using sim::json::Value;
using testing_support::exitCodeOf;
using testing_support::logHas;
using testing_support::PackageRun;
using testing_support::ScenarioRun;

const char* kProfile = "ip,10.0.0.7,Office,Model X,x.inf,100";

PackageRun package(std::vector<std::string> args, const std::string& profile = kProfile) {
    PackageRun p;
    p.args = std::move(args);
    p.profile(profile).text("x.inf", testing_support::kModelXInf);
    return p;
}

std::vector<std::string> shownWindows(const ScenarioRun& r) {
    std::vector<std::string> out;
    for (const Value& l : r.ops("form")) {
        if (l.find("event")->asString() == "show")
            out.push_back(l.find("form")->asString());
    }
    return out;
}

std::vector<std::string> namesOf(const ScenarioRun& r, const char* what) {
    std::vector<std::string> out;
    for (const Value& item : r.state().find(what)->asArray())
        out.push_back(item.find("Name")->asString());
    return out;
}

bool ran(const ScenarioRun& r, const std::string& part) {
    for (const std::string& line : testing_support::startedLines(r)) {
        if (line.find(part) != std::string::npos)
            return true;
    }
    return false;
}

TEST(CommandLine, EachSwitchEndsWithItsCodeAndShowsOnlyWhatItShould) {
    struct Case {
        std::vector<std::string> args;
        long long exitCode;
        std::vector<std::string> windows;  // shown, in order
        std::size_t boxes;                 // message boxes shown
        std::vector<std::string> printers;
        const char* port;  // the one port made, or "" for none
    };
    const Case cases[] = {
        {{"/quiet"}, 0, {}, 0, {"Office"}, "IP_10.0.0.7"},
        {{"/QN"}, 0, {}, 0, {"Office"}, "IP_10.0.0.7"},
        {{"-s"}, 0, {}, 0, {"Office"}, "IP_10.0.0.7"},
        {{"/Silent"}, 0, {}, 0, {"Office"}, "IP_10.0.0.7"},
        {{"/passive"}, 0, {"msg"}, 0, {"Office"}, "IP_10.0.0.7"},
        {{"/quiet", "/ip=10.0.0.9"}, 0, {}, 0, {"Office"}, "IP_10.0.0.9"},
        {{"/quiet", "/name=Front Desk"}, 0, {}, 0, {"Front Desk"}, "IP_10.0.0.7"},
        {{"/?"}, 0, {}, 1, {}, ""},
        {{"-HELP"}, 0, {}, 1, {}, ""},
        {{"/quiet", "/h"}, 0, {}, 0, {}, ""},
        {{"/bogus"}, 1639, {}, 1, {}, ""},
        {{"install"}, 1639, {}, 1, {}, ""},
        {{"/quiet", "/bogus"}, 1639, {}, 0, {}, ""},
        {{"/quiet", "/ip=1.2.3"}, 1639, {}, 0, {}, ""},
        {{"/quiet", "/ip=192.168.001.010"}, 1639, {}, 0, {}, ""},
        {{"/quiet", "/ip=10.0.0.9 & calc"}, 1639, {}, 0, {}, ""},
        {{"/quiet", "/ip="}, 1639, {}, 0, {}, ""},
        {{"/quiet", "/ip"}, 1639, {}, 0, {}, ""},
        {{"/quiet", "/quiet"}, 1639, {}, 0, {}, ""},
        {{"/quiet", "/qn"}, 1639, {}, 0, {}, ""},
        {{"/quiet", "/passive"}, 1639, {}, 0, {}, ""},
        {{"/quiet", "/name=HP,Color"}, 1639, {}, 0, {}, ""},
        {{"/quiet", "/name=A\"B"}, 1639, {}, 0, {}, ""},
        {{"/quiet", "/name=   "}, 1639, {}, 0, {}, ""},
        {{"/quiet", "/name=Office\\"}, 1639, {}, 0, {}, ""},
        {{"/passive", "/ip=x"}, 1639, {}, 0, {}, ""},
        {{"/passive", "/ip="}, 1639, {}, 0, {}, ""},
    };
    for (const Case& c : cases) {
        std::string what;
        for (const std::string& a : c.args)
            what += a + " ";
        PackageRun p = package(c.args);
        if (c.boxes > 0)
            p.answer("ok", static_cast<int>(c.boxes));
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << what << r.lines.back().dump();
        EXPECT_EQ(exitCodeOf(r), c.exitCode) << what;
        EXPECT_EQ(shownWindows(r), c.windows) << what;
        EXPECT_EQ(r.ops("msgbox").size(), c.boxes) << what;
        EXPECT_EQ(namesOf(r, "printers"), c.printers) << what;
        const std::vector<std::string> ports = namesOf(r, "ports");
        EXPECT_EQ(ports, c.port[0] ? std::vector<std::string>{c.port} : std::vector<std::string>{})
            << what;
        // Nobody watches these runs: no window for the user, and the package folder is only read.
        EXPECT_FALSE(ran(r, "control printers")) << what;
        EXPECT_FALSE(ran(r, "PrintersFolder")) << what;
        EXPECT_EQ(r.indexOf("file.write", "name", "ip.ini"), -1) << what;
        EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(),
                  std::string(kProfile) + "\r\n")
            << what;
        // The command line as given, an argument with blanks between quotes.
        std::string logged;
        for (const std::string& a : c.args)
            logged += (logged.empty() ? "" : " ") +
                      (a.find(' ') != std::string::npos ? "\"" + a + "\"" : a);
        EXPECT_TRUE(logHas(r, "命令列：" + logged + "；")) << what;
    }
}

TEST(CommandLine, TheUsageNamesEverySwitchAndARefusalNamesTheArgument) {
    ScenarioRun help = package({"/?"}).answer("ok").run();
    const std::string usage = help.ops("msgbox").at(0).find("text")->asString();
    for (const char* s : {"/quiet", "/passive", "/ip=", "/name=", "/log=", "/uninstall", "1639"})
        EXPECT_NE(usage.find(s), std::string::npos) << s;
    EXPECT_EQ(help.ops("msgbox").at(0).find("icon")->asString(), "information");

    ScenarioRun bad = package({"/ip=10.0.0.9", "/colour"}).answer("ok").run();
    const Value box = bad.ops("msgbox").at(0);
    EXPECT_NE(box.find("text")->asString().find("/colour"), std::string::npos);
    EXPECT_EQ(box.find("icon")->asString(), "stop");
    EXPECT_TRUE(logHas(bad, "命令列不正確："));
}

TEST(CommandLine, AQuietRunOfThePlaceholderAddressIsADamagedPackage) {
    ScenarioRun r = package({"/quiet"}, "ip,192.168.0.250,Office,Model X,x.inf,100").run();
    EXPECT_EQ(exitCodeOf(r), 1620);
    EXPECT_TRUE(r.ops("msgbox").empty());
    EXPECT_TRUE(logHas(r, "範例位址 192.168.0.250"));
    EXPECT_TRUE(namesOf(r, "ports").empty());
    // /ip= gives it the address it lacks.
    ScenarioRun given =
        package({"/quiet", "/ip=10.0.0.8"}, "ip,192.168.0.250,Office,Model X,x.inf,100").run();
    EXPECT_EQ(exitCodeOf(given), 0);
    EXPECT_EQ(namesOf(given, "ports"), std::vector<std::string>{"IP_10.0.0.8"});
}

TEST(CommandLine, TheLogGoesWhereLogSaysAndAPathThatCannotBeWrittenStopsNothing) {
    ScenarioRun r = package({"/quiet", "/log=run.log"}).run();
    EXPECT_EQ(exitCodeOf(r), 0);
    const Value* copy = r.state().find("files")->find("run.log");
    ASSERT_NE(copy, nullptr);
    // UTF-8, as the main log: not text in the code page, so the state gives its bytes.
    ASSERT_NE(copy->find("base64"), nullptr);
    const std::string text = *sim::base64Decode(copy->find("base64")->asString());
    EXPECT_EQ(text.find("開始："), 0u);
    EXPECT_NE(text.find("結束，結束代碼 0\r\n"), std::string::npos);

    ScenarioRun bad = package({"/quiet", "/log=Z:\\nowhere\\run.log"}).run();
    EXPECT_EQ(exitCodeOf(bad), 0);
    EXPECT_TRUE(logHas(bad, "無法寫入記錄檔 Z:\\nowhere\\run.log"));
    EXPECT_EQ(namesOf(bad, "printers"), std::vector<std::string>{"Office"});
}

// What a PC that already has the package holds: its printer on its port, and the port.
void alreadyInstalled(PackageRun& p, const char* printerPort, const char* portAddress) {
    p.machine.set("drivers", parse(R"(["Model X"])"));
    p.machine.set("ports",
                  parse(std::string(R"([{"Name":"IP_10.0.0.7","HostAddress":")") + portAddress +
                        R"(","PortNumber":"9100","Protocol":1},)"
                        R"({"Name":"IP_10.0.0.1","HostAddress":"10.0.0.1",)"
                        R"("PortNumber":"9100","Protocol":1}])"));
    p.machine.set("printers",
                  parse(std::string(R"([{"Name":"Office","DriverName":"Model X","PortName":")") +
                        printerPort + R"("}])"));
}

TEST(CommandLine, ASecondRunLeavesOnePortAndOnePrinterAsThePackageHasThem) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        const char* printerPort;
        const char* portAddress;
        bool replaced;  // the earlier printer is taken off first
    };
    const Case cases[] = {
        {"the same", {"/quiet"}, "IP_10.0.0.7", "10.0.0.7", false},
        {"the port points elsewhere", {"/quiet"}, "IP_10.0.0.7", "10.0.0.99", false},
        {"the printer on another port", {"/quiet"}, "IP_10.0.0.1", "10.0.0.7", true},
        {"the window path", {}, "IP_10.0.0.7", "10.0.0.7", false},
    };
    for (const Case& c : cases) {
        PackageRun p = package(c.args);
        alreadyInstalled(p, c.printerPort, c.portAddress);
        if (c.args.empty())
            p.confirm("10.0.0.7");
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << c.what << r.lines.back().dump();
        EXPECT_EQ(exitCodeOf(r), 0) << c.what;
        const Value printers = *r.state().find("printers");
        ASSERT_EQ(printers.asArray().size(), 1u) << c.what << printers.dump();
        EXPECT_EQ(printers.asArray()[0].find("Name")->asString(), "Office") << c.what;
        EXPECT_EQ(printers.asArray()[0].find("PortName")->asString(), "IP_10.0.0.7") << c.what;
        std::size_t packagePorts = 0;
        for (const Value& port : r.state().find("ports")->asArray()) {
            if (port.find("Name")->asString() == "IP_10.0.0.7") {
                ++packagePorts;
                EXPECT_EQ(port.find("HostAddress")->asString(), "10.0.0.7") << c.what;
            }
        }
        EXPECT_EQ(packagePorts, 1u) << c.what;
        EXPECT_EQ(r.indexOf("printer.remove") >= 0, c.replaced) << c.what;
        // No install line for a printer that is there as the package has it.
        EXPECT_EQ(ran(r, "/if"), c.replaced) << c.what;
    }
}

TEST(CommandLine, UninstallRemovesThePrintersAndAPortNoOtherPrinterUses) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        const char* answer;  // to the question, "" for none
        const char* printers;
        long long exitCode;
        std::vector<std::string> printersAfter;
        std::vector<std::string> portsAfter;
    };
    const char* ours = R"({"Name":"Office","DriverName":"Model X","PortName":"IP_10.0.0.7"})";
    const char* other = R"({"Name":"Other","DriverName":"Model X","PortName":"IP_10.0.0.7"})";
    const std::string both = std::string("[") + ours + "," + other + "]";
    const std::string oursOnly = std::string("[") + ours + "]";
    const Case cases[] = {
        {"quiet", {"/uninstall", "/quiet"}, "", oursOnly.c_str(), 0, {}, {}},
        {"another printer on the port",
         {"/x", "/quiet"},
         "",
         both.c_str(),
         0,
         {"Other"},
         {"IP_10.0.0.7"}},
        {"never installed", {"/uninstall", "/quiet"}, "", "[]", 0, {}, {"IP_10.0.0.7"}},
        {"asked, yes", {"/uninstall"}, "yes", oursOnly.c_str(), 0, {}, {}},
        {"asked, no", {"/uninstall"}, "no", oursOnly.c_str(), 1602, {"Office"}, {"IP_10.0.0.7"}},
    };
    for (const Case& c : cases) {
        PackageRun p = package(c.args);
        p.machine.set("drivers", parse(R"(["Model X"])"));
        p.machine.set("ports", parse(R"([{"Name":"IP_10.0.0.7","HostAddress":"10.0.0.7",)"
                                     R"("PortNumber":"9100","Protocol":1}])"));
        p.machine.set("printers", parse(c.printers));
        if (*c.answer)
            p.answer(c.answer);
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << c.what << r.lines.back().dump();
        EXPECT_EQ(exitCodeOf(r), c.exitCode) << c.what;
        EXPECT_EQ(namesOf(r, "printers"), c.printersAfter) << c.what;
        // A port nobody else uses goes with the printer; "never installed" finds it unused.
        std::vector<std::string> portsAfter = c.portsAfter;
        if (std::string(c.what) == "never installed")
            portsAfter = {};
        EXPECT_EQ(namesOf(r, "ports"), portsAfter) << c.what;
        EXPECT_EQ(r.state().find("drivers")->dump(), R"(["Model X"])") << c.what;
        if (*c.answer) {
            EXPECT_EQ(r.ops("msgbox").at(0).find("text")->asString(), "是否移除印表機「Office」？")
                << c.what;
        } else {
            EXPECT_TRUE(r.ops("msgbox").empty()) << c.what;
        }
    }
}

TEST(CommandLine, AFailedRemovalIsToldAndEndsWith1603) {
    for (const char* times : {"1", "0"}) {
        PackageRun p = package({"/uninstall", "/quiet"});
        p.machine.set("drivers", parse(R"(["Model X"])"));
        p.machine.set("ports", parse(R"([{"Name":"IP_10.0.0.7","HostAddress":"10.0.0.7",)"
                                     R"("PortNumber":"9100","Protocol":1}])"));
        p.machine.set(
            "printers",
            parse(R"([{"Name":"Office","DriverName":"Model X","PortName":"IP_10.0.0.7"}])"));
        Value fault = parse(R"({"op":"printer.remove"})");
        if (std::string(times) == "1")
            fault.set("times", 1);
        p.fault(fault);
        ScenarioRun r = p.run();
        EXPECT_EQ(exitCodeOf(r), 1603) << times;
        EXPECT_TRUE(logHas(r, "步驟失敗：移除印表機「Office」")) << times;
        // The printer that stayed keeps its port.
        EXPECT_EQ(namesOf(r, "ports"), std::vector<std::string>{"IP_10.0.0.7"}) << times;
    }
}

TEST(CommandLine, ALocalSystemRunLeavesTheUsersDefaultPrinterAlone) {
    for (const char* account : {"user", "system"}) {
        const bool system = std::string(account) == "system";
        for (std::vector<std::string> args :
             {std::vector<std::string>{"/quiet"}, std::vector<std::string>{}}) {
            PackageRun p = package(args);
            p.machine.set("account", account);
            if (args.empty())
                p.confirm("10.0.0.8");
            ScenarioRun r = p.run();
            ASSERT_EQ(r.status, 0) << account << r.lines.back().dump();
            EXPECT_EQ(exitCodeOf(r), 0) << account;
            EXPECT_EQ(namesOf(r, "printers"), std::vector<std::string>{"Office"}) << account;
            const Value* def = r.state().find("defaultPrinter");
            EXPECT_EQ(def->isNull(), system) << account << def->dump();
            bool legacy = false;
            for (const auto& [path, value] : r.state().find("registry")->members())
                legacy = legacy || path.find("LegacyDefaultPrinterMode") != std::string::npos;
            EXPECT_EQ(legacy, !system) << account;
            EXPECT_EQ(logHas(r, "以 LocalSystem 帳戶執行"), system) << account;
            EXPECT_TRUE(logHas(r, std::string("帳戶：") + (system ? "LocalSystem" : "使用者")));
        }
    }
}

TEST(CommandLine, AQuietRunFromAReadOnlyFolderNeverWritesIt) {
    PackageRun p = package({"/quiet"});
    p.fault(parse(R"({"op":"file.write"})"));
    ScenarioRun r = p.run();
    EXPECT_EQ(exitCodeOf(r), 0);
    EXPECT_EQ(r.indexOf("error"), -1);
    EXPECT_EQ(namesOf(r, "printers"), std::vector<std::string>{"Office"});
}

}  // namespace
