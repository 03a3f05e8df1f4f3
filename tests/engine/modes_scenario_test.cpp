// The share and USB launches of the main window's menu, and a damaged profile.

#include <gtest/gtest.h>

#include "support/scenario_run.h"

namespace {

using testing_support::runScenario;
using testing_support::ScenarioRun;

std::string launch(const std::string& item, const std::string& line, const std::string& answers,
                   const std::string& machine = "{}") {
    return R"({"folder":{"ip.ini":{"text":")" + line + R"(\r\n"}},"machine":)" + machine +
           R"(,"actions":[{"invoke":"Form1.)" + item + R"("})" + answers + "]}";
}

TEST(ShareLaunch, ConnectsTheProfilesPathAndSaysDone) {
    ScenarioRun r = runScenario(launch("Share_Install", "ip,\\\\\\\\srv\\\\hp,Office,M,x.inf,100",
                                       R"(,{"answer":"ok"},{"answer":"ok"})"));
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].find("text")->asString(), "SHARE安裝");
    EXPECT_EQ(boxes[0].find("icon")->asString(), "none");
    EXPECT_EQ(boxes[1].find("text")->asString(), "完成");
    EXPECT_EQ(boxes[1].find("icon")->asString(), "information");
    EXPECT_EQ(r.state().find("connections")->dump(), R"(["\\\\srv\\hp"])");
    // The mode goes to the install as a value; no label carries it.
    EXPECT_EQ(r.indexOf("set", "control", "msg.USB_Label"), -1);
    EXPECT_EQ(r.lastSet("msg.Label2", "caption").asString(), "本機SHARE安裝");
    EXPECT_LT(r.indexOf("window.topmost"), r.indexOf("form", "form", "setupprint"));
    EXPECT_EQ(r.indexOf("reg.write"), -1);
    EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "end");
}

TEST(ShareLaunch, AFailedConnectionIsReportedInPlaceOfDone) {
    ScenarioRun r = runScenario(launch("Share_Install", "ip,\\\\\\\\nohost\\\\q,Office,M,x.inf,100",
                                       R"(,{"answer":"ok"},{"answer":"ok"})",
                                       R"({"faults":[{"op":"net.connect"}]})"));
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1].find("text")->asString().find("\\\\nohost\\q"), std::string::npos);
    EXPECT_EQ(boxes[1].find("icon")->asString(), "stop");
}

TEST(Engine, AProfileShortOfFieldsInstallsNothing) {
    for (const char* line : {"ip,10.0.0.7,Office", "no commas at all"}) {
        ScenarioRun r = runScenario(launch("Share_Install", line, R"(,{"answer":"ok"})"));
        auto boxes = r.ops("msgbox");
        ASSERT_EQ(boxes.size(), 1u) << line;
        EXPECT_NE(boxes[0].find("text")->asString().find("ip.ini"), std::string::npos);
        EXPECT_EQ(boxes[0].find("icon")->asString(), "stop");
        EXPECT_TRUE(r.ops("net.connect").empty());
        EXPECT_TRUE(r.ops("run").empty());
        EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "end");
    }
}

TEST(UsbLaunch, RunsTheModelsDeviceLinesThenEndsEverything) {
    ScenarioRun r =
        runScenario(launch("USB_install", "ip,1,KONICA MINOLTA C353 Series PCL,M,x.inf,100",
                           R"(,{"answer":"ok"},{"answer":"ok"})"));
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].find("text")->asString(), "203");
    EXPECT_EQ(boxes[1].find("text")->asString(), "安裝完成");
    auto runs = r.ops("run");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].find("cmd")->asString(), "devcon rescan");
    EXPECT_EQ(runs[0].find("style")->asInteger(), 0);
    EXPECT_EQ(runs[1].find("cmd")->asString(),
              "devcon update   KOAZXL__.inf  \"USBPRINT\\KONICA_MINOLTAC353_SEB04\"");
    EXPECT_TRUE(runs[1].find("wait")->asBool());
    EXPECT_EQ(runs[2].find("cmd")->asString(), "control printers");
    // The engine window closes itself and writes the default-printer mode as it unloads.
    EXPECT_GE(r.indexOf("reg.write"), 0);
    EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "end");
}

TEST(UsbLaunch, TwoLineModelsAndTheirStyles) {
    ScenarioRun r = runScenario(launch("USB_install", "ip,1,Generic 36C-1SeriesPCL,M,x.inf,100",
                                       R"(,{"answer":"ok"},{"answer":"ok"})"));
    auto runs = r.ops("run");
    ASSERT_GE(runs.size(), 2u);
    EXPECT_EQ(runs[1].find("style")->asInteger(), 9);
    ScenarioRun two = runScenario(
        launch("USB_install", "ip,1,KONICA MINOLTA 210,M,x.inf,100", R"(,{"answer":"ok"})"));
    auto lines = two.ops("run");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].find("cmd")->asString(),
              "devcon  update KM_T.inf  \"USB\\VID_132B&PID_2022&MI_00\"");
    EXPECT_EQ(lines[2].find("cmd")->asString(),
              "devcon  update KM.inf  \"USBPRINT\\KONICA_MINOLTA210D257\"");
}

TEST(UsbLaunch, DevconsRestartCodeIsDoneAndItsOtherCodesAreFailedSteps) {
    // devcon ends with 1 when the driver went in but the computer must restart.
    struct Case {
        long long exitCode;
        bool failed;
    };
    const std::string update =
        R"(devcon update   KOAZXL__.inf  \"USBPRINT\\KONICA_MINOLTAC353_SEB04\")";
    for (const Case& c : {Case{0, false}, Case{1, false}, Case{2, true}, Case{-1, true}}) {
        const std::string what = "exit " + std::to_string(c.exitCode);
        ScenarioRun r =
            runScenario(launch("USB_install", "ip,1,KONICA MINOLTA C353 Series PCL,M,x.inf,100",
                               R"(,{"answer":"ok"},{"answer":"ok"})",
                               R"({"faults":[{"op":"run","cmd":")" + update + R"(","result":)" +
                                   std::to_string(c.exitCode) + "}]}"));
        ASSERT_EQ(r.status, 0) << what << r.lines.back().dump();
        auto runs = r.ops("run");
        ASSERT_GE(runs.size(), 2u) << what;
        EXPECT_EQ(runs[1].find("exitCode")->asInteger(), c.exitCode) << what;
        auto boxes = r.ops("msgbox");
        ASSERT_EQ(boxes.size(), 2u) << what;
        const std::string said = boxes[1].find("text")->asString();
        if (c.failed) {
            EXPECT_NE(said.find("devcon 結束代碼 " + std::to_string(c.exitCode)), std::string::npos)
                << what << ": " << said;
            EXPECT_EQ(boxes[1].find("icon")->asString(), "stop") << what;
            EXPECT_EQ(runs.size(), 2u) << what;  // no printers window after a failure
        } else {
            EXPECT_EQ(said, "安裝完成") << what;
            EXPECT_EQ(runs.back().find("cmd")->asString(), "control printers") << what;
        }
        const auto& end = r.lines[r.lines.size() - 2];
        ASSERT_EQ(end.find("op")->asString(), "end") << what;
        EXPECT_EQ(end.find("code")->asInteger(), c.failed ? 1603 : 0) << what;
    }
}

TEST(UsbLaunch, ALineThatCannotStartEndsTheInstallThere) {
    // The second line of a two-line model needs the first: it is not run after the first
    // could not even start.
    ScenarioRun r = runScenario(launch(
        "USB_install", "ip,1,KONICA MINOLTA 210,M,x.inf,100", R"(,{"answer":"ok"})",
        R"({"faults":[{"op":"run","cmd":"devcon  update KM_T.inf  \"USB\\VID_132B&PID_2022&MI_00\""}]})"));
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    std::vector<std::string> started;
    for (const auto& run : r.ops("run"))
        started.push_back(run.find("cmd")->asString());
    EXPECT_EQ(started, std::vector<std::string>{"devcon rescan"});
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("text")->asString().find("KM_T.inf"), std::string::npos);
    const auto& end = r.lines[r.lines.size() - 2];
    ASSERT_EQ(end.find("op")->asString(), "end");
    EXPECT_EQ(end.find("code")->asInteger(), 1603);
}

TEST(UsbLaunch, UnknownModelsAndAMissingDevconAreSaid) {
    ScenarioRun unknown = runScenario(
        launch("USB_install", "ip,1,konica minolta 210,M,x.inf,100", R"(,{"answer":"ok"})"));
    auto boxes = unknown.ops("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("text")->asString().find("沒有 USB 安裝方式"), std::string::npos);
    EXPECT_TRUE(unknown.ops("run").empty());

    ScenarioRun missing =
        runScenario(launch("USB_install", "ip,1,KONICA MINOLTA 210,M,x.inf,100",
                           R"(,{"answer":"ok"})", R"({"missingPrograms":["devcon"]})"));
    auto said = missing.ops("msgbox");
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("text")->asString().find("devcon"), std::string::npos);
    EXPECT_EQ(said[0].find("icon")->asString(), "stop");
    EXPECT_EQ(missing.lines[missing.lines.size() - 2].find("op")->asString(), "end");
}

}  // namespace
