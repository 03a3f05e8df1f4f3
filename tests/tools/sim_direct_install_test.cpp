// What the simulated machine does with the direct installs' calls: the driver provider's codes,
// the printer provider's refusals, and where a forced result may stand.

#include <gtest/gtest.h>

#include "forms/fake_backend.h"
#include "support/package_run.h"

namespace {

using platform::Value;
using testing_support::FormsHarness;

platform::WmiObject driverClass() {
    platform::WmiObject o;
    o.className = "Win32_PrinterDriver";
    o.path = "Win32_PrinterDriver";
    o.isClass = true;
    return o;
}

Value record(const std::string& model, const std::string& inf) {
    return Value::object("Win32_PrinterDriver",
                         {{"NAME", Value::text(model)}, {"infname", Value::text(inf)}});
}

TEST(SimDirectInstall, AddPrinterDriverInstallsAModelItsPackageInfLists) {
    struct Case {
        const char* what;
        std::vector<Value> args;
        long long result;
    };
    const Case cases[] = {
        {"bare name", {record("Model X", "x.inf")}, 0},
        {"in the current folder", {record("Model X", ".\\X.INF")}, 0},
        {"full path in quotes", {record("Model X", "\"C:\\Package\\x.inf\"")}, 0},
        {"another folder", {record("Model X", "C:\\Other\\x.inf")}, 2},
        {"no such file", {record("Model X", "y.inf")}, 2},
        {"model not listed", {record("Model Y", "x.inf")}, 1797},
        {"no record", {Value::text("x.inf")}, 87},
        {"no argument", {}, 87},
    };
    for (const Case& c : cases) {
        FormsHarness h;
        h.machine.createFile("x.inf").bytes = testing_support::kModelXInf;
        auto wmi = h.wmi.connect("winmgmts:");
        EXPECT_EQ(wmi->callMethod(driverClass(), "AddPrinterDriver", c.args), c.result) << c.what;
        EXPECT_EQ(h.machine.drivers.size(), c.result == 0 ? 1u : 0u) << c.what;
    }
}

TEST(SimDirectInstall, APrinterIsStoredOnlyOverAnInstalledDriverAndAKnownPort) {
    struct Case {
        const char* what;
        bool driver, port;
        long long error;
    };
    const Case cases[] = {
        {"both there", true, true, 0},
        {"no driver", false, true, -2147023099},  // 0x80070705
        {"no port", true, false, -2147023100},    // 0x80070704
    };
    for (const Case& c : cases) {
        FormsHarness h;
        if (c.driver)
            h.machine.drivers.push_back("Model X");
        if (c.port)
            h.machine.ports.push_back({"IP_1.2.3.4", "1.2.3.4", "9100"});
        auto wmi = h.wmi.connect("winmgmts:");
        platform::WmiObject printer;
        printer.className = "Win32_Printer";
        // Names in any case, the printer's name as DeviceID.
        printer.properties = {{"DRIVERNAME", Value::text("Model X")},
                              {"PortName", Value::text("ip_1.2.3.4")},
                              {"deviceid", Value::text("Desk")}};
        long long error = 0;
        try {
            wmi->put(printer);
        } catch (const platform::Error& e) {
            error = e.number();
        }
        EXPECT_EQ(error, c.error) << c.what;
        ASSERT_EQ(h.machine.printers.size(), c.error == 0 ? 1u : 0u) << c.what;
        if (c.error == 0) {
            EXPECT_EQ(h.machine.printers[0].property("Name")->string, "Desk");
            EXPECT_EQ(h.machine.printers[0].property("DriverName")->string, "Model X");
        }
    }
}

TEST(SimDirectInstall, AForcedResultBelongsToAMethodCallOrAProgramRun) {
    testing_support::PackageRun misplaced;
    misplaced.fault(sim::json::parse(R"({"op":"wmi.put","result":5})"));
    auto bad = misplaced.run();
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.ops("scenario-error").at(0).find("message")->asString().find("result"),
              std::string::npos);
}

}  // namespace
