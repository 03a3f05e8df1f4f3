// The direct install through WMI (VBS, Command5) on the simulated machine: the records it
// stores, the profile it takes them from, and a failed step told by name instead of a success.

#include <gtest/gtest.h>

#include "support/package_run.h"

namespace {

using sim::json::Value;
using testing_support::boxTexts;
using testing_support::exitCodeOf;
using testing_support::fields;
using testing_support::logHas;
using testing_support::PackageRun;
using testing_support::ScenarioRun;
using testing_support::startedLines;

const char* kFolderCommand = "rundll32.exe shell32.dll,SHHelpShortcuts_RunDLL PrintersFolder";

PackageRun package(const std::string& profile = "ip,10.0.0.7,Office,Model X,x.inf,111") {
    PackageRun p;
    // With the preference files there, loading the package maker says nothing.
    p.profile(profile)
        .text("x.inf", testing_support::kModelXInf)
        .text("color.dat", "c")
        .text("black.dat", "b");
    return p;
}

TEST(WmiInstall, InstallsOneDefaultPrinterFromTheStoredProfile) {
    for (const char* button : {"Form1.Command4", "Form1.Command5"}) {
        PackageRun p = package();
        // Typed, never confirmed: the buttons take the address stored in the profile.
        p.type("Form1.Text1", "10.0.0.99").act("invoke", button).answer("ok");
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << button << r.lines.back().dump();
        // The package maker is read and unloaded before the first WMI change.
        EXPECT_LT(r.indexOf("form", "event", "unload"), r.indexOf("wmi.put")) << button;
        auto puts = r.ops("wmi.put");
        ASSERT_EQ(puts.size(), 2u) << button;
        EXPECT_EQ(puts[0].find("props")->dump(),
                  R"({"Name":"IP_10.0.0.7","Protocol":1,"HostAddress":"10.0.0.7",)"
                  R"("PortNumber":"9100","SNMPEnabled":false})");
        EXPECT_EQ(puts[1].find("class")->asString(), "Win32_Printer");
        EXPECT_EQ(puts[1].find("props")->dump(),
                  R"({"drivername":"Model X","portname":"IP_10.0.0.7","DeviceID":"Office",)"
                  R"("Location":"","Network":true,"Shared":false,"ShareName":"","Comment":""})");
        auto calls = r.ops("wmi.call");
        ASSERT_EQ(calls.size(), 2u) << button;  // AddPrinterDriver twice per click
        for (const Value& call : calls) {
            EXPECT_EQ(call.find("target")->asString(), "Win32_PrinterDriver");
            EXPECT_EQ(call.find("method")->asString(), "AddPrinterDriver");
            EXPECT_EQ(call.find("result")->asInteger(), 0);
        }
        EXPECT_EQ(boxTexts(r), std::vector<std::string>{"安裝完成"});
        EXPECT_EQ(startedLines(r).back(), kFolderCommand);
        EXPECT_EQ(r.ops("start").back().find("style")->asInteger(), 2);
        // The two-printer option plays no part: one printer, unsuffixed, and the default.
        const Value& state = r.state();
        EXPECT_EQ(state.find("printers")->dump(),
                  R"([{"Name":"Office","DriverName":"Model X","PortName":"IP_10.0.0.7"}])");
        EXPECT_EQ(state.find("drivers")->dump(), R"(["Model X"])");
        EXPECT_EQ(state.find("defaultPrinter")->asString(), "Office");
        EXPECT_TRUE(state.find("preferences")->members().empty());
    }
}

TEST(WmiInstall, EachButtonHandsItsOwnDriverRecord) {
    PackageRun p = package();
    p.machine.set("folder", "D:\\");
    p.act("invoke", "Form1.Command4").answer("ok").act("invoke", "Form1.Command5").answer("ok");
    p.act("invoke", "Form1.Command5").answer("ok");
    ScenarioRun r = p.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    auto calls = r.ops("wmi.call");
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].find("args")->dump(),
              R"([{"Name":"Model X","SupportedPlatform":"Windows NT x86\\","Version":"3",)"
              R"("FilePath":".\\","Infname":"x.inf"}])");
    // A drive's root keeps its backslash, so the INF's path holds two in a row, as designed.
    EXPECT_EQ(calls[2].find("args")->dump(),
              R"([{"Infname":"\"D:\\\\x.inf\"","Name":"Model X",)"
              R"("SupportedPlatform":"Windows NT x86","Version":"3","FilePath":"\"D:\\\\\\\""}])");
    // Command5 prints one more line per click; the second click updates the same printer.
    auto printed = r.ops("print");
    ASSERT_EQ(printed.size(), 2u);
    for (const Value& line : printed) {
        EXPECT_EQ(line.find("form")->asString(), "Form1");
        EXPECT_EQ(line.find("text")->asString(), "本程式的路徑為：D:\\");
    }
    EXPECT_EQ(r.state().find("printers")->asArray().size(), 1u);
    EXPECT_EQ(r.state().find("ports")->asArray().size(), 1u);
}

TEST(WmiInstall, ANetworkPathStillBecomesATcpPort) {
    PackageRun p = package("ip,\\\\srv\\hp,Office,Model X,x.inf,100");
    p.act("invoke", "Form1.Command4").answer("ok");
    ScenarioRun r = p.run();
    EXPECT_EQ(r.state().find("ports")->dump(),
              R"([{"Name":"IP_\\\\srv\\hp","HostAddress":"\\\\srv\\hp","PortNumber":"9100",)"
              R"("Protocol":1,"SNMPEnabled":false}])");
    EXPECT_EQ(r.state().find("printers")->asArray()[0].find("PortName")->asString(),
              "IP_\\\\srv\\hp");
}

TEST(WmiInstall, AFailedStepIsToldByNameAndNothingAfterItRuns) {
    struct Case {
        const char* what;
        PackageRun package;
        std::string step;
        std::string undone;  // what the message says this left undone
        std::string reason;  // a part of it
        std::size_t driverCalls;
    };
    // An INF without makers is not checked before the install; the driver call then fails.
    PackageRun noModel = package("ip,10.0.0.7,Office,Model Y,x.inf,100");
    noModel.text("x.inf", "[Version]\r\n[Models]\r\nModel Y = i\r\n");
    const Case cases[] = {
        {"port", package().fault(fields({{"op", "wmi.put"}, {"class", "Win32_TCPIPPrinterPort"}})),
         "新增連接埠 IP_10.0.0.7", "，印表機「Office」沒有安裝", "錯誤 0x80041001", 0},
        {"driver class",
         package().fault(fields({{"op", "wmi.get"}, {"path", "Win32_PrinterDriver"}})),
         "安裝驅動程式「Model X」", "，印表機「Office」沒有安裝", "錯誤 0x80041001", 0},
        // The codes stay unexamined; the printer's store then fails for want of the driver.
        {"model not in the INF", noModel, "安裝印表機「Office」", "",
         "錯誤 0x80070705：印表機驅動程式不明。", 2},
        {"driver refused",
         package().fault(
             fields({{"op", "wmi.call"}, {"method", "AddPrinterDriver"}, {"result", 5}})),
         "安裝印表機「Office」", "", "0x80070705", 2},
        {"default printer", package().fault(fields({{"op", "net.default"}})),
         "設定預設印表機「Office」", "", "0x80070709", 2},
    };
    for (Case c : cases) {
        c.package.act("invoke", "Form1.Command4").answer("ok");
        ScenarioRun r = c.package.run();
        ASSERT_EQ(r.status, 0) << c.what << r.lines.back().dump();
        auto boxes = r.ops("msgbox");
        ASSERT_EQ(boxes.size(), 1u) << c.what;  // no 安裝完成
        const std::string text = boxes[0].find("text")->asString();
        EXPECT_EQ(text.rfind("無法" + c.step + c.undone + "。\r\n\r\n", 0), 0u)
            << c.what << ": " << text;
        EXPECT_NE(text.find(c.reason), std::string::npos) << c.what << ": " << text;
        EXPECT_EQ(boxes[0].find("icon")->asString(), "stop") << c.what;
        EXPECT_EQ(boxes[0].find("title")->asString(), "Velmora") << c.what;
        EXPECT_EQ(r.ops("wmi.call").size(), c.driverCalls) << c.what;
        EXPECT_EQ(startedLines(r).size(), 1u) << c.what;  // the registry command alone
        EXPECT_TRUE(r.state().find("defaultPrinter")->isNull()) << c.what;
        EXPECT_EQ(exitCodeOf(r), 1603) << c.what;
        EXPECT_TRUE(logHas(r, "步驟失敗：" + c.step + "：")) << c.what;
    }
}

TEST(WmiInstall, AnExistingPrinterOfTheNameIsUpdated) {
    PackageRun p = package();
    Value printers = Value::array();
    printers.push(sim::json::parse(R"({"Name":"OFFICE","DriverName":"Old","PortName":"LPT1:"})"));
    p.machine.set("printers", printers);
    p.act("invoke", "Form1.Command4").answer("ok");
    ScenarioRun r = p.run();
    EXPECT_EQ(r.state().find("printers")->dump(),
              R"([{"Name":"OFFICE","DriverName":"Model X","PortName":"IP_10.0.0.7"}])");
}

TEST(WmiInstall, ADamagedProfileInstallsNothing) {
    PackageRun p = package("ip,10.0.0.7,Office");
    p.act("invoke", "Form1.Command5").answer("ok");
    ScenarioRun r = p.run();
    EXPECT_EQ(r.ops("print").size(), 1u);
    EXPECT_TRUE(r.ops("wmi.put").empty());
    EXPECT_NE(r.ops("msgbox")[0].find("text")->asString().find("沒有安裝任何東西"),
              std::string::npos);
    EXPECT_EQ(exitCodeOf(r), 1620);
}

}  // namespace
