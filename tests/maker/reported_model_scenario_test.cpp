// Step 2 asks the printer at the window's address which model it is, selects the listed model it
// reports, and says under the list what it reported.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/package_run.h"

namespace {

using sim::json::Value;
using testing_support::inspectedItems;
using testing_support::inspectedText;
using testing_support::PackageRun;
using testing_support::ScenarioRun;
using Names = std::vector<std::string>;

const char* kAttribute = "printer-make-and-model";
const char* kPrefix = "印表機回報：";

// Four models of one maker: a reported "Maker Color 2400" is contained in the last two, and the
// first of them wins.
const char* kLaserInf =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
    "[Manufacturer]\r\n\"Maker\" = M, NTamd64\r\n"
    "[M.NTamd64]\r\n\"Maker Laser 2400 PCL6\" = I\r\n\"Maker Laser 2410 PCL6\" = I\r\n"
    "\"Maker Color 2400 PCL6\" = I\r\n\"Maker Color 2400 PS\" = I\r\n";
const Names kLaserModels{"Maker Laser 2400 PCL6", "Maker Laser 2410 PCL6", "Maker Color 2400 PCL6",
                         "Maker Color 2400 PS"};

// Another maker's INF, with the reported model second.
const char* kOtherInf =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n\"Other\" = O\r\n"
    "[O]\r\n\"Other Brand Universal PCL\" = I\r\n\"MAKER COLOR 2400 Class Driver\" = I\r\n";

const char* kArmOnly =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n\"Maker\" = M, NTarm64\r\n"
    "[M.NTarm64]\r\n\"Maker ARM 1\" = Install\r\n";

// machine.network with one printer at the address that answers IPP with that make and model.
Value printerAt(const std::string& address, const std::string& reported) {
    Value ipp = Value::object();
    ipp.set(kAttribute, reported);
    Value open = Value::array();
    open.push(9100);
    open.push(631);
    Value host = Value::object();
    host.set("open", open);
    host.set("ipp", ipp);
    Value network = Value::object();
    network.set(address, host);
    return network;
}

PackageRun maker(const std::string& address) {
    PackageRun p;
    p.profile("ip," + address + ",Office,請填入印表機模組名稱,x.inf,100");
    p.text("x.inf", kLaserInf).text("y.inf", kOtherInf).text("arm.inf", kArmOnly);
    p.act("click", "Form1.ADV");
    return p;
}

// The addresses asked, in order, each for the make and model: the questions answered and those
// that failed (a failed call's error line stands in place of its own).
Names askedAddresses(const ScenarioRun& r) {
    Names out;
    for (const Value& line : r.lines) {
        const std::string op = line.find("op")->asString();
        const Value* q = &line;
        if (op == "error" && line.find("call")->isObject() &&
            line.find("call")->find("op")->asString() == "ipp.query") {
            q = line.find("call");
        } else if (op != "ipp.query") {
            continue;
        }
        EXPECT_EQ(q->find("attribute")->asString(), kAttribute);
        out.push_back(q->find("address")->asString());
    }
    return out;
}

TEST(ReportedModel, StepTwoSelectsTheModelThePrinterReports) {
    struct Case {
        const char* rule;
        const char* address;   // the profile's, loaded into the address box
        Value network;         // machine.network, or null for none
        Value faults;          // machine.faults, or null for none
        Names asked;           // the addresses asked, in order
        const char* selected;  // the model box and the proposed name
        const char* label;     // under the list
    };
    Value noFaults;
    Value askFails = Value::array();
    askFails.push(sim::json::parse(R"({"op":"ipp.query"})"));
    Value closedIpp = sim::json::parse(R"({"10.0.0.7":{"open":[9100]}})");
    Value otherPrinter = printerAt("10.0.0.8", "Maker Color 2400");
    const Case cases[] = {
        {"an answer contained in the third and fourth entries selects the third",
         "10.0.0.7",
         printerAt("10.0.0.7", "  maker   COLOR 2400 "),
         noFaults,
         {"10.0.0.7"},
         "Maker Color 2400 PCL6",
         "印表機回報：  maker   COLOR 2400 "},
        {"an answer that contains a listed model selects it",
         "10.0.0.7",
         printerAt("10.0.0.7", "Maker Laser 2410 PCL6 Series"),
         noFaults,
         {"10.0.0.7"},
         "Maker Laser 2410 PCL6",
         "印表機回報：Maker Laser 2410 PCL6 Series"},
        {"an answer that matches no listed model keeps the first",
         "10.0.0.7",
         printerAt("10.0.0.7", "Acme Jet 9"),
         noFaults,
         {"10.0.0.7"},
         "Maker Laser 2400 PCL6",
         "印表機回報：Acme Jet 9"},
        {"line breaks in the answer show as blanks and match as blanks",
         "10.0.0.7",
         printerAt("10.0.0.7", "Maker\r\nColor\t2400"),
         noFaults,
         {"10.0.0.7"},
         "Maker Color 2400 PCL6",
         "印表機回報：Maker  Color 2400"},
        {"an empty answer matches nothing but is told",
         "10.0.0.7",
         printerAt("10.0.0.7", ""),
         noFaults,
         {"10.0.0.7"},
         "Maker Laser 2400 PCL6",
         "印表機回報："},
        {"no printer at the address",
         "10.0.0.7",
         otherPrinter,
         noFaults,
         {"10.0.0.7"},
         "Maker Laser 2400 PCL6",
         ""},
        {"a printer without IPP",
         "10.0.0.7",
         closedIpp,
         noFaults,
         {"10.0.0.7"},
         "Maker Laser 2400 PCL6",
         ""},
        {"a printer that does not report its model",
         "10.0.0.7",
         Value(),
         noFaults,
         {"10.0.0.7"},
         "Maker Laser 2400 PCL6",
         ""},
        {"the question fails",
         "10.0.0.7",
         printerAt("10.0.0.7", "Maker Color 2400"),
         askFails,
         {"10.0.0.7"},
         "Maker Laser 2400 PCL6",
         ""},
        {"a network path is not asked",
         "\\\\srv\\Color 2400",
         Value(),
         noFaults,
         {},
         "Maker Laser 2400 PCL6",
         ""},
        {"an address out of range is not asked",
         "10.0.0.256",
         Value(),
         noFaults,
         {},
         "Maker Laser 2400 PCL6",
         ""},
        {"a host name is not asked",
         "printer.local",
         Value(),
         noFaults,
         {},
         "Maker Laser 2400 PCL6",
         ""},
    };
    for (const Case& c : cases) {
        PackageRun p = maker(c.address);
        if (!c.network.isNull())
            p.machine.set("network", c.network);
        if (!c.faults.isNull())
            p.machine.set("faults", c.faults);
        ScenarioRun r = p.act("click", "ADVSET.find_INI").act("inspect", "ADVSET").run();
        ASSERT_EQ(r.status, 0) << c.rule << r.lines.back().dump();
        EXPECT_EQ(inspectedItems(r, "Combo1"), kLaserModels) << c.rule;
        EXPECT_EQ(inspectedText(r, "Text3"), c.selected) << c.rule;
        EXPECT_EQ(inspectedText(r, "Text2"), c.selected) << c.rule;
        EXPECT_EQ(inspectedText(r, "Combo1"), c.selected) << c.rule;
        EXPECT_EQ(inspectedText(r, "Label_reported"), c.label) << c.rule;
        EXPECT_EQ(askedAddresses(r), c.asked) << c.rule;
        EXPECT_TRUE(r.ops("net.probe").empty()) << c.rule;
        // A failed question is no stop: no box, and its error line says it was trapped.
        EXPECT_TRUE(r.ops("msgbox").empty()) << c.rule;
        const std::vector<Value> errors = r.ops("error");
        EXPECT_EQ(errors.size(), c.faults.isNull() ? 0u : 1u) << c.rule;
        for (const Value& e : errors)
            EXPECT_TRUE(e.find("trapped")->asBool()) << c.rule << e.dump();
    }
}

// Each 選擇型號 asks again and matches against the list it has just filled; a list that stays
// empty asks nothing and leaves the label empty.
TEST(ReportedModel, AnotherInfMatchesItsOwnList) {
    struct Case {
        const char* rule;
        const char* second;
        Names asked;
        const char* selected;
        const char* label;
    };
    const Case cases[] = {
        {"another maker's INF lists the model second",
         "y.inf",
         {"10.0.0.7", "10.0.0.7"},
         "MAKER COLOR 2400 Class Driver",
         "印表機回報：Maker Color 2400"},
        {"an INF without models for this PC", "arm.inf", {"10.0.0.7"}, "Maker Color 2400 PCL6", ""},
        {"the same INF again",
         "x.inf",
         {"10.0.0.7", "10.0.0.7"},
         "Maker Color 2400 PCL6",
         "印表機回報：Maker Color 2400"},
    };
    for (const Case& c : cases) {
        PackageRun p = maker("10.0.0.7");
        p.machine.set("network", printerAt("10.0.0.7", "Maker Color 2400"));
        p.act("click", "ADVSET.find_INI").act("inspect", "ADVSET");
        p.type("ADVSET.Text4", c.second).act("click", "ADVSET.find_INI");
        if (std::string(c.second) == "arm.inf")
            p.answer("ok");  // the box that says the INF has no models for this PC
        ScenarioRun r = p.act("inspect", "ADVSET").run();
        ASSERT_EQ(r.status, 0) << c.rule << r.lines.back().dump();
        EXPECT_EQ(inspectedText(r, "Text3", 0), "Maker Color 2400 PCL6") << c.rule;
        EXPECT_EQ(inspectedText(r, "Label_reported", 0), "印表機回報：Maker Color 2400") << c.rule;
        EXPECT_EQ(inspectedText(r, "Text3", 1), c.selected) << c.rule;
        EXPECT_EQ(inspectedText(r, "Label_reported", 1), c.label) << c.rule;
        EXPECT_EQ(askedAddresses(r), c.asked) << c.rule;
    }
}

// An INF without makers lists models by its third section, or by its quoted texts: the printer's
// answer selects among those too.
TEST(ReportedModel, ListsReadWithoutMakersFollowTheAnswer) {
    struct Case {
        const char* rule;
        const char* inf;
        Names models;
    };
    const Case cases[] = {
        {"the third section's keys",
         "[Version]\r\n[Other]\r\n[Models]\r\n\"Plain Laser 1\" = i\r\n\"Plain Color 2\" = i\r\n",
         {"Plain Laser 1", "Plain Color 2"}},
        {"the quoted texts",
         "[Version]\r\nA = \"Scanned Laser 1\"\r\nB = \"Scanned Color 2\"\r\n",
         {"Scanned Laser 1", "Scanned Color 2"}},
    };
    for (const Case& c : cases) {
        PackageRun p = maker("10.0.0.7");
        p.text("x.inf", c.inf);
        p.machine.set("network", printerAt("10.0.0.7", "color 2"));
        ScenarioRun r = p.act("click", "ADVSET.find_INI").act("inspect", "ADVSET").run();
        ASSERT_EQ(r.status, 0) << c.rule << r.lines.back().dump();
        EXPECT_EQ(inspectedItems(r, "Combo1"), c.models) << c.rule;
        EXPECT_EQ(inspectedText(r, "Text3"), c.models[1]) << c.rule;
        EXPECT_EQ(inspectedText(r, "Label_reported"), std::string(kPrefix) + "color 2") << c.rule;
        // Asked once the list holds models, never for the empty list before the scan.
        EXPECT_EQ(askedAddresses(r), Names{"10.0.0.7"}) << c.rule;
    }
}

// The label starts empty, loading the window asks nothing, and Tab passes the label by: a full
// round of the window reaches the twelve controls the user can type into or press, and only those.
TEST(ReportedModel, TheLabelStartsEmptyAndTakesNoFocus) {
    PackageRun p = maker("10.0.0.7");
    p.machine.set("network", printerAt("10.0.0.7", "Maker Color 2400"));
    const Names stops{"Text4",  "Command6", "Text3",    "find_INI", "Text2",    "Check1",
                      "Check2", "Check3",   "Command5", "Command7", "Command2", "Command3"};
    for (std::size_t i = 0; i < stops.size(); ++i)
        p.act("tab", "ADVSET").act("inspect", "ADVSET");
    ScenarioRun r = p.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_EQ(inspectedText(r, "Label_reported"), "");
    EXPECT_TRUE(r.ops("ipp.query").empty());
    Names reached;
    for (const Value& line : r.ops("inspect"))
        reached.push_back(line.find("activeControl")->isNull()
                              ? "(none)"
                              : line.find("activeControl")->asString());
    Names sorted = reached;
    Names expected = stops;
    std::sort(sorted.begin(), sorted.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sorted, expected) << testing::PrintToString(reached);
}

}  // namespace
