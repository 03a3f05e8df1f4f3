// Recording printing preferences in the package maker: 製作 for one printer and for two.

#include <gtest/gtest.h>

#include "command/argv.h"
#include "support/package_run.h"

namespace {

using sim::json::Value;
using testing_support::PackageRun;
using testing_support::ScenarioRun;

Value printers(std::initializer_list<const char*> names) {
    Value list = Value::array();
    for (const char* n : names) {
        Value p = Value::object();
        p.set("Name", n);
        p.set("DriverName", "Model X");
        p.set("PortName", "IP_10.0.0.7");
        list.push(p);
    }
    return list;
}

// The package maker opened on a profile named name, with these printers installed.
PackageRun maker(const std::string& name, std::initializer_list<const char*> installed,
                 const std::string& flags = "100") {
    PackageRun p;
    p.profile("ip,10.0.0.7," + name + ",Model X,x.inf," + flags);
    p.machine.set("printers", printers(installed));
    p.act("click", "Form1.ADV");
    return p;
}

std::vector<std::string> recordings(const ScenarioRun& r) {
    std::vector<std::string> out;
    for (const std::string& line : testing_support::startedLines(r)) {
        if (line.rfind("cmd /c", 0) == 0)
            out.push_back(line);
    }
    return out;
}

std::string lastBox(const ScenarioRun& r) {
    return r.ops("msgbox").back().find("text")->asString();
}

TEST(Recording, OnePrinterRecordsBlackDatWaitsAndTellsTheTruth) {
    PackageRun p = maker("Office", {"Other", "Office"});
    ScenarioRun r =
        p.act("click", "ADVSET.Command5").answer("yes").answer("ok").act("inspect", "ADVSET").run();
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(recordings(r), (std::vector<std::string>{
                                 "cmd /c start  /wait rundll32 printui.dll,PrintUIEntry /Ss /n "
                                 "\"Office\" /a black.dat"}));
    auto run = r.ops("run")[0];
    EXPECT_EQ(run.find("style")->asInteger(), 2);
    EXPECT_TRUE(run.find("wait")->asBool());
    auto boxes = r.ops("msgbox");
    EXPECT_EQ(boxes[0].find("title")->asString(), "提示");
    EXPECT_EQ(boxes[0].find("icon")->asString(), "question");
    EXPECT_EQ(boxes[1].find("text")->asString(), "製作完成。");
    EXPECT_EQ(boxes[1].find("title")->asString(), "製作列印喜好設定");
    const auto inspected = r.ops("inspect");
    const Value* controls = inspected[0].find("controls");
    EXPECT_FALSE(controls->find("Label5")->find("visible")->asBool());
    EXPECT_TRUE(controls->find("Label8")->find("visible")->asBool());
    EXPECT_EQ(controls->find("Check2")->find("value")->asInteger(), 1);
    EXPECT_NE(r.state().find("files")->find("black.dat"), nullptr);
}

TEST(Recording, OnePrinterFailuresChangeNothing) {
    struct Case {
        const char* what;
        PackageRun package;
        std::string told;
        std::size_t recorded;
    };
    PackageRun missing = maker("Office", {"office", "Office_黑白"});  // exact names only
    PackageRun cmdMissing = maker("Office", {"Office"});
    cmdMissing.machine.set("missingPrograms", Value(sim::json::Array{Value("cmd")}));
    PackageRun notWritten = maker("Office", {"Office"});  // the interface writes nothing
    Value fault = Value::object();
    fault.set("op", "run");
    notWritten.machine.set("faults", Value(sim::json::Array{fault}));
    PackageRun percent = maker("100%", {"100%"});
    const Case cases[] = {
        {"no such printer", missing, "製作失敗，找不到印表機 Office", 0},
        {"cmd cannot start", cmdMissing, "沒有寫入 black.dat", 1},
        {"nothing written", notWritten, "沒有寫入 black.dat", 1},
        {"a name cmd would expand", percent, "「100%」含有「%」", 0},
    };
    for (const Case& c : cases) {
        PackageRun p = c.package;
        ScenarioRun r = p.act("click", "ADVSET.Command5")
                            .answer("yes")
                            .answer("ok")
                            .act("inspect", "ADVSET")
                            .run();
        ASSERT_EQ(r.status, 0) << c.what;
        EXPECT_NE(lastBox(r).find(c.told), std::string::npos) << c.what << ": " << lastBox(r);
        EXPECT_EQ(r.ops("msgbox").back().find("icon")->asString(), "exclamation") << c.what;
        const auto inspected = r.ops("inspect");
        const Value* controls = inspected[0].find("controls");
        EXPECT_TRUE(controls->find("Label5")->find("visible")->asBool()) << c.what;
        EXPECT_EQ(controls->find("Check2")->find("value")->asInteger(), 0) << c.what;
    }
}

TEST(Recording, AFailedRecordingKeepsTheOlderFile) {
    PackageRun p = maker("Office", {"Office"});
    p.bytes("black.dat", std::string("OLD\0SETTINGS", 12));
    Value fault = Value::object();
    fault.set("op", "run");
    p.machine.set("faults", Value(sim::json::Array{fault}));
    ScenarioRun r = p.act("click", "ADVSET.Command5").answer("yes").answer("ok").run();
    EXPECT_EQ(r.state().find("files")->find("black.dat")->find("base64")->asString(),
              sim::base64Encode(std::string("OLD\0SETTINGS", 12)));
    // The copy kept aside is gone again.
    EXPECT_EQ(r.state().find("files")->find("black.dat.velmora-old"), nullptr);
    EXPECT_NE(lastBox(r).find("沒有寫入 black.dat"), std::string::npos);

    // A recording that does write replaces it.
    PackageRun ok = maker("Office", {"Office"});
    ok.bytes("black.dat", "OLD");
    ScenarioRun w = ok.act("click", "ADVSET.Command5").answer("yes").answer("ok").run();
    EXPECT_EQ(lastBox(w), "製作完成。");
    EXPECT_EQ(w.state().find("files")->find("black.dat.velmora-old"), nullptr);
}

TEST(Recording, NoToTheQuestionStartsNothing) {
    for (const char* button : {"ADVSET.Command5", "ADVSET.cmdCBset"}) {
        PackageRun p = maker("Office", {"Office", "Office_黑白", "Office_彩色"}, "101");
        ScenarioRun r = p.answer("ok").act("invoke", button).answer("no").run();
        ASSERT_EQ(r.status, 0) << button;
        EXPECT_TRUE(recordings(r).empty()) << button;
        EXPECT_TRUE(r.ops("wmi.query").size() <= 1) << button;  // the start's own only
    }
}

TEST(Recording, TwoPrintersRecordBothAndReportWhichFailed) {
    struct Case {
        const char* what;
        std::initializer_list<const char*> installed;
        std::vector<std::string> files;  // recorded, in order
        std::string told;
    };
    const Case cases[] = {
        {"both",
         {"Office_彩色", "Office", "Office_黑白"},
         {"color.dat", "black.dat"},
         "製作完成。"},
        {"colour only", {"Office_彩色"}, {"color.dat"}, "找不到印表機 Office_黑白"},
        {"none", {"Office"}, {}, "製作失敗，找不到印表機"},
    };
    for (const Case& c : cases) {
        // Flags 001: the two-printer frame shows; its warning comes first while loading.
        PackageRun p = maker("Office", c.installed, "001");
        ScenarioRun r = p.answer("ok")
                            .act("click", "ADVSET.cmdCBset")
                            .answer("yes")
                            .answer("ok")
                            .act("inspect", "ADVSET")
                            .run();
        ASSERT_EQ(r.status, 0) << c.what;
        std::vector<std::string> files;
        for (const std::string& line : recordings(r)) {
            std::vector<std::string> args =
                command::splitArguments(line.substr(line.find("rundll32")));
            files.push_back(args.back());
        }
        EXPECT_EQ(files, c.files) << c.what;
        EXPECT_NE(lastBox(r).find(c.told), std::string::npos) << c.what << ": " << lastBox(r);
        const auto inspected = r.ops("inspect");
        const Value* controls = inspected[0].find("controls");
        const bool done = c.files.size() == 2;
        EXPECT_EQ(controls->find("Label9")->find("visible")->asBool(), done) << c.what;
        EXPECT_EQ(controls->find("Check2")->find("value")->asInteger(), done ? 1 : 0) << c.what;
    }
}

TEST(Recording, HostileNamesStayOneArgumentForTheInterpreterAndTheInterface) {
    for (const char* name : {"A & B | C", "Office\\", "二樓 <彩色> ^印表機"}) {
        PackageRun p = maker(name, {name});
        ScenarioRun r = p.act("click", "ADVSET.Command5").answer("yes").answer("ok").run();
        ASSERT_EQ(recordings(r).size(), 1u) << name;
        const std::string line = recordings(r)[0];
        std::vector<std::string> args = command::splitArguments(line.substr(line.find("rundll32")));
        EXPECT_EQ(args, (std::vector<std::string>{"rundll32", "printui.dll,PrintUIEntry", "/Ss",
                                                  "/n", name, "/a", "black.dat"}));
        EXPECT_EQ(lastBox(r), "製作完成。") << name;
    }
}

}  // namespace
