// The main window's start-up on the simulated machine, through the scenario runner.

#include <gtest/gtest.h>

#include "support/scenario_run.h"

namespace {

using testing_support::runScenario;
using testing_support::ScenarioRun;

const char* kRegCommand =
    "reg add \"HKEY_CURRENT_USER\\Software\\Microsoft\\Command Processor\" /v \"DisableUNCCheck\" "
    "/t REG_DWORD /d 00000001 /f";
const char* kDefaultLine =
    "ip,192.168.0.250,請填入印表機名稱,請填入印表機模組名稱,請填入INF檔名,100\r\n";

std::string withProfile(const std::string& line, const std::string& extra = "") {
    return R"({"folder":{"ip.ini":{"text":")" + line + R"("}})" + extra + "}";
}

TEST(Startup, FirstStartInAnEmptyFolder) {
    ScenarioRun r = runScenario(
        R"({"machine":{"adapters":[{"IPEnabled":true,"IPAddress":["192.168.1.23"]}]}})");
    EXPECT_EQ(r.status, 0);
    // The registry command comes first, hidden, before the profile is touched.
    ASSERT_GE(r.indexOf("start"), 0);
    auto start = r.lines[r.indexOf("start")];
    EXPECT_EQ(start.find("cmd")->asString(), kRegCommand);
    EXPECT_EQ(start.find("style")->asInteger(), 0);
    EXPECT_LT(r.indexOf("start"), r.indexOf("file.append"));
    EXPECT_LT(r.indexOf("file.append"), r.indexOf("wmi.connect"));

    auto append = r.ops("file.append");
    ASSERT_EQ(append.size(), 1u);
    EXPECT_EQ(append[0].find("name")->asString(), "ip.ini");
    EXPECT_EQ(append[0].find("text")->asString(), kDefaultLine);
    EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(), kDefaultLine);

    EXPECT_EQ(r.lastSet("Form1.Text1", "text").asString(), "192.168.1.23");
    EXPECT_EQ(r.lastSet("Form1.ip", "caption").asString(), "192.168.1.23");
    EXPECT_EQ(r.lastSet("Form1.Text2", "text").asString(), "請填入印表機名稱");
    EXPECT_EQ(r.lastSet("Form1.Label1", "caption").asString(), "機型： 請填入印表機名稱");
    EXPECT_EQ(r.lastSet("Form1.print_nameLabel", "caption").asString(), "請填入印表機名稱");
    EXPECT_EQ(r.lastSet("Form1", "caption").asString(), "Velmora  安裝驅動程式  ");
    EXPECT_TRUE(r.lastSet("Form1.Text2", "enabled").isNull());  // never disabled
    EXPECT_EQ(
        r.state()
            .find("registry")
            ->find("HKEY_CURRENT_USER\\Software\\Microsoft\\Command Processor\\DisableUNCCheck")
            ->asInteger(),
        1);
    EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "idle");
}

TEST(Startup, TheWmiCallsAreExactlyTheAdapterQuery) {
    ScenarioRun r = runScenario("{}");
    auto connect = r.ops("wmi.connect");
    ASSERT_EQ(connect.size(), 1u);
    EXPECT_EQ(connect[0].find("moniker")->asString(), "winmgmts:\\\\.\\root\\cimv2");
    auto query = r.ops("wmi.query");
    ASSERT_EQ(query.size(), 1u);
    EXPECT_EQ(query[0].find("wql")->asString(),
              "Select * from Win32_NetworkAdapterConfiguration where IPEnabled=TRUE");
    EXPECT_TRUE(query[0].find("flags")->isNull());
}

TEST(Startup, StartingAgainLeavesTheProfileByteForByte) {
    std::string line = kDefaultLine;
    ScenarioRun r = runScenario(
        R"({"folder":{"ip.ini":{"text":"ip,192.168.0.250,請填入印表機名稱,請填入印表機模組名稱,請填入INF檔名,100\r\n"}}})");
    EXPECT_TRUE(r.ops("file.append").empty());
    EXPECT_TRUE(r.ops("file.write").empty());
    EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(), line);
}

TEST(Startup, AddressAndNameComeFromTheProfile) {
    struct Case {
        const char* what;
        std::string scenario;
        const char* text1;
        const char* text2;
    };
    const Case cases[] = {
        {"a set address shows even when it is the own address",
         withProfile("ip,192.168.1.23,Office,M,x.inf,100\\r\\n"), "192.168.1.23", "Office"},
        {"a set address", withProfile("ip,10.0.0.7,Front Desk,M,x.inf,100\\r\\n"), "10.0.0.7",
         "Front Desk"},
        {"backslash form", withProfile("ip\\\\10.0.0.9\\\\Lobby\\\\M\\\\x.inf\\\\100\\r\\n"),
         "10.0.0.9", "Lobby"},
        {"network path with a host ending in ip stays one field",
         withProfile("ip,\\\\\\\\printip\\\\q,Share,M,x.inf,100\\r\\n"), "\\\\printip\\q", "Share"},
        {"spaces kept", withProfile("ip, 10.0.0.7 , Office ,M,x.inf,100\\r\\n"), " 10.0.0.7 ",
         " Office "},
        {"short line reads empty fields", withProfile("ip,10.0.0.7"), "10.0.0.7", ""},
        {"empty file", withProfile(""), "", ""},
        {"placeholder address gives the own address",
         withProfile("ip,192.168.0.250,Office,M,x.inf,100\\r\\n",
                     R"(,"machine":{"adapters":[{"IPAddress":["10.9.9.9"]}]})"),
         "10.9.9.9", "Office"},
    };
    for (const Case& c : cases) {
        ScenarioRun r = runScenario(c.scenario);
        ASSERT_EQ(r.status, 0) << c.what;
        EXPECT_TRUE(r.ops("msgbox").empty()) << c.what;  // never a stop
        EXPECT_EQ(r.lastSet("Form1.Text1", "text").asString(), c.text1) << c.what;
        EXPECT_EQ(r.lastSet("Form1.Text2", "text").asString(), c.text2) << c.what;
        EXPECT_EQ(r.lastSet("Form1.Label1", "caption").asString(), std::string("機型： ") + c.text2)
            << c.what;
    }
}

TEST(Startup, PrinterNameBoxIsDisabledOnlyForTwoPrinters) {
    struct Case {
        const char* flags;
        bool disabled;
    };
    for (Case c : {Case{"100", false}, Case{"001", true}, Case{"101", true}, Case{"011", true},
                   Case{"110", false}, Case{"10", false}, Case{"", false}, Case{"00x", false}}) {
        ScenarioRun r = runScenario(
            withProfile(std::string("ip,10.0.0.7,Office,M,x.inf,") + c.flags + "\\r\\n"));
        sim::json::Value enabled = r.lastSet("Form1.Text2", "enabled");
        EXPECT_EQ(!enabled.isNull() && !enabled.asBool(), c.disabled) << c.flags;
    }
}

TEST(Startup, AdapterRuleOnTheMachinesAnswer) {
    struct Case {
        const char* adapters;
        const char* expected;
    };
    const Case cases[] = {
        {R"([{"IPEnabled":true,"IPAddress":["10.0.0.1"]},{"IPEnabled":true,"IPAddress":["10.0.0.2","fe80::2"]}])",
         "10.0.0.2"},
        {R"([{"IPEnabled":true,"IPAddress":["fd00::2","fe80::1%4","192.0.2.2"]},{"IPEnabled":true,"IPAddress":null}])",
         "fd00::2"},
        {R"([{"IPEnabled":false,"IPAddress":["10.0.0.1"]},{"IPEnabled":true,"IPAddress":["10.0.0.3"]}])",
         "10.0.0.3"},
        {R"([{"IPEnabled":true,"IPAddress":["10.0.0.4"]},{"IPEnabled":false,"IPAddress":["10.0.0.5"]}])",
         "10.0.0.4"},
        {R"([])", ""},
    };
    for (const Case& c : cases) {
        ScenarioRun r = runScenario(std::string(R"({"machine":{"adapters":)") + c.adapters + "}}");
        EXPECT_EQ(r.lastSet("Form1.ip", "caption").asString(), c.expected) << c.adapters;
        EXPECT_EQ(r.lastSet("Form1.Text1", "text").asString(), c.expected) << c.adapters;
    }
}

TEST(Startup, UnreachableWmiLeavesTheOwnAddressEmptyWithoutAStop) {
    for (const char* op : {"wmi.connect", "wmi.query"}) {
        ScenarioRun r =
            runScenario(std::string(R"({"machine":{"faults":[{"op":")") + op + R"("}]}})");
        EXPECT_EQ(r.status, 0);
        auto errors = r.ops("error");
        ASSERT_EQ(errors.size(), 1u) << op;
        EXPECT_TRUE(errors[0].find("trapped")->asBool());
        EXPECT_EQ(errors[0].find("call")->find("op")->asString(), op);
        EXPECT_TRUE(r.ops("msgbox").empty());
        EXPECT_EQ(r.lastSet("Form1.ip", "caption").asString(), "");
        EXPECT_EQ(r.lastSet("Form1.Text1", "text").asString(), "");
        EXPECT_EQ(r.lastSet("Form1", "caption").asString(), "Velmora  安裝驅動程式  ");
    }
}

TEST(Startup, ARegistryCommandThatCannotStartGoesUnnoticed) {
    ScenarioRun r = runScenario(R"({"machine":{"missingPrograms":["reg"]}})");
    auto errors = r.ops("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].find("trapped")->asBool());
    EXPECT_EQ(errors[0].find("call")->find("op")->asString(), "start");
    EXPECT_TRUE(r.ops("msgbox").empty());
    EXPECT_EQ(r.lastSet("Form1", "caption").asString(), "Velmora  安裝驅動程式  ");
    EXPECT_TRUE(r.state().find("registry")->members().empty());
}

TEST(Startup, HiddenProfileGetsTheDefaultLineAppendedAndItsOwnLineStillCounts) {
    ScenarioRun r = runScenario(
        R"({"folder":{"ip.ini":{"text":"ip,10.0.0.7,Office,M,x.inf,100\r\n","hidden":true}}})");
    EXPECT_EQ(r.ops("file.append").size(), 1u);
    EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(),
              std::string("ip,10.0.0.7,Office,M,x.inf,100\r\n") + kDefaultLine);
    EXPECT_EQ(r.lastSet("Form1.Text1", "text").asString(), "10.0.0.7");
}

TEST(Startup, Utf8ProfileWithByteOrderMarkReadsAsUtf8) {
    // 辦公室 in UTF-8 after a byte-order mark.
    ScenarioRun r = runScenario(
        R"({"folder":{"ip.ini":{"base64":"77u/aXAsMTAuMC4wLjcs6L6m5YWs5a6kLE0seC5pbmYsMTAwDQo="}}})");
    EXPECT_EQ(r.lastSet("Form1.Text2", "text").asString(), "辦公室");
}

TEST(Startup, AFailingProfileCreationStopsWithTheStandardMessage) {
    ScenarioRun r = runScenario(
        R"({"machine":{"faults":[{"op":"file.append","name":"ip.ini"}]},"actions":[{"answer":"ok"}]})");
    EXPECT_EQ(r.status, 0);
    int error = r.indexOf("error");
    ASSERT_GE(error, 0);
    EXPECT_FALSE(r.lines[error].find("trapped")->asBool());
    auto box = r.lines[error + 1];
    EXPECT_EQ(box.find("op")->asString(), "msgbox");
    EXPECT_EQ(box.find("title")->asString(), "Velmora");
    EXPECT_EQ(box.find("text")->asString(), "執行階段錯誤 '70':\r\n\r\n沒有使用權限");
    EXPECT_EQ(r.lines[error + 2].find("op")->asString(), "end");
    EXPECT_TRUE(r.ops("wmi.connect").empty());
}

TEST(Startup, CaretGoesToTheEndOfTheAddressOnActivation) {
    ScenarioRun r = runScenario(withProfile("ip,10.0.0.77,Office,M,x.inf,100\\r\\n",
                                            R"(,"actions":[{"inspect":"Form1"}])"));
    auto inspect = r.ops("inspect");
    ASSERT_EQ(inspect.size(), 1u);
    EXPECT_EQ(inspect[0].find("activeControl")->asString(), "Text1");
    EXPECT_EQ(inspect[0].find("controls")->find("Text1")->find("selStart")->asInteger(), 9);
    EXPECT_LT(r.indexOf("form", "event", "show"), r.indexOf("form", "event", "activate"));
}

}  // namespace
