// The printer set-up entry point on the simulated machine: an install under a name that is in
// use fails as AddPrinter fails it (ERROR_PRINTER_ALREADY_EXISTS) and leaves that printer as it
// was; rundll32 still ends with 0, as it hands back nothing of the entry point's.

#include <gtest/gtest.h>

#include "forms/fake_backend.h"
#include "platform/sim/commands.h"

namespace {

using sim::json::parse;
using testing_support::FormsHarness;

TEST(SimPrintui, AnInstallUnderANameInUseLeavesThatPrinterAsItWas) {
    struct Case {
        const char* line;
        int exitCode;
        const char* printers;  // the state's printers after the line
        const char* drivers;
    };
    const char* const kOffice = R"({"Name":"Office","DriverName":"Model X","PortName":"IP_1"})";
    const std::string unchanged = std::string("[") + kOffice + "]";
    const Case cases[] = {
        {R"(rundll32 printui.dll,PrintUIEntry /if /b "Office" /f x.inf /r IP_2 /m "Model Y")", 0,
         unchanged.c_str(), R"(["Model X"])"},
        // Windows compares printer names without regard to case.
        {R"(rundll32 printui.dll,PrintUIEntry /if /b "OFFICE" /f x.inf /r IP_2 /m "Model Y")", 0,
         unchanged.c_str(), R"(["Model X"])"},
        {R"(rundll32 printui.dll,PrintUIEntry /if /b "Front" /f x.inf /r IP_2 /m "Model Y")", 0,
         R"([{"Name":"Office","DriverName":"Model X","PortName":"IP_1"},)"
         R"({"Name":"Front","DriverName":"Model Y","PortName":"IP_2"}])",
         R"(["Model X","Model Y"])"},
    };
    for (const Case& c : cases) {
        FormsHarness h;
        h.machine.createFile("x.inf").bytes = "[Models]\r\n\"Model X\" = a\r\n\"Model Y\" = b\r\n";
        h.machine.createFile("p.dat").bytes = "settings";
        platform::WmiObject office;
        office.set("Name", platform::Value::text("Office"));
        office.set("DriverName", platform::Value::text("Model X"));
        office.set("PortName", platform::Value::text("IP_1"));
        h.machine.printers.push_back(office);
        h.machine.drivers = {"Model X"};
        h.machine.ports = {{"IP_1", "10.0.0.1", "9100", 1, false},
                           {"IP_2", "10.0.0.2", "9100", 1, false}};

        EXPECT_EQ(sim::interpretCommand(h.machine, c.line), c.exitCode) << c.line;
        const sim::json::Value state = h.machine.state(h.codepage);
        EXPECT_EQ(*state.find("printers"), parse(c.printers)) << c.line;
        EXPECT_EQ(*state.find("drivers"), parse(c.drivers)) << c.line;
        EXPECT_EQ(*state.find("preferences"), parse("{}")) << c.line;
        EXPECT_TRUE(state.find("registry")->members().empty()) << c.line;
    }
}

}  // namespace
