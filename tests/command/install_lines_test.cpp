#include "command/install_lines.h"
#include "command/argv.h"
#include "command/quote.h"

#include <gtest/gtest.h>

#include "engine/usb_models.h"
#include "forms/fake_backend.h"
#include "forms/wait.h"

namespace {

using namespace command;
using engine::findUsbModel;
using engine::UsbModel;
using engine::usbModels;
using forms::WaitSeconds;

TEST(PassPlan, TwoPrintersForAnyDigitButZero) {
    struct Case {
        const char* third;
        std::vector<std::pair<std::string, std::string>> passes;
    };
    const Case cases[] = {
        {"0", {{"Color", "black.dat"}}},
        {"", {{"Color", "black.dat"}}},
        {"x", {{"Color", "black.dat"}}},
        {"1", {{"Color_彩色", "color.dat"}, {"Color_黑白", "black.dat"}}},
        {"2", {{"Color_彩色", "color.dat"}, {"Color_黑白", "black.dat"}}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<std::string, std::string>> got;
        for (const InstallPass& p : planPasses(c.third, "Color"))
            got.emplace_back(p.printerName, p.preferenceFile);
        EXPECT_EQ(got, c.passes) << c.third;
    }
}

TEST(OptionSteps, NumberAndTextComparisonsInTheirOrder) {
    struct Case {
        const char* pair;
        OptionSteps steps;
    };
    const Case cases[] = {
        {"10", OptionSteps::DefaultPrinter}, {"01", OptionSteps::PreferenceFile},
        {"11", OptionSteps::Both},           {"00", OptionSteps::Neither},
        {"", OptionSteps::DefaultPrinter},   {"ab", OptionSteps::DefaultPrinter},
        {"1", OptionSteps::Nothing},         {"12", OptionSteps::Nothing},
        {"02", OptionSteps::Nothing},        {"0", OptionSteps::Nothing},
        {"1x", OptionSteps::DefaultPrinter},
    };
    for (const Case& c : cases)
        EXPECT_EQ(optionStepsFor(c.pair), c.steps) << c.pair;
}

TEST(CommandLines, InstallAndPreferenceLinesAreExact) {
    EXPECT_EQ(installLine("Office", "KOAZXL__.inf", PortName{tcpPortName("10.1.1.5"), false}, "M"),
              "rundll32 printui.dll,PrintUIEntry /if /b \"Office\" /f KOAZXL__.inf /r IP_10.1.1.5 "
              "/m \"M\"");
    EXPECT_EQ(installLine("Front Desk", "a b.inf", PortName{"\\\\srv\\hp", true}, "Model X"),
              "rundll32 printui.dll,PrintUIEntry /if /b \"Front Desk\" /f \"a b.inf\" /r "
              "\"\\\\srv\\hp\" /m \"Model X\"");
    EXPECT_EQ(preferenceLine("Color_彩色", "color.dat"),
              "rundll32 printui.dll,PrintUIEntry  /Sr /n \"Color_彩色\" /a color.dat d g u ");
    EXPECT_TRUE(isNetworkPath("\\\\srv\\hp"));
    EXPECT_TRUE(isNetworkPath("a\\\\b"));
    EXPECT_FALSE(isNetworkPath("a\\b"));
    EXPECT_EQ(tcpPortName("anything"), "IP_anything");
}

// Whatever the profile or the executable's name brings, each field stays one argument with
// exactly its text; only the fixed words around them are the line's own.
TEST(CommandLines, HostileFieldsStayTheirOwnArguments) {
    struct Case {
        std::string name, inf, model;
        PortName port;
    };
    const Case cases[] = {
        {"Office\\", "x\".inf", "Model \"X\" & calc", {"IP_10.0.0.7", false}},
        {"a\" /q \"b", "my driver.inf", "M\\", {"\\\\srv\\hp\" & calc & \"", true}},
        {"", "", "", {"", false}},
        {"二樓 印表機\\", ".\\INSTDATA\\x y.inf\\", "%PATH%", {"\\\\srv\\hp\\", true}},
        {"x", "a.inf", "m", {"IP_a b", false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(command::splitArguments(installLine(c.name, c.inf, c.port, c.model)),
                  (std::vector<std::string>{"rundll32", "printui.dll,PrintUIEntry", "/if", "/b",
                                            c.name, "/f", c.inf, "/r", c.port.name, "/m", c.model}))
            << c.name;
        EXPECT_EQ(command::splitArguments(preferenceLine(c.name, "black.dat")),
                  (std::vector<std::string>{"rundll32", "printui.dll,PrintUIEntry", "/Sr", "/n",
                                            c.name, "/a", "black.dat", "d", "g", "u"}));
    }
    EXPECT_THROW(installLine("a\r\nb", "x.inf", {"IP_1", false}, "m"), command::RefusedArgument);
}

TEST(CommandLines, PrinterQueriesEscapeQuotesAndBackslashes) {
    EXPECT_EQ(printerQuery("Office"), "Select * From Win32_Printer Where DeviceID = 'Office'");
    EXPECT_EQ(printersOnPortQuery("IP_10.0.0.7"),
              "Select * From Win32_Printer Where PortName = 'IP_10.0.0.7'");
    EXPECT_EQ(tcpPortQuery("IP_10.0.0.7"),
              "Select * From Win32_TCPIPPrinterPort Where Name = 'IP_10.0.0.7'");
    EXPECT_EQ(printerQuery("Bob's"), "Select * From Win32_Printer Where DeviceID = 'Bob\\'s'");
    EXPECT_EQ(printerQuery("\\\\srv\\q"),
              "Select * From Win32_Printer Where DeviceID = '\\\\\\\\srv\\\\q'");
    EXPECT_EQ(sharePath("srv", "hp"), "\\\\srv\\hp");
}

TEST(UsbModels, ExactNamesOnlyAndTheirLines) {
    const UsbModel* c353 = findUsbModel("KONICA MINOLTA C353 Series PCL");
    ASSERT_NE(c353, nullptr);
    EXPECT_STREQ(c353->message, "203");
    ASSERT_EQ(c353->lines.size(), 1u);
    EXPECT_STREQ(c353->lines[0],
                 "devcon update   KOAZXL__.inf  \"USBPRINT\\KONICA_MINOLTAC353_SEB04\"");
    const UsbModel* generic = findUsbModel("Generic 36C-1SeriesPCL");
    ASSERT_NE(generic, nullptr);
    EXPECT_EQ(generic->windowStyle, 9);
    EXPECT_EQ(findUsbModel("KONICA MINOLTA 210")->lines.size(), 2u);
    EXPECT_EQ(findUsbModel("konica minolta 210"), nullptr);
    EXPECT_EQ(findUsbModel("KONICA MINOLTA 210 "), nullptr);
    EXPECT_EQ(usbModels().size(), 10u);
    for (const UsbModel& m : usbModels()) {
        EXPECT_EQ(m.lines.size(), &m - &usbModels()[0] < 4 ? 1u : 2u) << m.printerName;
    }
}

TEST(WaitSeconds, TooShortSaysSoAndZeroReturnsAtOnce) {
    struct Case {
        float seconds;
        bool message;
        double waited;
    };
    for (Case c : {Case{0, false, 0}, Case{0.005f, true, 0}, Case{-1, true, 0},
                   Case{0.01f, false, 0.01}, Case{3, false, 3}}) {
        testing_support::FormsHarness h({sim::json::parse(R"({"answer":"ok"})")});
        WaitSeconds(h.clock, h.boxes, c.seconds);
        EXPECT_EQ(!h.transcript.lines().empty() &&
                      h.transcript.lines()[0].find("op")->asString() == "msgbox",
                  c.message)
            << c.seconds;
        EXPECT_NEAR(h.machine.clock, c.waited, 1e-6) << c.seconds;
    }
}

}  // namespace
