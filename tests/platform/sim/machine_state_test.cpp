// What a scenario may set on the simulated machine besides the defaults: the program's
// arguments and account, and the ports and drivers an earlier run left; and that a field the
// simulator does not read is refused rather than ignored.

#include <gtest/gtest.h>

#include "forms/fake_backend.h"
#include "scenario/scenario.h"
#include "support/scenario_run.h"

namespace {

using sim::json::parse;
using sim::json::Value;
using testing_support::FormsHarness;
using testing_support::runScenario;
using testing_support::ScenarioRun;

void prepare(FormsHarness& h, const std::string& scenarioJson) {
    scenario::prepareMachine(scenario::parseScenario(parse(scenarioJson)), h.machine);
}

TEST(ScenarioMachine, ArgumentsAndAccountReachTheProcess) {
    struct Case {
        const char* scenario;
        std::vector<std::string> arguments;
        bool localSystem;
    };
    const Case cases[] = {
        {"{}", {}, false},
        {R"({"args":["/quiet","/ip=10.0.0.9"]})", {"/quiet", "/ip=10.0.0.9"}, false},
        {R"({"args":[],"machine":{"account":"system"}})", {}, true},
        {R"({"args":["辦公室 A","","a\"b"],"machine":{"account":"user"}})",
         {"辦公室 A", "", "a\"b"},
         false},
    };
    for (const Case& c : cases) {
        FormsHarness h;
        prepare(h, c.scenario);
        EXPECT_EQ(h.process.arguments(), c.arguments) << c.scenario;
        EXPECT_EQ(h.process.runsAsLocalSystem(), c.localSystem) << c.scenario;
    }
}

TEST(ScenarioMachine, AnyFieldOrValueTheSimulatorDoesNotReadIsAnInvalidScenario) {
    struct Case {
        const char* scenario;
        const char* named;  // what the scenario-error message must point at
    };
    const Case cases[] = {
        // Top level, machine and its parts, folder entries, actions.
        {R"({"bogus":1})", "bogus"},
        {R"({"Args":["/quiet"]})", "Args"},
        {R"({"machine":{"printer":[]}})", "printer"},
        {R"({"machine":{"os":{"Build":"19045"}}})", "Build"},
        {R"({"machine":{"os":{"Version":10}}})", "Version"},
        {R"({"folder":{"a.ini":{"text":"x","hiden":true}}})", "hiden"},
        {R"({"folder":{"a.ini":{"text":"x","base64":"eA=="}}})", "both"},
        {R"({"actions":[{"click":"Form1.Command2","text":"x"}]})", "text"},
        {R"({"actions":[{"answer":"yes","click":"Form1.Command2"}]})", "answer"},
        {R"({"actions":[{"type":"Form1.Text1","text":"x","char":13}]})", "char"},
        {R"({"actions":[{"inspect":"Form1","note":"why"}]})", "note"},
        {R"({"actions":[{"fly":"Form1"}]})", "unknown action"},
        // Arguments and account.
        {R"({"args":"/quiet"})", "args"},
        {R"({"args":["/quiet",1]})", "args"},
        {R"({"machine":{"account":"System"}})", "account"},
        {R"({"machine":{"account":"administrator"}})", "account"},
        {R"({"machine":{"account":true}})", "account"},
        // Ports, as the state line shows them.
        {R"({"machine":{"ports":{}}})", "ports"},
        {R"({"machine":{"ports":["IP_1"]}})", "ports"},
        {R"({"machine":{"ports":[{"HostAddress":"h","PortNumber":"9100","Protocol":1}]}})", "Name"},
        {R"({"machine":{"ports":[{"Name":"","HostAddress":"h","PortNumber":"9100","Protocol":1}]}})",
         "Name"},
        {R"({"machine":{"ports":[{"Name":"P","PortNumber":"9100","Protocol":1}]}})", "HostAddress"},
        {R"({"machine":{"ports":[{"Name":"P","HostAddress":"h","PortNumber":9100,"Protocol":1}]}})",
         "PortNumber"},
        {R"({"machine":{"ports":[{"Name":"P","HostAddress":"h","PortNumber":"91a","Protocol":1}]}})",
         "PortNumber"},
        {R"({"machine":{"ports":[{"Name":"P","HostAddress":"h","PortNumber":"0","Protocol":1}]}})",
         "PortNumber"},
        {R"({"machine":{"ports":[{"Name":"P","HostAddress":"h","PortNumber":"65536","Protocol":1}]}})",
         "PortNumber"},
        {R"({"machine":{"ports":[{"Name":"P","HostAddress":"h","PortNumber":"9100"}]}})",
         "Protocol"},
        {R"({"machine":{"ports":[{"Name":"P","HostAddress":"h","PortNumber":"9100","Protocol":3}]}})",
         "Protocol"},
        {R"({"machine":{"ports":[{"Name":"P","HostAddress":"h","PortNumber":"9100","Protocol":1,"SNMPEnabled":"no"}]}})",
         "SNMPEnabled"},
        {R"({"machine":{"ports":[{"Name":"P","HostAddress":"h","PortNumber":"9100","Protocol":1,"Queue":"q"}]}})",
         "Queue"},
        {R"({"machine":{"ports":[{"Name":"IP_1","HostAddress":"h","PortNumber":"9100","Protocol":1},)"
         R"({"Name":"ip_1","HostAddress":"g","PortNumber":"9100","Protocol":1}]}})",
         "twice"},
        // Drivers.
        {R"({"machine":{"drivers":"Model X"}})", "drivers"},
        {R"({"machine":{"drivers":[""]}})", "drivers"},
        {R"({"machine":{"drivers":[7]}})", "drivers"},
        {R"({"machine":{"drivers":["Model X","Model X"]}})", "twice"},
    };
    for (const Case& c : cases) {
        ScenarioRun r = runScenario(c.scenario);
        EXPECT_EQ(r.status, 2) << c.scenario;
        // Refused before the program starts: the error and the untouched machine's state.
        ASSERT_EQ(r.lines.size(), 2u) << c.scenario;
        const Value& error = r.lines[0];
        EXPECT_EQ(error.find("op")->asString(), "scenario-error") << c.scenario;
        EXPECT_NE(error.find("message")->asString().find(c.named), std::string::npos)
            << c.scenario << ": " << error.dump();
    }
}

TEST(ScenarioMachine, EveryFieldTheSimulatorReadsIsAccepted) {
    ScenarioRun r = runScenario(
        R"({"exe":"安裝.exe","codepage":950,"args":["/quiet"],)"
        R"("folder":{"a.ini":{"text":"x","hidden":true},"b.bin":{"base64":"AAE="}},)"
        R"("machine":{"computerName":"PC02","folder":"D:\\Pkg","adapters":[],"printers":[],)"
        R"("ports":[{"Name":"P","HostAddress":"h","PortNumber":"9100","Protocol":2,"SNMPEnabled":true}],)"
        R"("drivers":["Model X"],"os":{"Caption":"Windows","Version":"10.0.22631"},)"
        R"("architecture":"arm64","language":"0409","missingPrograms":["devcon"],)"
        R"("services":{"Spooler":"Running"},"account":"system","faults":[{"op":"wmi.put","times":0}]},)"
        R"("actions":[{"tab":"Form1","shift":true},{"type":"Form1.Text1","text":"1"},)"
        R"({"key":"Form1.Text1","char":50},{"inspect":"Form1"}]})");
    EXPECT_EQ(r.status, 0) << r.lines[r.lines.size() - 2].dump();
}

TEST(ScenarioMachine, PortsAndDriversOfAnEarlierRunAreSeenAsTheProgramsOwn) {
    FormsHarness h;
    prepare(
        h,
        R"({"machine":{"ports":[)"
        R"({"Name":"IP_10.0.0.7","HostAddress":"10.0.0.7","PortNumber":"9100","Protocol":1,"SNMPEnabled":true},)"
        R"({"Name":"LPR_q","HostAddress":"printer.lan","PortNumber":"515","Protocol":2}],)"
        R"("drivers":["Model X","Model Y"]}})");
    auto service = h.wmi.connect("winmgmts:");
    auto ports = service->execQuery(
        "Select * From Win32_TCPIPPrinterPort Where Name = 'ip_10.0.0.7'", std::nullopt);
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].property("HostAddress")->string, "10.0.0.7");
    EXPECT_EQ(ports[0].property("PortNumber")->string, "9100");
    EXPECT_TRUE(ports[0].property("SNMPEnabled")->boolean);
    EXPECT_EQ(
        service->execQuery("Select * From Win32_PrinterDriver Where Name = 'Model Y'", std::nullopt)
            .size(),
        1u);

    // A printer on them needs both known, as one the program made would.
    platform::WmiObject printer = service->spawnInstance(service->get("Win32_Printer"));
    printer.set("DeviceID", platform::Value::text("Office"));
    printer.set("DriverName", platform::Value::text("Model Y"));
    printer.set("PortName", platform::Value::text("LPR_q"));
    EXPECT_NO_THROW(service->put(printer));
    // The program storing a port of the same name changes that one, in the one store.
    platform::WmiObject port = service->spawnInstance(service->get("Win32_TCPIPPrinterPort"));
    port.set("Name", platform::Value::text("IP_10.0.0.7"));
    port.set("Protocol", platform::Value::int32(1));
    port.set("HostAddress", platform::Value::text("10.0.0.8"));
    port.set("PortNumber", platform::Value::text("9100"));
    service->put(port);

    const Value state = h.machine.state(h.codepage);
    EXPECT_EQ(*state.find("ports"),
              parse(R"([{"Name":"IP_10.0.0.7","HostAddress":"10.0.0.8","PortNumber":"9100",)"
                    R"("Protocol":1,"SNMPEnabled":false},)"
                    R"({"Name":"LPR_q","HostAddress":"printer.lan","PortNumber":"515",)"
                    R"("Protocol":2,"SNMPEnabled":false}])"));
    EXPECT_EQ(*state.find("drivers"), parse(R"(["Model X","Model Y"])"));
    EXPECT_EQ(*state.find("printers"),
              parse(R"([{"Name":"Office","DriverName":"Model Y","PortName":"LPR_q"}])"));
}

TEST(ScenarioMachine, TheStateShowsPortsAndDriversAsTheScenarioGaveThem) {
    ScenarioRun r = runScenario(
        R"({"machine":{"ports":[{"Name":"IP_1","HostAddress":"10.0.0.1","PortNumber":"9100",)"
        R"("Protocol":1,"SNMPEnabled":true}],"drivers":["Model X"]}})");
    EXPECT_EQ(*r.state().find("ports"),
              parse(R"([{"Name":"IP_1","HostAddress":"10.0.0.1","PortNumber":"9100","Protocol":1,)"
                    R"("SNMPEnabled":true}])"));
    EXPECT_EQ(*r.state().find("drivers"), parse(R"(["Model X"])"));
}

}  // namespace
