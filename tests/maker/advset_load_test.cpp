// The package maker loaded on its own, as other windows load it to read the profile.

#include <gtest/gtest.h>

#include "app/program.h"
#include "forms/fake_backend.h"
#include "maker/advset_form.h"
#include "support/scenario_run.h"

namespace {

TEST(PackageMakerLoad, AMissingProfileGetsTheDefaultLineFirst) {
    testing_support::FormsHarness h;
    app::Program program(h.services, h.windows, &h.windows);
    h.windows.attach(program.runtime(),
                     [&](const std::string& n) { return program.findLoaded(n); });
    maker::AdvsetForm& maker = program.advset();
    ASSERT_NE(h.machine.file("ip.ini"), nullptr);
    EXPECT_EQ(h.codepage.decode(h.machine.file("ip.ini")->bytes),
              "ip,192.168.0.250,請填入印表機名稱,請填入印表機模組名稱,請填入INF檔名,100\r\n");
    EXPECT_EQ(maker.Text2.text(), "請填入印表機名稱");
    EXPECT_EQ(maker.Text5.text(), "100");
    EXPECT_EQ(maker.Check1.value(), 1);
    EXPECT_FALSE(maker.visible());
}

TEST(PackageMakerLoad, AHiddenProfileIsReadNotAppendedToAgain) {
    testing_support::ScenarioRun r = testing_support::runScenario(
        R"({"folder":{"ip.ini":{"text":"ip,10.0.0.7,Office,M,x.inf,100\r\n","hidden":true}},
            "actions":[{"click":"Form1.ADV"},{"inspect":"ADVSET"}]})");
    EXPECT_EQ(r.ops("file.append").size(), 1u);  // the main window's, at start
    EXPECT_EQ(r.ops("inspect")[0].find("controls")->find("Text2")->find("text")->asString(),
              "Office");
}

}  // namespace
