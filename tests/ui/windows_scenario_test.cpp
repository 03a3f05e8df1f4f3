// The about window, opened from the main window's menu.

#include <gtest/gtest.h>

#include "support/scenario_run.h"

namespace {

using testing_support::runScenario;
using testing_support::ScenarioRun;

TEST(AboutWindow, OpensModallyAndBothWaysOfClosingReturnToTheMainWindow) {
    for (const char* closing :
         {R"({"click":"form1_about.Command5"})", R"({"close":"form1_about"})"}) {
        ScenarioRun r = runScenario(
            std::string(R"({"actions":[{"click":"Form1.about"},{"inspect":"form1_about"},)") +
            closing + R"(,{"inspect":"Form1"},{"inspect":"form1_about"}]})");
        ASSERT_EQ(r.status, 0) << closing;
        auto inspect = r.ops("inspect");
        ASSERT_EQ(inspect.size(), 3u);
        EXPECT_EQ(inspect[0].find("caption")->asString(), "關於");
        EXPECT_EQ(inspect[0].find("controls")->find("VER_Label")->find("caption")->asString(),
                  "版本：2.8");
        EXPECT_FALSE(inspect[2].find("loaded")->asBool());
        EXPECT_EQ(inspect[1].find("activeControl")->asString(), "Text1");
        // The main window is active again after the about window went away.
        int lastActivate = -1;
        for (std::size_t i = 0; i < r.lines.size(); ++i) {
            const auto& l = r.lines[i];
            if (l.find("op")->asString() == "form" && l.find("event")->asString() == "activate")
                lastActivate = static_cast<int>(i);
        }
        ASSERT_GE(lastActivate, 0);
        EXPECT_EQ(r.lines[lastActivate].find("form")->asString(), "Form1");
    }
}

TEST(AboutWindow, TheMainWindowTakesNoInputWhileItIsOpen) {
    ScenarioRun r =
        runScenario(R"({"actions":[{"click":"Form1.about"},{"click":"Form1.Command1"}]})");
    EXPECT_EQ(r.status, 2);
}

TEST(AboutWindow, TheLinkOpensTheWebSiteMinimised) {
    ScenarioRun r =
        runScenario(R"({"actions":[{"click":"Form1.about"},{"click":"form1_about.Label4"}]})");
    auto starts = r.ops("start");
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].find("cmd")->asString(), "cmd.exe /c  start  https://velmora.example.com");
    EXPECT_EQ(starts[1].find("style")->asInteger(), 2);
}

}  // namespace
