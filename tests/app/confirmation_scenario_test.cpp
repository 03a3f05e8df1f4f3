// The end user's confirmation in the main window, on the simulated machine.

#include <gtest/gtest.h>

#include "platform/sim/codepage.h"
#include "profile/address_check.h"
#include "support/package_run.h"
#include "support/scenario_run.h"

namespace {

using testing_support::runScenario;
using testing_support::ScenarioRun;

const char* kProfile = R"("ip.ini":{"text":"ip,192.168.0.250,Office,Model X,x.inf,100\r\n"})";

std::string scenario(const std::string& actions, const std::string& extraFolder = "",
                     const std::string& machine = "{}") {
    return std::string(R"({"folder":{)") + kProfile + extraFolder + R"(},"machine":)" + machine +
           R"(,"actions":)" + actions + "}";
}

std::string typeAndConfirm(const std::string& address, const std::string& rest) {
    sim::json::Value text(address);
    return R"([{"type":"Form1.Text1","text":)" + text.dump() + R"(},{"click":"Form1.Command1"})" +
           rest + "]";
}

TEST(AddressCheck, DottedAddressesAndTheirParts) {
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"10.0.0.7", true},
        {"0.0.0.0", true},
        {"255.255.255.255", true},
        // Windows reads a leading zero as octal: 192.168.001.010 would be 192.168.1.8.
        {"001.010.000.255", false},
        {"192.168.001.010", false},
        {"10.0.0.00", false},
        {"10.100.200.0", true},
        {"256.1.1.1", false},
        {"1.1.1.256", false},
        {"1.1.1", false},
        {"1.1.1.1.1", false},
        {"1.1.1.1000", false},
        {"0001.1.1.1", false},  // four digits, even where the value fits
        {"1.1.1.0255", false},
        {"1..1.1", false},
        {"1.1.a.1", false},
        {" 1.1.1.1", false},
        {"1.1.1.1 ", false},
        {"1.1.1.", false},
        {"", false},
        {"1.1.1.1\r\n2.2.2.2", false},
        {"1.1.1.1\n", false},
        {"１.1.1.1", false},
        {"+1.1.1.1", false},
        {"1.1.1.-1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(profile::isValidIpAddress(c.text), c.valid) << c.text;
}

// A network path goes on into the registry and command lines: what could change a line, or
// be stored as "?", is refused where it is typed.
TEST(AddressCheck, NetworkPathsHoldNothingThatCouldChangeALine) {
    sim::SimCodepage cp950(950);
    struct Case {
        std::string text;
        bool accepted;
    };
    const Case cases[] = {
        {"\\\\srv\\hp", true},
        {"a\\\\b", true},
        {"\\\\印表機伺服器\\二樓", true},
        {"\\\\srv\\hp two", true},
        {"10.0.0.7", true},
        {"\\\\srv\\hp,x", false},
        {"\\\\srv\\hp\r\n", false},
        {"\\\\srv\\hp\" & calc & \"", false},
        {"\\\\srv\\h|p", false},
        {"\\\\srv\\h<p>", false},
        {"\\\\srv\\h^p", false},
        {"\\\\srv\\%PATH%", false},
        {"\\\\srv\\hp\\", false},
        {"\\\\srv\\h\tp", false},
        {"\\\\srv\\🖨", false},
        {"\\\\srv\\Café", false},
        {"10.0.0.7,1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(profile::isAcceptableAddress(c.text, cp950), c.accepted) << c.text;
}

TEST(Confirmation, EnterRightAfterStartSaysTheAddressIsUnchanged) {
    ScenarioRun r = runScenario(scenario(R"([{"key":"Form1.Text1","char":13},{"answer":"ok"}])"));
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].find("text")->asString(), "您的IP尚未修改，請先修改後再按確定。");
    EXPECT_EQ(boxes[0].find("icon")->asString(), "exclamation");
    EXPECT_EQ(boxes[0].find("title")->asString(), "提示");
    EXPECT_TRUE(r.ops("file.write").empty());
    EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "idle");
}

TEST(Confirmation, EmptyOwnAddressAndEmptyBoxIsUnchangedNotInvalid) {
    ScenarioRun r = runScenario(
        scenario(R"([{"type":"Form1.Text1","text":""},{"click":"Form1.Command1"},{"answer":"ok"}])",
                 "", R"({"adapters":[]})"));
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].find("text")->asString(), "您的IP尚未修改，請先修改後再按確定。");
}

TEST(Confirmation, InvalidAddressesAreRefusedAndNothingIsWritten) {
    for (const char* address : {"256.1.1.1", "1.1.1", "1.1.1.1.1", "1.1.1.1000", "1..1.1",
                                "a.1.1.1", " 1.1.1.1", "1.1.1.1 ", "1.1.1.", "10.0.0.7\r\n10.0.0.8",
                                "\\\\srv\\hp,x", "10.0.0.7,x", "192.168.001.010"}) {
        ScenarioRun r = runScenario(scenario(typeAndConfirm(address, R"(,{"answer":"ok"})")));
        EXPECT_EQ(r.status, 0) << address;
        auto boxes = r.ops("msgbox");
        ASSERT_EQ(boxes.size(), 1u) << address;
        EXPECT_EQ(boxes[0].find("text")->asString(), "IP不正確");
        EXPECT_EQ(boxes[0].find("icon")->asString(), "stop");
        EXPECT_EQ(boxes[0].find("title")->asString(), "Velmora");
        EXPECT_TRUE(r.ops("file.write").empty()) << address;
        EXPECT_TRUE(r.ops("error").empty()) << address;  // never a stop
    }
}

TEST(Confirmation, ValidAddressIsStoredAsTypedWithTheOtherFieldsUnchanged) {
    struct Case {
        const char* address;
        const char* line;
    };
    for (Case c : {Case{"10.200.0.1", "ip,10.200.0.1,Office,Model X,x.inf,100\r\n"},
                   Case{"\\\\srv\\hp", "ip,\\\\srv\\hp,Office,Model X,x.inf,100\r\n"},
                   Case{"x\\\\y", "ip,x\\\\y,Office,Model X,x.inf,100\r\n"}}) {
        ScenarioRun r = runScenario(scenario(typeAndConfirm(c.address, R"(,{"answer":"no"})")));
        auto writes = r.ops("file.write");
        ASSERT_EQ(writes.size(), 1u) << c.address;
        EXPECT_EQ(writes[0].find("text")->asString(), c.line);
        auto question = r.ops("msgbox");
        ASSERT_EQ(question.size(), 1u);
        EXPECT_EQ(question[0].find("text")->asString(),
                  "IP 已設定完成。\r\n\r\n您是否要立即安裝驅動程式？");
        EXPECT_EQ(question[0].find("icon")->asString(), "question");
        EXPECT_EQ(question[0].find("buttons")->asString(), "yesno");
        // No: the main window is unloaded, the engine never ran, the program ends.
        EXPECT_EQ(r.indexOf("form", "form", "setupprint"), -1);
        EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "end");
        EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(), c.line);
    }
}

// The profile is read as ip.ini holds it: the package maker is not loaded, so none of its
// warnings for the technician (here: preferences asked for, none recorded) reaches the end user.
TEST(Confirmation, TheProfileIsReadWithoutThePackageMakerOrItsWarnings) {
    const std::string folder =
        R"({"folder":{"ip.ini":{"text":"ip,192.168.0.250,Office,M,x.inf,111\r\n"}},)";
    ScenarioRun r = runScenario(folder + R"("actions":)" +
                                typeAndConfirm("10.0.0.8", R"(,{"answer":"no"})") + "}");
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_EQ(r.indexOf("form", "form", "ADVSET"), -1);
    ASSERT_EQ(r.ops("msgbox").size(), 1u);
    EXPECT_EQ(r.ops("msgbox")[0].find("text")->asString(),
              "IP 已設定完成。\r\n\r\n您是否要立即安裝驅動程式？");
    EXPECT_EQ(r.ops("file.write").at(0).find("text")->asString(),
              "ip,10.0.0.8,Office,M,x.inf,111\r\n");
}

TEST(Confirmation, BackslashProfileIsWrittenBackInTheCommaForm) {
    std::string s = R"({"folder":{"ip.ini":{"text":"ip\\192.168.0.250\\Office\\M\\x.inf\\100\r\n"}},
                       "actions":[{"type":"Form1.Text1","text":"10.0.0.8"},{"click":"Form1.Command1"},{"answer":"no"}]})";
    ScenarioRun r = runScenario(s);
    ASSERT_EQ(r.ops("file.write").size(), 1u);
    EXPECT_EQ(r.ops("file.write")[0].find("text")->asString(),
              "ip,10.0.0.8,Office,M,x.inf,100\r\n");
}

TEST(Confirmation, YesHidesTheMainWindowAndHandsOverToTheEngine) {
    ScenarioRun r = runScenario(scenario(typeAndConfirm("10.0.0.8", R"(,{"answer":"yes"})")));
    int hide = r.indexOf("form", "event", "hide");
    int engine = r.indexOf("form", "form", "setupprint");
    ASSERT_GE(hide, 0);
    ASSERT_GE(engine, 0);
    EXPECT_EQ(r.lines[hide].find("form")->asString(), "Form1");
    EXPECT_LT(hide, engine);
}

// A read-only package: the profile cannot be written, which the log keeps; the install goes on
// with the address confirmed, and the file stays as it was.
TEST(Confirmation, AProfileThatCannotBeWrittenIsLoggedAndTheConfirmedAddressInstalled) {
    ScenarioRun r =
        runScenario(scenario(typeAndConfirm("10.0.0.8", R"(,{"answer":"yes"},{"answer":"ok"})"), "",
                             R"({"faults":[{"op":"file.write","name":"ip.ini"}]})"));
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_EQ(r.ops("msgbox").at(0).find("text")->asString(),
              "IP 已設定完成。\r\n\r\n您是否要立即安裝驅動程式？");
    ASSERT_FALSE(r.ops("wmi.put").empty());
    EXPECT_EQ(r.ops("wmi.put")[0].find("props")->find("HostAddress")->asString(), "10.0.0.8");
    EXPECT_TRUE(testing_support::logHas(r, "無法寫入 ip.ini，以確認的位址繼續安裝"));
    EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(),
              "ip,192.168.0.250,Office,Model X,x.inf,100\r\n");
    for (const auto& box : r.ops("msgbox"))
        EXPECT_EQ(box.find("text")->asString().find("ip.ini"), std::string::npos);
}

TEST(Confirmation, CancelEndsAtOnceWithoutAQuestion) {
    ScenarioRun r = runScenario(
        scenario(R"([{"type":"Form1.Text1","text":"10.0.0.8"},{"click":"Form1.Command2"}])"));
    EXPECT_TRUE(r.ops("msgbox").empty());
    EXPECT_TRUE(r.ops("file.write").empty());
    EXPECT_EQ(r.indexOf("form", "event", "unload"), -1);
    EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "end");
}

TEST(Confirmation, TheCloseBoxAsksAndNoKeepsTheWindow) {
    ScenarioRun no = runScenario(scenario(
        R"([{"type":"Form1.Text1","text":"10.0.0.9"},{"close":"Form1"},{"answer":"no"},{"inspect":"Form1"}])"));
    auto boxes = no.ops("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].find("text")->asString(), "確定要退出嗎?");
    EXPECT_EQ(boxes[0].find("icon")->asString(), "none");
    EXPECT_EQ(boxes[0].find("title")->asString(), "Velmora");
    ASSERT_EQ(no.ops("inspect").size(), 1u);
    EXPECT_TRUE(no.ops("inspect")[0].find("loaded")->asBool());
    EXPECT_EQ(no.ops("inspect")[0].find("controls")->find("Text1")->find("text")->asString(),
              "10.0.0.9");

    ScenarioRun yes = runScenario(scenario(R"([{"close":"Form1"},{"answer":"yes"}])"));
    EXPECT_EQ(yes.lines[yes.lines.size() - 2].find("op")->asString(), "end");
    EXPECT_EQ(yes.indexOf("form", "event", "unload"), -1);  // ended, not unloaded
}

TEST(Confirmation, TheHelpLinkOpensThePageMinimised) {
    ScenarioRun r = runScenario(scenario(R"([{"click":"Form1.Label2"}])"));
    auto starts = r.ops("start");
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].find("cmd")->asString(),
              "cmd.exe /c  start  https://www.wikihow.com/Find-the-IP-Address-of-Your-Printer");
    EXPECT_EQ(starts[1].find("style")->asInteger(), 2);
}

}  // namespace
