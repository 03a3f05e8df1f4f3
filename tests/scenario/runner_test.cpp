// The scenario runner's own contract: exit codes, scenario errors, the closing lines.

#include <gtest/gtest.h>

#include "support/scenario_run.h"

namespace {

using testing_support::runScenario;
using testing_support::ScenarioRun;

TEST(Runner, InvalidScenariosExitWithTwoAndStillEndWithState) {
    const char* cases[] = {
        "not json",
        "[]",
        R"({"codepage":"x"})",
        R"({"folder":{"a\\b.ini":{"text":"x"}}})",
        R"({"folder":{"a.ini":{}}})",
        R"({"folder":{"a.ini":{"base64":"***"}}})",
        R"({"machine":{"faults":[{"name":"ip.ini"}]}})",
        R"({"actions":[1]})",
    };
    for (const char* c : cases) {
        ScenarioRun r = runScenario(c);
        EXPECT_EQ(r.status, 2) << c;
        ASSERT_GE(r.lines.size(), 2u) << c;
        EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "scenario-error") << c;
        EXPECT_EQ(r.state().find("op")->asString(), "state") << c;
    }
}

TEST(Runner, ActionsThatCannotBeCarriedOutAreScenarioErrors) {
    const char* cases[] = {
        R"({"actions":[{"click":"Form1.NoSuch"}]})",
        R"({"actions":[{"click":"Form1.print_nameLabel"}]})",  // hidden
        R"({"actions":[{"click":"Form1.USB_install"}]})",      // hidden and disabled menu item
        R"({"actions":[{"click":"ADVSET.Command2"}]})",        // window not loaded
        R"({"actions":[{"answer":"ok"}]})",                    // no box open
        R"({"actions":[{"select":"Form1.Text1","index":0}]})",
        R"({"actions":[{"type":"Form1.Command1","text":"x"}]})",
        R"({"actions":[{"fly":"Form1"}]})",
        R"({"folder":{"ip.ini":{"text":"ip,1,2,3,4,001\r\n"}},"actions":[{"type":"Form1.Text2","text":"x"}]})",
    };
    for (const char* c : cases) {
        ScenarioRun r = runScenario(c);
        EXPECT_EQ(r.status, 2) << c;
        EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "scenario-error") << c;
    }
}

TEST(Runner, UserActionsReachTheWindow) {
    ScenarioRun r = runScenario(
        R"({"actions":[{"type":"Form1.Text1","text":"10.0.0.8"},{"key":"Form1.Text1","char":57},
                            {"invoke":"Form1.ver"},{"inspect":"Form1"},{"inspect":"ADVSET"}]})");
    EXPECT_EQ(r.status, 0);
    auto inspect = r.ops("inspect");
    ASSERT_EQ(inspect.size(), 2u);
    // The user's typing is not a program change: no set line for it.
    EXPECT_EQ(r.lastSet("Form1.Text1", "text").asString(), "192.168.1.23");
    EXPECT_EQ(inspect[0].find("controls")->find("Text1")->find("text")->asString(), "10.0.0.89");
    EXPECT_FALSE(inspect[1].find("loaded")->asBool());
}

TEST(Runner, ActionsAfterTheProgramEndedAreNotCarriedOut) {
    ScenarioRun r = runScenario(R"({"actions":[{"click":"Form1.Command2"},{"inspect":"Form1"}]})");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "end");
    EXPECT_TRUE(r.ops("inspect").empty());
}

TEST(Runner, AnOpenMessageBoxAtTheEndIsRecordedUnanswered) {
    ScenarioRun r = runScenario(R"({"machine":{"faults":[{"op":"file.append"}]}})");
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].find("answer")->isNull());
    EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "idle");
}

TEST(Runner, FilesThatAreNotTextComeBackAsBase64) {
    ScenarioRun r =
        runScenario(R"({"folder":{"u16.inf":{"base64":"//5bAFYA"},"t.txt":{"text":"辦公室"}}})");
    EXPECT_EQ(r.state().find("files")->find("u16.inf")->find("base64")->asString(), "//5bAFYA");
    EXPECT_EQ(r.state().find("files")->find("t.txt")->asString(), "辦公室");
}

}  // namespace
