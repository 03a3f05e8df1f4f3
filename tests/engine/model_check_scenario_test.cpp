// At install time the package's model is checked against its INF for the end user's PC before
// anything changes: the install run, the WMI install and the printui install alike.

#include <gtest/gtest.h>

#include "support/package_run.h"

namespace {

using sim::json::Value;
using testing_support::exitCodeOf;
using testing_support::logHas;
using testing_support::PackageRun;
using testing_support::ScenarioRun;

const char* kX64Only =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n\"Maker\" = M, NTamd64\r\n"
    "[M.NTamd64]\r\n\"Model X\" = Install\r\n\"Model Y\" = Install\r\n";

PackageRun package(const std::string& inf, const char* architecture = "amd64",
                   const std::string& model = "Model X") {
    PackageRun p;
    p.profile("ip,10.0.0.7,Office," + model + ",x.inf,000");
    p.text("x.inf", inf).text("color.dat", "c").text("black.dat", "b");
    p.machine.set("architecture", architecture);
    return p;
}

// A port or printer stored, a driver added, or a printui line started.
bool changedAnything(const ScenarioRun& r) {
    for (const std::string& line : testing_support::startedLines(r)) {
        if (line.find("printui") != std::string::npos)
            return true;
    }
    return !r.ops("wmi.put").empty() || !r.ops("wmi.call").empty();
}

std::string boxText(const ScenarioRun& r) {
    return r.ops("msgbox").empty() ? "" : r.ops("msgbox").back().find("text")->asString();
}

TEST(ModelCheck, AModelNotDeclaredForThisPcIsADamagedPackage) {
    const std::string x86Stop =
        "安裝套件已損毀：INF檔「x.inf」沒有為這部電腦（x86）宣告型號「Model X」。\r\n"
        "它沒有為這部電腦宣告任何型號。\r\n\r\n沒有安裝任何東西。";
    const std::string undeclaredStop =
        "安裝套件已損毀：INF檔「x.inf」沒有為這部電腦（x64）宣告型號「Model Z」。\r\n"
        "它宣告的型號：\r\nModel X\r\nModel Y\r\n\r\n沒有安裝任何東西。";
    struct Case {
        const char* rule;
        const char* architecture;
        const char* model;
        std::string stop;
    };
    const Case cases[] = {
        {"an x64 driver on an x86 PC", "x86", "Model X", x86Stop},
        {"a model the INF does not declare", "amd64", "Model Z", undeclaredStop},
    };
    for (const Case& c : cases) {
        PackageRun p = package(kX64Only, c.architecture, c.model);
        ScenarioRun r = p.confirm("10.0.0.8").answer("ok").run();
        ASSERT_EQ(r.status, 0) << c.rule << r.lines.back().dump();
        EXPECT_EQ(exitCodeOf(r), 1620) << c.rule;
        EXPECT_EQ(boxText(r), c.stop) << c.rule;
        EXPECT_TRUE(logHas(r, std::string("型號「") + c.model + "」")) << c.rule;
        EXPECT_TRUE(r.state().find("ports")->asArray().empty()) << c.rule;
        EXPECT_TRUE(r.state().find("printers")->asArray().empty()) << c.rule;
    }
}

// Whether the printer's install line ran (a printer the system does not then list is taken back).
bool ranInstallLine(const ScenarioRun& r) {
    for (const Value& line : r.ops("run")) {
        if (line.find("cmd")->asString().find("PrintUIEntry /if ") != std::string::npos)
            return true;
    }
    return false;
}

TEST(ModelCheck, ADeclaredModelOrAnInfThatCannotTellInstallsAsBefore) {
    struct Case {
        const char* rule;
        std::string inf;
        const char* model;
    };
    const Case cases[] = {
        {"declared", kX64Only, "Model X"},
        {"declared, case aside", kX64Only, "model y"},
        {"no makers in the file", "[Version]\r\n[Models]\r\n\"Other\"=i\r\n", "Model X"},
    };
    for (const Case& c : cases) {
        PackageRun p = package(c.inf, "amd64", c.model);
        ScenarioRun r = p.confirm("10.0.0.8").run();
        ASSERT_EQ(r.status, 0) << c.rule << r.lines.back().dump();
        EXPECT_NE(exitCodeOf(r), 1620) << c.rule;
        EXPECT_TRUE(ranInstallLine(r)) << c.rule;
    }
    // An INF that cannot be read: the install goes on, and the log says the model was not checked.
    PackageRun missing = package(kX64Only);
    missing.folder = Value::object();
    missing.profile("ip,10.0.0.7,Office,Model X,gone.inf,000");
    ScenarioRun m = missing.confirm("10.0.0.8").run();
    EXPECT_NE(exitCodeOf(m), 1620);
    EXPECT_TRUE(logHas(m, "無法讀取 INF 檔 gone.inf"));
    EXPECT_TRUE(ranInstallLine(m));
}

TEST(ModelCheck, ListsTheFirstTenDeclaredModels) {
    std::string inf = "[Manufacturer]\r\nM\r\n[M]\r\n";
    for (int i = 1; i <= 12; ++i)
        inf += "\"Model " + std::to_string(i) + "\" = i\r\n";
    PackageRun p = package(inf, "amd64", "Model 13");
    ScenarioRun r = p.confirm("10.0.0.8").answer("ok").run();
    const std::string text = boxText(r);
    EXPECT_NE(text.find("\r\nModel 10\r\n…（共 12 個）"), std::string::npos) << text;
    EXPECT_EQ(text.find("Model 11"), std::string::npos) << text;
}

TEST(ModelCheck, TheDirectInstallsStopTheSameWay) {
    // The WMI buttons and the printui button, on an x86 PC with an x64-only driver.
    for (const char* button : {"Form1.Command4", "Form1.Command5", "Form1.Command6"}) {
        PackageRun p = package(kX64Only, "x86");
        p.act("invoke", button).answer("ok");
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << button << r.lines.back().dump();
        EXPECT_EQ(exitCodeOf(r), 1620) << button;
        EXPECT_NE(boxText(r).find("（x86）宣告型號「Model X」"), std::string::npos) << button;
        EXPECT_FALSE(changedAnything(r)) << button;
    }
}

}  // namespace
