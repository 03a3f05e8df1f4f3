// Step 2 lists the models the INF declares for the PC the package maker runs on, and 確定
// checks what it saves against the INF.

#include <gtest/gtest.h>

#include "support/package_run.h"

namespace {

using sim::json::Value;
using testing_support::PackageRun;
using testing_support::ScenarioRun;
using Names = std::vector<std::string>;

// Shaped as makers ship them: disk labels and a version section before the makers, two makers,
// decorated sections for three architectures, names in a language's strings.
const char* kTwoMakers =
    "; driver package\r\n"
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\nProvider=%Maker%\r\n"
    "[SourceDisksNames.amd64]\r\n1 = \"Maker Driver Disk for Printers\",,,\"\\amd64\"\r\n"
    "[Manufacturer]\r\n%Maker% = MakerModels, NTamd64.10.0, NTx86, NTarm64\r\n"
    "\"Other Brand\" = OtherModels, NTamd64\r\n"
    "[MakerModels.NTx86]\r\n\"Maker Old 10 PCL\" = Old, USBPRINT\\MakerOld10\r\n"
    "[MakerModels.NTamd64.10.0]\r\n%M1% = Install, USBPRINT\\M1\r\n"
    "%M2% = Install, USBPRINT\\M2\r\n%M1% = Install, LPTENUM\\M1\r\n"
    "{D20EA372-DD35-4950-9ED8-A6335AFE79F0} = Core\r\n"
    "[MakerModels.NTarm64]\r\n\"Maker ARM 1\" = Install\r\n"
    "[OtherModels.NTamd64]\r\n\"Other Brand Universal PCL\" = Install\r\n"
    "[Strings]\r\nMaker = \"Maker\"\r\nM1 = \"Maker Color 300 PCL\"\r\nM2 = \"Maker Mono 200\"\r\n"
    "[Strings.0404]\r\nM2 = \"Maker 黑白 200\"\r\n";

const char* kArmOnly =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n\"Maker\" = M, NTarm64\r\n"
    "[M.NTarm64]\r\n\"Maker ARM 1\" = Install\r\n";

PackageRun maker(const std::string& infName = "x.inf") {
    PackageRun p;
    p.profile("ip,10.0.0.7,Office,請填入印表機模組名稱," + infName + ",100");
    p.text("color.dat", "c").text("black.dat", "b");
    p.act("click", "Form1.ADV");
    return p;
}

using testing_support::boxTexts;
using testing_support::inspectedControl;
using testing_support::inspectedItems;
using testing_support::inspectedText;

bool wroteProfile(const ScenarioRun& r) {
    for (const Value& w : r.ops("file.write")) {
        if (w.find("name")->asString() == "ip.ini")
            return true;
    }
    return false;
}

TEST(ModelList, StepTwoListsEveryMakersModelsForThisPc) {
    struct Case {
        const char* architecture;
        Names models;
    };
    const Case cases[] = {
        {"amd64", {"Maker Color 300 PCL", "Maker 黑白 200", "Other Brand Universal PCL"}},
        {"x86", {"Maker Old 10 PCL"}},
        {"arm64", {"Maker ARM 1"}},
    };
    for (const Case& c : cases) {
        PackageRun p = maker();
        p.machine.set("architecture", c.architecture);
        p.text("x.inf", kTwoMakers);
        ScenarioRun r = p.act("click", "ADVSET.find_INI").act("inspect", "ADVSET").run();
        ASSERT_EQ(r.status, 0) << r.lines.back().dump();
        EXPECT_EQ(inspectedItems(r, "Combo1"), c.models) << c.architecture;
        EXPECT_EQ(inspectedText(r, "Text3"), c.models.front()) << c.architecture;
        EXPECT_EQ(inspectedText(r, "Text2"), c.models.front()) << c.architecture;
        EXPECT_TRUE(r.ops("msgbox").empty()) << c.architecture;
        // Read from the file's bytes: the INI reader's section lists play no part.
        EXPECT_TRUE(r.ops("profile.read").empty()) << c.architecture;
    }
}

// The shown list covers the model box: a model typed into it is the model, as one typed into the
// box would be, and becomes the proposed name.
TEST(ModelList, AModelTypedIntoTheShownListIsTheModel) {
    PackageRun p = maker();
    p.text("x.inf", kTwoMakers);
    ScenarioRun r = p.act("click", "ADVSET.find_INI")
                        .type("ADVSET.Combo1", "Maker Color 300 PCL v2")
                        .act("inspect", "ADVSET")
                        .run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_EQ(inspectedText(r, "Text3"), "Maker Color 300 PCL v2");
    EXPECT_EQ(inspectedText(r, "Text2"), "Maker Color 300 PCL v2");
}

TEST(ModelList, AnotherInfReplacesTheList) {
    PackageRun p = maker();
    p.text("x.inf", kTwoMakers).text("y.inf", testing_support::kModelXInf);
    ScenarioRun r = p.act("click", "ADVSET.find_INI")
                        .type("ADVSET.Text4", "y.inf")
                        .act("click", "ADVSET.find_INI")
                        .act("inspect", "ADVSET")
                        .run();
    EXPECT_EQ(inspectedItems(r, "Combo1"), Names{"Model X"});
    EXPECT_EQ(inspectedText(r, "Text3"), "Model X");
}

TEST(ModelList, AnInfForOtherArchitecturesListsNothingAndSaysSo) {
    PackageRun p = maker();
    p.text("x.inf", kArmOnly);
    ScenarioRun r = p.act("click", "ADVSET.find_INI").answer("ok").act("inspect", "ADVSET").run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_EQ(boxTexts(r),
              Names{"INF檔「x.inf」沒有為這部電腦（x64）宣告任何印表機型號。\r\n\r\n"
                    "這個檔案只有這些架構的型號：ARM64\r\n請改用適合 x64 的驅動程式。"});
    EXPECT_TRUE(inspectedItems(r, "Combo1").empty());
    EXPECT_EQ(inspectedText(r, "Text3"), "請填入印表機模組名稱");
}

TEST(ModelList, AFileWithoutMakersKeepsTheSectionRuleAndTheScan) {
    // The third section's quoted keys, and with none the whole text's quoted names.
    PackageRun keys = maker();
    keys.text("x.inf", "[Version]\r\n[Other]\r\n[Models]\r\n\"Plain Model 1\" = i\r\n");
    ScenarioRun k = keys.act("click", "ADVSET.find_INI").act("inspect", "ADVSET").run();
    EXPECT_EQ(inspectedItems(k, "Combo1"), Names{"Plain Model 1"});
    EXPECT_FALSE(k.ops("profile.read").empty());

    PackageRun scan = maker();
    scan.text("x.inf", "[Version]\r\nName = \"Scanned Model 2\"\r\n");
    ScenarioRun s = scan.act("click", "ADVSET.find_INI")
                        .act("click", "ADVSET.find_INI")
                        .act("inspect", "ADVSET")
                        .run();
    EXPECT_EQ(inspectedItems(s, "Combo1"), Names{"Scanned Model 2"});
}

TEST(ModelList, SaveRefusesEmptyFieldsAndExampleTexts) {
    struct Case {
        const char* control;
        const char* value;
        const char* message;
    };
    const Case cases[] = {
        {"ADVSET.Text4", "", "「INF檔名」不可空白。"},
        {"ADVSET.Text4", "請填入INF檔名",
         "「INF檔名」仍是範例文字「請填入INF檔名」，請填入實際的內容。"},
        {"ADVSET.Text3", "請填入印表機模組名稱",
         "「印表機模組」仍是範例文字「請填入印表機模組名稱」，請填入實際的內容。"},
        {"ADVSET.Text2", "   ", "「印表機名稱」不可空白。"},
        {"ADVSET.Text2", "\xE3\x80\x80", "「印表機名稱」不可空白。"},
    };
    for (const Case& c : cases) {
        PackageRun p = maker();
        p.text("x.inf", testing_support::kModelXInf);
        p.type("ADVSET.Text3", "Model X").type("ADVSET.Text2", "Office");
        p.type(c.control, c.value).act("click", "ADVSET.Command2").answer("ok");
        ScenarioRun r = p.act("inspect", "ADVSET").run();
        ASSERT_EQ(r.status, 0) << c.message << r.lines.back().dump();
        EXPECT_EQ(boxTexts(r), Names{c.message});
        EXPECT_FALSE(wroteProfile(r)) << c.message;
        EXPECT_TRUE(inspectedControl(r, "Text2").find("visible")) << "the window stays open";
    }
}

TEST(ModelList, SaveAsksBeforeAnInfOrModelTheEndUserCannotInstall) {
    struct Case {
        const char* rule;
        const char* infFile;
        const char* model;
        const char* question;
    };
    const Case cases[] = {
        {"an INF that is not in the folder", "gone.inf", "Model X",
         "INF檔「gone.inf」不在安裝程式的資料夾中，安裝時會找不到驅動程式。\r\n\r\n仍要儲存嗎？"},
        {"a model the INF does not declare", "x.inf", "Model Y",
         "INF檔「x.inf」沒有宣告型號「Model Y」，安裝時 Windows "
         "會找不到這個型號。\r\n\r\n仍要儲存嗎？"},
    };
    for (const Case& c : cases) {
        for (const char* answer : {"no", "yes"}) {
            PackageRun p = maker();
            p.text("x.inf", testing_support::kModelXInf);
            p.type("ADVSET.Text4", c.infFile).type("ADVSET.Text3", c.model);
            ScenarioRun r = p.act("click", "ADVSET.Command2").answer(answer).run();
            ASSERT_EQ(r.status, 0) << c.rule << r.lines.back().dump();
            EXPECT_EQ(boxTexts(r), Names{c.question}) << c.rule;
            EXPECT_EQ(r.ops("msgbox")[0].find("buttons")->asString(), "yesno");
            EXPECT_EQ(wroteProfile(r), std::string(answer) == "yes") << c.rule << " " << answer;
        }
    }
    // A model declared for another architecture only is still the INF's: saved without a word.
    PackageRun arm = maker();
    arm.text("x.inf", kArmOnly).type("ADVSET.Text3", "maker arm 1");
    ScenarioRun a = arm.act("click", "ADVSET.Command2").run();
    EXPECT_TRUE(a.ops("msgbox").empty());
    EXPECT_TRUE(wroteProfile(a));
}

}  // namespace
