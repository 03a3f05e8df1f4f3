// setup now on the simulated machine: the lines it starts for each printer, the boxes it reads
// them from, the texts that may never change a line, and a port that cannot be made.

#include <gtest/gtest.h>

#include "support/package_run.h"

namespace {

using sim::json::Value;
using testing_support::exitCodeOf;
using testing_support::PackageRun;
using testing_support::ScenarioRun;
using testing_support::startedLines;

const std::string kNotice = "cmd /c /q  msg abc /TIME:6 安裝中....請稍待\"";
const std::string kFolder = "rundll32.exe shell32.dll,SHHelpShortcuts_RunDLL PrintersFolder";

PackageRun package(const std::string& flags) {
    PackageRun p;
    p.profile("ip,10.0.0.7,Office,Model X,x.inf," + flags)
        .text("x.inf", testing_support::kModelXInf)
        .text("color.dat", "c")
        .text("black.dat", "b");
    return p;
}

// The lines the button started, without the registry command of the start-up.
std::vector<std::string> buttonLines(const ScenarioRun& r) {
    std::vector<std::string> lines = startedLines(r);
    lines.erase(lines.begin());
    return lines;
}

std::string install(const std::string& name) {
    return "rundll32 printui.dll,PrintUIEntry /if /b \"" + name +
           "\" /f x.inf /r IP_10.0.0.8 /m \"Model X\"";
}

TEST(PrintuiInstall, StartsOneLinePerPrinterAsTheOptionsSay) {
    struct Case {
        std::string flags;
        std::vector<std::string> lines;
        std::string printers;  // final state
        Value defaultPrinter;
        std::string preferences;
    };
    const std::string one = install("Front Desk");
    // Two printers: the name box is disabled, so the profile's name stands in it.
    const std::string color = install("Office_彩色");
    const std::string black = install("Office_黑白");
    const Case cases[] = {
        {"100",
         {kNotice,
          "cmd /c start  /wait " + one +
              " && rundll32 printui.dll,PrintUIEntry /y /n \"Front Desk\"",
          kFolder},
         R"(["Front Desk"])",
         "Front Desk",
         "{}"},
        // One printer takes black.dat, not color.dat.
        {"010",
         {kNotice,
          "cmd /c  start /wait " + one + " && " + one +
              " /Sr  /n \"Front Desk\" /a black.dat d g u ",
          kFolder},
         R"(["Front Desk"])",
         nullptr,
         R"({"Front Desk":"black.dat"})"},
        {"000",
         {kNotice, "cmd /c  start /wait " + one, kFolder},
         R"(["Front Desk"])",
         nullptr,
         "{}"},
        // A pair that selects nothing starts no install, but the notice and the folder all the
        // same.
        {"120", {kNotice, kFolder}, "[]", nullptr, "{}"},
        {"111",
         {kNotice,
          "cmd /c  start /wait " + color + " && " + color +
              " /Sr  /n \"Office_彩色\" /a color.dat d g u  && "
              "rundll32 printui.dll,PrintUIEntry /y /n \"Office_彩色\"",
          kFolder, kNotice,
          "cmd /c  start /wait " + black + " && " + black +
              " /Sr  /n \"Office_黑白\" /a black.dat d g u  && "
              "rundll32 printui.dll,PrintUIEntry /y /n \"Office_黑白\"",
          kFolder},
         R"(["Office_彩色","Office_黑白"])",
         "Office_黑白",
         R"({"Office_彩色":"color.dat","Office_黑白":"black.dat"})"},
    };
    for (const Case& c : cases) {
        PackageRun p = package(c.flags);
        // Neither box is confirmed: the button takes them as they stand.
        p.type("Form1.Text1", "10.0.0.8");
        if (c.flags != "111")
            p.type("Form1.Text2", "Front Desk");
        p.act("invoke", "Form1.Command6").act("inspect", "msg");
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << c.flags << " " << r.lines.back().dump();
        EXPECT_EQ(buttonLines(r), c.lines) << c.flags;
        auto starts = r.ops("start");
        for (std::size_t i = 1; i < starts.size(); ++i) {
            EXPECT_EQ(starts[i].find("style")->asInteger(), 2) << c.flags;
        }
        Value names = Value::array();
        for (const Value& printer : r.state().find("printers")->asArray())
            names.push(*printer.find("Name"));
        EXPECT_EQ(names.dump(), c.printers) << c.flags;
        EXPECT_EQ(*r.state().find("defaultPrinter"), c.defaultPrinter) << c.flags;
        EXPECT_EQ(r.state().find("preferences")->dump(), c.preferences) << c.flags;
        // One port store per printer, the same port each time: the second updates the first.
        EXPECT_EQ(r.ops("wmi.put").size(), c.flags == "111" ? 2u : 1u) << c.flags;
        EXPECT_EQ(r.state().find("ports")->asArray().size(), 1u) << c.flags;
        // The main window is gone, the package maker never loaded, the notice stays.
        EXPECT_NE(r.indexOf("form", "event", "unload"), -1) << c.flags;
        EXPECT_EQ(r.indexOf("form", "form", "ADVSET"), -1) << c.flags;
        auto inspect = r.ops("inspect");
        ASSERT_EQ(inspect.size(), 1u) << c.flags;
        EXPECT_TRUE(inspect[0].find("visible")->asBool()) << c.flags;
        EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "idle") << c.flags;
    }
}

TEST(PrintuiInstall, NoTypedTextChangesWhatALineDoes) {
    // Accepted: cmd's own characters between quotes stay part of the one argument.
    PackageRun accepted = package("100");
    accepted.type("Form1.Text1", "10.0.0.8").type("Form1.Text2", "A&B|C<D>E^F (2)");
    accepted.act("invoke", "Form1.Command6");
    ScenarioRun r = accepted.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_EQ(r.state().find("printers")->asArray()[0].find("Name")->asString(), "A&B|C<D>E^F (2)");
    EXPECT_EQ(r.state().find("defaultPrinter")->asString(), "A&B|C<D>E^F (2)");

    struct Refused {
        const char* what;
        std::string address, name, profile;
        std::string box;
    };
    const Refused cases[] = {
        {"quote in the name", "10.0.0.8", "a\" & calc & \"", "", "「印表機名稱」含有雙引號"},
        {"percent in the name", "10.0.0.8", "%COMSPEC%", "", "「印表機名稱」含有「%」"},
        {"line break in the name", "10.0.0.8", "a\r\nb", "", "「印表機名稱」含有換行"},
        {"percent in the model", "10.0.0.8", "Office", "ip,10.0.0.7,Office,M%PATH%,x.inf,100",
         "「印表機模組」含有「%」"},
        {"exclamation in a path", "\\\\srv\\hp!", "Office", "", "「印表機IP」含有「!」"},
        {"not an address", "10.0.0.8 & calc", "Office", "", "IP不正確"},
        {"a path with a caret", "\\\\srv\\h^p", "Office", "", "IP不正確"},
    };
    for (const Refused& c : cases) {
        PackageRun p = package("100");
        if (!c.profile.empty())
            p.profile(c.profile);
        p.type("Form1.Text1", c.address).type("Form1.Text2", c.name);
        p.act("invoke", "Form1.Command6").answer("ok").act("inspect", "Form1");
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << c.what << r.lines.back().dump();
        auto boxes = r.ops("msgbox");
        ASSERT_EQ(boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes[0].find("text")->asString().rfind(c.box, 0), 0u) << c.what;
        EXPECT_EQ(boxes[0].find("icon")->asString(), "stop") << c.what;
        // Nothing was done, and the main window still takes input.
        EXPECT_TRUE(buttonLines(r).empty()) << c.what;
        EXPECT_TRUE(r.ops("wmi.put").empty()) << c.what;
        EXPECT_TRUE(r.ops("inspect")[0].find("visible")->asBool()) << c.what;
    }
}

TEST(PrintuiInstall, APortThatCannotBeMadeStartsNothingForItsPrinter) {
    PackageRun p = package("101");
    Value f = Value::object();
    f.set("op", "wmi.put");
    f.set("times", 1);
    p.fault(f).type("Form1.Text1", "10.0.0.8");
    p.act("invoke", "Form1.Command6").answer("ok").act("close", "msg");
    ScenarioRun r = p.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    const std::string text = boxes[0].find("text")->asString();
    EXPECT_EQ(
        text.rfind("無法新增連接埠 IP_10.0.0.8，印表機「Office_彩色」沒有安裝。\r\n\r\n錯誤 0x", 0),
        0u)
        << text;
    EXPECT_EQ(boxes[0].find("icon")->asString(), "stop");
    // The black-and-white printer still gets its port and its lines.
    std::vector<std::string> lines = buttonLines(r);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[1].find("Office_黑白"), std::string::npos);
    EXPECT_EQ(r.state().find("printers")->dump(),
              R"([{"Name":"Office_黑白","DriverName":"Model X","PortName":"IP_10.0.0.8"}])");
    // The notice window stays; closing it ends the program with the failure's code.
    EXPECT_EQ(exitCodeOf(r), 1603);
}

TEST(PrintuiInstall, ADamagedProfileInstallsNothing) {
    PackageRun p;
    p.profile("ip,10.0.0.7,Office,Model X").type("Form1.Text1", "10.0.0.8");
    p.act("invoke", "Form1.Command6").answer("ok");
    ScenarioRun r = p.run();
    EXPECT_TRUE(buttonLines(r).empty());
    EXPECT_TRUE(r.ops("wmi.connect").size() == 1u);  // the start-up's own address alone
    EXPECT_EQ(exitCodeOf(r), 1620);
}

}  // namespace
