// The package maker window on the simulated machine, opened from the main window's menu.

#include <gtest/gtest.h>

#include "support/scenario_run.h"

namespace {

using testing_support::runScenario;
using testing_support::ScenarioRun;

// The package holds x.inf, declaring the model "M" that most rows save.
std::string withFolder(const std::string& line, const std::string& more, const std::string& actions,
                       const std::string& machine = "{}") {
    const std::string inf = R"(,"x.inf":{"text":"[Manufacturer]\r\nA=S\r\n[S]\r\nM=i\r\n"})";
    return R"({"folder":{"ip.ini":{"text":")" + line + R"("})" + inf + more + R"(},"machine":)" +
           machine + R"(,"actions":[{"click":"Form1.ADV"})" + actions + "]}";
}

sim::json::Value control(const ScenarioRun& r, const char* name, std::size_t which = 0) {
    const auto inspected = r.ops("inspect");
    const sim::json::Value* c = inspected.at(which).find("controls")->find(name);
    return c != nullptr ? *c : sim::json::Value();
}

TEST(PackageMaker, LoadsTheProfileWithTheStoredNameOverTheModel) {
    ScenarioRun r = runScenario(
        withFolder("ip,10.0.0.7,Office,Model X,x.inf,100\\r\\n", "", R"(,{"inspect":"ADVSET"})"));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(control(r, "Text1").find("text")->asString(), "10.0.0.7");
    EXPECT_EQ(control(r, "Text2").find("text")->asString(), "Office");
    EXPECT_EQ(control(r, "Text3").find("text")->asString(), "Model X");
    EXPECT_EQ(control(r, "Text4").find("text")->asString(), "x.inf");
    EXPECT_EQ(control(r, "Check1").find("value")->asInteger(), 1);
    // Filling the model first proposed it as the name, then the stored name came back.
    std::vector<std::string> names;
    for (const auto& l : r.ops("set")) {
        if (l.find("control")->asString() == "ADVSET.Text2")
            names.push_back(l.find("value")->asString());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Model X", "Office"}));
    bool shownModal = false;
    for (const auto& l : r.ops("form")) {
        if (l.find("form")->asString() == "ADVSET" && l.find("event")->asString() == "show")
            shownModal = l.find("modal")->asBool();
    }
    EXPECT_TRUE(shownModal);
}

TEST(PackageMaker, StoredTwoPrintersWithoutPreferenceFilesWarnsTwiceInOrder) {
    ScenarioRun r =
        runScenario(withFolder("ip,10.0.0.7,Office,M,x.inf,011\\r\\n", "",
                               R"(,{"answer":"ok"},{"answer":"ok"},{"inspect":"ADVSET"})"));
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].find("text")->asString(), "列印喜好設定檔尚未建立");
    EXPECT_EQ(boxes[0].find("title")->asString(), "Velmora");
    EXPECT_EQ(boxes[0].find("icon")->asString(), "exclamation");
    EXPECT_EQ(boxes[1].find("text")->asString(), "列印喜好設定檔尚未建立「兩台(分彩色及黑白)」");
    EXPECT_EQ(boxes[1].find("title")->asString(), "提示");
    EXPECT_EQ(control(r, "Check1").find("value")->asInteger(), 0);
    EXPECT_EQ(control(r, "Check2").find("value")->asInteger(), 0);
    EXPECT_EQ(control(r, "Check3").find("value")->asInteger(), 1);
    EXPECT_FALSE(control(r, "Frame8").find("visible")->asBool());
    EXPECT_TRUE(control(r, "Frame6").find("visible")->asBool());
    // Both warnings come while the window loads, before it is shown.
    int shown = -1;
    for (std::size_t i = 0; i < r.lines.size(); ++i) {
        const auto& l = r.lines[i];
        if (l.find("op")->asString() == "form" && l.find("form")->asString() == "ADVSET" &&
            l.find("event")->asString() == "show")
            shown = static_cast<int>(i);
    }
    EXPECT_LT(r.indexOf("msgbox"), shown);
}

TEST(PackageMaker, PreferenceFilesDecideTheStatusAndTheOptionRules) {
    // black.dat present: "已製作" shows at once.
    ScenarioRun black =
        runScenario(withFolder("ip,1,Office,M,x.inf,100\\r\\n", R"(,"black.dat":{"base64":"AAE="})",
                               R"(,{"inspect":"ADVSET"})"));
    EXPECT_FALSE(control(black, "Label5").find("visible")->asBool());
    EXPECT_TRUE(control(black, "Label8").find("visible")->asBool());

    // Only color.dat: turning the option on keeps it on and hides "尚未製作" without "已製作".
    ScenarioRun color =
        runScenario(withFolder("ip,1,Office,M,x.inf,100\\r\\n", R"(,"color.dat":{"base64":"AAE="})",
                               R"(,{"click":"ADVSET.Check2"},{"inspect":"ADVSET"})"));
    EXPECT_TRUE(color.ops("msgbox").empty());
    EXPECT_EQ(control(color, "Check2").find("value")->asInteger(), 1);
    EXPECT_FALSE(control(color, "Label5").find("visible")->asBool());
    EXPECT_FALSE(control(color, "Label8").find("visible")->asBool());

    // Both files: two printers turns the preference option on with no warning.
    ScenarioRun both = runScenario(withFolder(
        "ip,1,Office,M,x.inf,100\\r\\n",
        R"(,"color.dat":{"base64":"AAE="},"black.dat":{"base64":"AAE="})",
        R"(,{"click":"ADVSET.Check3"},{"inspect":"ADVSET"},{"click":"ADVSET.Check3"},{"inspect":"ADVSET"})"));
    EXPECT_TRUE(both.ops("msgbox").empty());
    EXPECT_EQ(control(both, "Check2").find("value")->asInteger(), 1);
    EXPECT_FALSE(control(both, "Label6").find("visible")->asBool());
    EXPECT_TRUE(control(both, "Label9").find("visible")->asBool());
    EXPECT_TRUE(control(both, "Frame6").find("visible")->asBool());
    // Turning it off again brings the one-printer frame back.
    EXPECT_TRUE(control(both, "Frame8", 1).find("visible")->asBool());
    EXPECT_FALSE(control(both, "Frame6", 1).find("visible")->asBool());
}

TEST(PackageMaker, TogglingLabelsFlipTheirBoxes) {
    ScenarioRun r = runScenario(withFolder(
        "ip,1,Office,M,x.inf,100\\r\\n", "",
        R"(,{"invoke":"ADVSET.Label_Default"},{"invoke":"ADVSET.Label_set"},{"answer":"ok"},{"inspect":"ADVSET"})"));
    EXPECT_EQ(control(r, "Check1").find("value")->asInteger(), 0);
    // No preference file: the warning, and the box is off again.
    ASSERT_EQ(r.ops("msgbox").size(), 1u);
    EXPECT_EQ(control(r, "Check2").find("value")->asInteger(), 0);
}

TEST(PackageMaker, SavingWritesOneLineAndUpdatesTheMainWindowAtOnce) {
    ScenarioRun r = runScenario(
        withFolder("ip,10.0.0.7,Office,M,x.inf,100\\r\\nold second line\\r\\n", "",
                   R"(,{"click":"ADVSET.Check1"},{"click":"ADVSET.Check3"},{"answer":"ok"},
                                              {"type":"ADVSET.Text2","text":"Front Desk"},{"click":"ADVSET.Command2"},{"inspect":"Form1"})"));
    auto writes = r.ops("file.write");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].find("text")->asString(), "ip,10.0.0.7,Front Desk,M,x.inf,001\r\n");
    EXPECT_EQ(r.lastSet("Form1.Label1", "caption").asString(), "機型： Front Desk");
    EXPECT_EQ(r.lastSet("Form1.Text2", "text").asString(), "Front Desk");
    const auto inspected = r.ops("inspect");
    const sim::json::Value* main = inspected[0].find("controls");
    EXPECT_EQ(main->find("print_nameLabel")->find("caption")->asString(),
              "Office");  // a rename later
    EXPECT_EQ(r.ops("inspect")[0].find("activeControl")->asString(), "Text1");
    EXPECT_EQ(main->find("Text1")->find("selStart")->asInteger(), 8);  // after "10.0.0.7"
}

TEST(PackageMaker, FieldsThatWouldBreakTheLineAreRefusedByName) {
    struct Case {
        const char* control;
        const char* text;
        const char* named;
    };
    for (Case c :
         {Case{"ADVSET.Text2", "A,B", "印表機名稱"},
          Case{"ADVSET.Text2", "Say \\\"hi\\\"", "印表機名稱"},
          Case{"ADVSET.Text3", "M\\r\\nX", "印表機模組"},
          Case{"ADVSET.Text4", "a\\\"b.inf", "INF檔名"}, Case{"ADVSET.Text4", "a,b.inf", "INF檔名"},
          // Control characters split command lines; a trailing backslash escapes the
          // quote after it; what code page 950 cannot hold would be stored as "?".
          Case{"ADVSET.Text2", "Off\\tice", "印表機名稱"},
          Case{"ADVSET.Text2", "Office\\\\", "印表機名稱"},
          Case{"ADVSET.Text2", "Café 二樓", "「é」"},
          Case{"ADVSET.Text3", "Model 🖨", "「🖨」"},
          Case{"ADVSET.Text4", "x.inf\\u0007", "INF檔名"},
          Case{"ADVSET.Text4", ".\\\\Driver\\\\", "INF檔名"}}) {
        // A model typed also lands in the name; the name is typed clean again after it.
        std::string actions = std::string(R"(,{"type":")") + c.control + R"(","text":")" + c.text +
                              R"("},{"type":"ADVSET.Text2","text":"Office"})";
        if (std::string(c.control) == "ADVSET.Text2") {
            actions = std::string(R"(,{"type":")") + c.control + R"(","text":")" + c.text + R"("})";
        }
        actions += R"(,{"click":"ADVSET.Command2"},{"answer":"ok"},{"inspect":"ADVSET"})";
        ScenarioRun r =
            runScenario(withFolder("ip,10.0.0.7,Office,M,x.inf,100\\r\\n", "", actions));
        ASSERT_EQ(r.status, 0) << c.text;
        EXPECT_TRUE(r.ops("file.write").empty()) << c.text;
        auto boxes = r.ops("msgbox");
        ASSERT_EQ(boxes.size(), 1u) << c.text;
        EXPECT_NE(boxes[0].find("text")->asString().find(c.named), std::string::npos) << c.text;
        EXPECT_TRUE(r.ops("inspect")[0].find("loaded")->asBool());  // still open
    }
}

TEST(PackageMaker, AFailedSaveKeepsTheWindowAndTheOldFile) {
    ScenarioRun r = runScenario(
        withFolder("ip,10.0.0.7,Office,M,x.inf,100\\r\\n", "",
                   R"(,{"click":"ADVSET.Command2"},{"answer":"ok"},{"inspect":"ADVSET"})",
                   R"({"faults":[{"op":"file.write"}]})"));
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].find("icon")->asString(), "stop");
    EXPECT_NE(boxes[0].find("text")->asString().find("ip.ini"), std::string::npos);
    EXPECT_TRUE(r.ops("inspect")[0].find("loaded")->asBool());
    EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(),
              "ip,10.0.0.7,Office,M,x.inf,100\r\n");
    EXPECT_TRUE(r.lastSet("Form1.Label1", "caption").asString() == "機型： Office");
}

TEST(PackageMaker, CancelLeavesEverythingAsItWas) {
    ScenarioRun r = runScenario(withFolder(
        "ip,10.0.0.7,Office,M,x.inf,100\\r\\n", "",
        R"(,{"type":"ADVSET.Text2","text":"Other"},{"click":"ADVSET.Command3"},{"inspect":"Form1"},{"inspect":"ADVSET"})"));
    EXPECT_TRUE(r.ops("file.write").empty());
    EXPECT_EQ(r.ops("inspect")[0].find("controls")->find("Text2")->find("text")->asString(),
              "Office");
    EXPECT_FALSE(r.ops("inspect")[1].find("loaded")->asBool());
}

TEST(PackageMaker, HelpShowsTheFullText) {
    ScenarioRun r = runScenario(withFolder("ip,1,Office,M,x.inf,100\\r\\n", "",
                                           R"(,{"click":"ADVSET.Command7"},{"answer":"ok"})"));
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].find("title")->asString(), "一鍵安裝製作說明");
    EXPECT_EQ(boxes[0].find("icon")->asString(), "information");
    const std::string text = boxes[0].find("text")->asString();
    EXPECT_EQ(text.substr(0, std::string("一鍵安裝制做說明\r\n\r\n   步驟1 =>自動尋找\r\n").size()),
              "一鍵安裝制做說明\r\n\r\n   步驟1 =>自動尋找\r\n");
    EXPECT_NE(text.find("\r\n\r\n=====選項說明======\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - std::string("需在安裝完成印表機後才能制做。").size()),
              "需在安裝完成印表機後才能制做。");
}

TEST(PackageMaker, TypingTheModelProposesItAsTheName) {
    ScenarioRun r = runScenario(withFolder(
        "ip,1,Office,M,x.inf,100\\r\\n", "",
        R"(,{"type":"ADVSET.Text3","text":"Model Z"},{"click":"ADVSET.Text3"},{"inspect":"ADVSET"})"));
    EXPECT_EQ(control(r, "Text2").find("text")->asString(), "Model Z");
}

TEST(PackageMaker, ShortOrEmptyProfilesLoadWithoutAStop) {
    for (const char* line : {"ip,10.0.0.7", "", "ip,1,2,3,4,1"}) {
        ScenarioRun r = runScenario(withFolder(line, "", R"(,{"inspect":"ADVSET"})"));
        EXPECT_EQ(r.status, 0) << line;
        EXPECT_TRUE(r.ops("error").empty()) << line;
        EXPECT_TRUE(r.ops("inspect")[0].find("loaded")->asBool()) << line;
    }
}

}  // namespace
