// The package maker's INF browser: step 1 finds the INF, step 2 lists its models, the
// full-text scan steps in when the sections name none.

#include <gtest/gtest.h>

#include "support/package_run.h"
#include "text/text.h"

namespace {

using sim::json::Value;
using testing_support::PackageRun;
using testing_support::ScenarioRun;
using Names = std::vector<std::string>;

PackageRun maker() {
    PackageRun p;
    p.profile("ip,10.0.0.7,Office,請填入印表機模組名稱,請填入INF檔名,100");
    p.act("click", "Form1.ADV");
    return p;
}

Value control(const ScenarioRun& r, const char* name, std::size_t which = 0) {
    return testing_support::inspectedControl(r, name, which);
}

Names items(const ScenarioRun& r, const char* name, std::size_t which = 0) {
    return testing_support::inspectedItems(r, name, which);
}

std::string textOf(const ScenarioRun& r, const char* name, std::size_t which = 0) {
    return testing_support::inspectedText(r, name, which);
}

// No [Manufacturer]: the file names no makers, so the third section is taken as the models.
const char* kThreeSections =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Printers]\r\nModels\r\n"
    "[Models]\r\n\"Maker Laser 100 PCL\" = Install, USBPRINT\\Maker100\r\n"
    "\"Maker Laser 200 PCL\" = Install, USBPRINT\\Maker200\r\n";

TEST(InfBrowser, StepOneWalksTheInfFilesAndKeepsTheFirst) {
    PackageRun p = maker();
    p.text("b.inf", "x").text("a.inf", "x").text("readme.txt", "x");
    ScenarioRun r = p.act("click", "ADVSET.Command6")
                        .act("click", "ADVSET.Command6")
                        .act("inspect", "ADVSET")
                        .run();
    ASSERT_EQ(r.status, 0);
    Names seen;
    for (const auto& l : r.ops("set")) {
        if (l.find("control")->asString() == "ADVSET.Text4")
            seen.push_back(l.find("value")->asString());
    }
    // Loading filled it from the profile; then every file, then the first again; the second
    // press changed nothing.
    EXPECT_EQ(seen, (Names{"請填入INF檔名", "a.inf", "b.inf", "a.inf"}));
    EXPECT_EQ(textOf(r, "Text4"), "a.inf");
    EXPECT_TRUE(r.ops("msgbox").empty());

    PackageRun none = maker();
    ScenarioRun n =
        none.act("click", "ADVSET.Command6").answer("ok").act("inspect", "ADVSET").run();
    ASSERT_EQ(n.ops("msgbox").size(), 1u);
    EXPECT_EQ(n.ops("msgbox")[0].find("text")->asString(), "找不到INF檔");
    EXPECT_EQ(n.ops("msgbox")[0].find("icon")->asString(), "none");
    EXPECT_EQ(textOf(n, "Text4"), "請填入INF檔名");
}

TEST(InfBrowser, WithoutMakersStepTwoListsTheThirdSectionsKeysAndProposesTheFirst) {
    PackageRun p = maker();
    p.text("x.inf", kThreeSections);
    ScenarioRun r = p.act("click", "ADVSET.Command6")
                        .act("click", "ADVSET.find_INI")
                        .act("click", "ADVSET.find_INI")
                        .act("inspect", "ADVSET")
                        .run();
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(textOf(r, "Filename"), ".\\x.inf");
    EXPECT_EQ(items(r, "Sectionslist"), (Names{"Version", "Printers", "Models"}));
    EXPECT_EQ(items(r, "Combo1"), (Names{"Maker Laser 100 PCL", "Maker Laser 200 PCL"}));
    EXPECT_TRUE(control(r, "Combo1").find("visible")->asBool());
    EXPECT_EQ(textOf(r, "Text3"), "Maker Laser 100 PCL");
    EXPECT_EQ(textOf(r, "Text2"), "Maker Laser 100 PCL");
    // Every key read, quoted or not, is kept; the first section's went first. The second press
    // read the file anew into the emptied list, so its models are there once.
    EXPECT_EQ(items(r, "Combo1ADD"),
              (Names{"Signature", "\"Maker Laser 100 PCL\"", "\"Maker Laser 200 PCL\"", "Signature",
                     "\"Maker Laser 100 PCL\"", "\"Maker Laser 200 PCL\""}));
}

TEST(InfBrowser, TheScanStepsInWhenTheThirdSectionNamesNoModel) {
    struct Case {
        const char* what;
        std::string inf;
        Names models;
    };
    // 40 sections, the models in the 30th, only %token% keys there: the names are in [Strings].
    std::string many = "[Version]\r\nSignature=\"$Windows NT$\"\r\n";
    for (int i = 0; i < 38; ++i)
        many += "[Section" + std::to_string(i) + "]\r\nKey=Value\r\n";
    many +=
        "[Models.NTamd64]\r\n%Model1% = Install1\r\n%Model2% = Install2\r\n"
        "[Strings]\r\nModel1=\"Maker 彩色雷射 A\"\r\nModel2=\"Maker 黑白雷射 B\"\r\n"
        "Disk1=\"Maker Driver CD-ROM\"\r\nPath=\"C:\\\\Drivers\\\\x86\"\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char32_t c : text::toCodePoints(many)) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    const Case cases[] = {
        {"ANSI", many, {"Maker 彩色雷射 A", "Maker 黑白雷射 B"}},
        {"UTF-16", utf16, {"Maker 彩色雷射 A", "Maker 黑白雷射 B"}},
    };
    for (const Case& c : cases) {
        PackageRun p = maker();
        p.bytes("x.inf", c.what == std::string("ANSI") ? "" : c.inf);
        if (c.what == std::string("ANSI"))
            p.text("x.inf", c.inf);
        ScenarioRun r = p.act("click", "ADVSET.Command6")
                            .act("click", "ADVSET.find_INI")
                            .act("inspect", "ADVSET")
                            .run();
        ASSERT_EQ(r.status, 0) << c.what;
        EXPECT_EQ(items(r, "Sectionslist").size(), 41u) << c.what;
        EXPECT_EQ(items(r, "Combo1"), c.models) << c.what;
        EXPECT_EQ(textOf(r, "Text3"), c.models[0]) << c.what;
        EXPECT_TRUE(r.ops("msgbox").empty()) << c.what;
    }
}

TEST(InfBrowser, EveryModelLineIsListedHoweverLongTheSection) {
    std::string inf = "[Version]\r\n[Manufacturer]\r\nMaker=Models\r\n[Models]\r\n";
    Names want;
    for (int i = 0; i < 285; ++i) {
        std::string name = "Maker Office Printer " + std::to_string(1000 + i) + " PCL6";
        inf += "\"" + name + "\" = Install" + std::to_string(i) + ", USBPRINT\\M" +
               std::to_string(i) + "\r\n";
        want.push_back(name);
    }
    PackageRun p = maker();
    p.text("x.inf", inf);
    ScenarioRun r = p.act("click", "ADVSET.Command6")
                        .act("click", "ADVSET.find_INI")
                        .act("inspect", "ADVSET")
                        .run();
    EXPECT_EQ(items(r, "Combo1"), want);
}

TEST(InfBrowser, ReadInfAndOpenInf) {
    PackageRun p = maker();
    p.text("my driver.inf", "[Version]\r\nClass=Printer\r\n");
    ScenarioRun r = p.act("click", "ADVSET.Command6")
                        .act("invoke", "ADVSET.Command1")
                        .act("invoke", "ADVSET.Command4")
                        .answer("ok")
                        .act("inspect", "ADVSET")
                        .run();
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(textOf(r, "txtContent"), "[Version]\r\nClass=Printer\r\n");
    auto box = r.ops("msgbox").at(0);
    EXPECT_EQ(box.find("text")->asString(),
              "說明：\r\n按<開啟> 將文件內的[印表機名稱]複制出來，再貼上到欄位內。");
    EXPECT_EQ(box.find("title")->asString(), "提示");
    auto opened = r.ops("shell.open");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].find("file")->asString(), "my driver.inf");
    EXPECT_EQ(opened[0].find("verb")->asString(), "open");
    EXPECT_EQ(opened[0].find("style")->asInteger(), 3);
    EXPECT_TRUE(r.ops("start").size() == 1u);  // the start's registry command only
}

}  // namespace
