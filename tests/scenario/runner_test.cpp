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

namespace {

using sim::json::Value;

// A run's lines that have this op, as values.
std::vector<Value> linesOf(const ScenarioRun& r, const char* op) {
    return r.ops(op);
}

// The error lines of failed command lines; the folder has no INF, so its read fails too.
std::vector<Value> commandErrors(const ScenarioRun& r) {
    std::vector<Value> out;
    for (const Value& e : r.ops("error")) {
        if (e.find("call")->isObject() && e.find("call")->find("cmd") != nullptr)
            out.push_back(e);
    }
    return out;
}

TEST(FaultLab, AFaultCopiedFromATranscriptFires) {
    const char* folder =
        R"("folder":{"ip.ini":{"text":"ip,192.168.0.250,Office,Model X,x.inf,100\r\n"}})";
    const char* actions =
        R"("actions":[{"type":"Form1.Text1","text":"10.1.1.5"},{"key":"Form1.Text1","char":13},{"answer":"yes"},{"answer":"ok"}])";
    // The clean run's install line, with the exit code written after it.
    ScenarioRun clean = runScenario(std::string("{") + folder + "," + actions + "}");
    Value copied;
    for (const Value& l : linesOf(clean, "run")) {
        if (l.find("cmd")->asString().find("/if") != std::string::npos)
            copied = l;
    }
    ASSERT_TRUE(copied.has("exitCode"));
    ScenarioRun r = runScenario(std::string("{") + folder + ",\"machine\":{\"faults\":[" +
                                copied.dump() + "]}," + actions + "}");
    auto errors = commandErrors(r);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0].find("call")->find("cmd")->asString(), copied.find("cmd")->asString());
    EXPECT_EQ(errors[0].find("form")->asString(), "setupprint");
    EXPECT_EQ(errors[0].find("reaction")->asString(), "Form_Load");
}

TEST(FaultLab, SkipLetsTheFirstMatchesPassAndTimesCountsAfterThem) {
    // Two printers: the install line runs twice; skip 1, times 1 fails only the second.
    const std::string s =
        R"({"folder":{"ip.ini":{"text":"ip,192.168.0.250,Office,Model X,x.inf,001\r\n"},)"
        R"("black.dat":{"text":"b"},"color.dat":{"text":"c"}},)"
        R"("machine":{"faults":[{"op":"run","wait":true,"skip":1,"times":1}]},)"
        R"("actions":[{"type":"Form1.Text1","text":"10.1.1.5"},{"key":"Form1.Text1","char":13},{"answer":"yes"},{"answer":"ok"}]})";
    ScenarioRun r = runScenario(s);
    std::vector<std::string> failed;
    for (const Value& e : commandErrors(r))
        failed.push_back(e.find("call")->find("cmd")->asString());
    ASSERT_EQ(r.status, 0) << r.lines[r.lines.size() - 2].dump();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_NE(failed[0].find("Office_黑白"), std::string::npos) << failed[0];
}

TEST(FaultLab, LookingUpAndReadingFilesAreCallsAFaultCanFail) {
    struct Case {
        const char* fault;
        long long number;
    };
    for (const Case& c : {Case{R"({"op":"file.exists","name":"ip.ini"})", 75},
                          Case{R"({"op":"file.read","name":"ip.ini"})", 70}}) {
        ScenarioRun r = runScenario(
            std::string(R"({"folder":{"ip.ini":{"text":"ip,10.0.0.7,A,M,x.inf,100\r\n"}},)") +
            R"("machine":{"faults":[)" + c.fault + R"(]},"actions":[{"answer":"ok"}]})");
        auto errors = linesOf(r, "error");
        ASSERT_EQ(errors.size(), 1u) << c.fault;
        EXPECT_EQ(errors[0].find("number")->asInteger(), c.number);
        EXPECT_FALSE(errors[0].find("trapped")->asBool());  // the start has no trap: it stops
        EXPECT_EQ(errors[0].find("reaction")->asString(), "Form_Load");
        EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(),
                  "ip,10.0.0.7,A,M,x.inf,100\r\n");
    }
}

TEST(FaultLab, AFailureTheProgramHandlesItselfIsWrittenOnceWhereItHappened) {
    struct Case {
        const char* what;
        const char* scenario;
        const char* op;
        const char* form;
        const char* reaction;
    };
    const Case cases[] = {
        {"ip.ini cannot be written",
         R"({"folder":{"ip.ini":{"text":"ip,192.168.0.250,A,M,x.inf,100\r\n"}},)"
         R"("machine":{"faults":[{"op":"file.write","name":"ip.ini"}]},)"
         R"("actions":[{"type":"Form1.Text1","text":"10.1.1.5"},{"key":"Form1.Text1","char":13},{"answer":"no"}]})",
         "file.write", "Form1", "Text1_KeyPress"},
        {"no devcon",
         R"({"folder":{"ip.ini":{"text":"ip,1,KONICA MINOLTA 210,M,x.inf,100\r\n"}},)"
         R"("machine":{"missingPrograms":["devcon"]},)"
         R"("actions":[{"invoke":"Form1.USB_install"},{"answer":"ok"}]})",
         "run", "setupprint", "Form_Load"},
        {"share connection refused",
         R"({"folder":{"ip.ini":{"text":"ip,\\\\srv\\hp,A,M,x.inf,100\r\n"}},)"
         R"("machine":{"faults":[{"op":"net.connect"}]},)"
         R"("actions":[{"invoke":"Form1.Share_Install"},{"answer":"ok"}]})",
         "net.connect", "setupprint", "Form_Load"},
        // A trapped failure is written once too, by the trap.
        {"port trapped in the install",
         R"({"folder":{"ip.ini":{"text":"ip,192.168.0.250,A,M,x.inf,100\r\n"}},)"
         R"("machine":{"faults":[{"op":"wmi.put"}]},)"
         R"("actions":[{"type":"Form1.Text1","text":"10.1.1.5"},{"key":"Form1.Text1","char":13},{"answer":"yes"},{"answer":"ok"}]})",
         "wmi.put", "setupprint", "Form_Load"},
    };
    for (const Case& c : cases) {
        ScenarioRun r = runScenario(c.scenario);
        ASSERT_EQ(r.status, 0) << c.what << ": " << r.lines[r.lines.size() - 2].dump();
        std::vector<std::size_t> at;  // the error lines of the failed call
        std::size_t lastBox = 0;
        for (std::size_t i = 0; i < r.lines.size(); ++i) {
            const Value& l = r.lines[i];
            if (l.find("op")->asString() == "msgbox")
                lastBox = i;
            if (l.find("op")->asString() == "error" &&
                l.find("call")->find("op")->asString() == c.op)
                at.push_back(i);
        }
        ASSERT_EQ(at.size(), 1u) << c.what;
        const Value& error = r.lines[at[0]];
        EXPECT_TRUE(error.find("trapped")->asBool()) << c.what;
        EXPECT_EQ(error.find("form")->asString(), c.form) << c.what;
        EXPECT_EQ(error.find("reaction")->asString(), c.reaction) << c.what;
        // In place of the call's own line: before the message that tells of it.
        EXPECT_LT(at[0], lastBox) << c.what;
    }
}

TEST(FaultLab, ABoxTheScriptCannotAnswerIsWrittenBeforeTheScenarioError) {
    ScenarioRun r =
        runScenario(R"({"folder":{"ip.ini":{"text":"ip,10.0.0.7,A,M,x.inf,100\r\n"}},)"
                    R"("actions":[{"key":"Form1.Text1","char":13},{"click":"Form1.Command1"}]})");
    EXPECT_EQ(r.status, 2);
    ASSERT_GE(r.lines.size(), 3u);
    const Value& box = r.lines[r.lines.size() - 3];
    EXPECT_EQ(box.find("op")->asString(), "msgbox");
    EXPECT_TRUE(box.find("answer")->isNull());
    EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "scenario-error");
}

}  // namespace
