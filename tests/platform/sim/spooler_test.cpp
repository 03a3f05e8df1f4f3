// Removing printers and ports on the simulated machine: what each removal does to the machine,
// the lines it writes, the faults that fail it, and the install log's record of it.

#include <gtest/gtest.h>

#include "forms/fake_backend.h"
#include "platform/error.h"
#include "platform/logging.h"
#include "scenario/scenario.h"

namespace {

using sim::json::parse;
using sim::json::Value;
using testing_support::FormsHarness;

// Two printers, each on its own port, and a third port no printer uses.
const char* const kMachine =
    R"({"machine":{"printers":[)"
    R"({"Name":"Office","DriverName":"Model X","PortName":"IP_10.0.0.7"},)"
    R"({"Name":"Front","DriverName":"Model X","PortName":"IP_10.0.0.8"}],)"
    R"("ports":[{"Name":"IP_10.0.0.7","HostAddress":"10.0.0.7","PortNumber":"9100","Protocol":1},)"
    R"({"Name":"IP_10.0.0.8","HostAddress":"10.0.0.8","PortNumber":"9100","Protocol":1},)"
    R"({"Name":"IP_10.0.0.9","HostAddress":"10.0.0.9","PortNumber":"9100","Protocol":1}],)"
    R"("drivers":["Model X"])";

void prepare(FormsHarness& h, const std::string& machineTail = "") {
    scenario::prepareMachine(
        scenario::parseScenario(parse(std::string(kMachine) + machineTail + "}}")), h.machine);
}

enum class What { Printer, Port };

struct Removal {
    What what;
    const char* name;
    bool removed;
    long long failure = 0;  // the error number raised instead, or 0
};

// Carries out the removals in order, checking each answer; returns what each wrote.
std::vector<Value> removeAll(FormsHarness& h, platform::Spooler& spooler,
                             const std::vector<Removal>& removals) {
    std::vector<Value> written;
    for (const Removal& r : removals) {
        const std::size_t before = h.transcript.lines().size();
        try {
            const bool removed = r.what == What::Printer ? spooler.removePrinter(r.name)
                                                         : spooler.removePort(r.name);
            EXPECT_EQ(r.failure, 0) << r.name << " did not fail";
            EXPECT_EQ(removed, r.removed) << r.name;
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number(), r.failure) << r.name;
        }
        // A failed call's line is held until the next one; take it as a trap would.
        if (auto held = h.transcript.takeHeld())
            written.push_back(*held);
        for (std::size_t i = before; i < h.transcript.lines().size(); ++i)
            written.push_back(h.transcript.lines()[i]);
    }
    return written;
}

std::vector<std::string> namesIn(const Value& state, const char* list) {
    std::vector<std::string> out;
    for (const Value& entry : state.find(list)->asArray())
        out.push_back(entry.isString() ? entry.asString() : entry.find("Name")->asString());
    return out;
}

TEST(SimSpooler, RemovalsTakeEffectAndSayWhetherThereWasAnything) {
    FormsHarness h;
    prepare(h);
    const std::vector<Value> lines =
        removeAll(h, h.spooler,
                  {
                      {What::Port, "IP_10.0.0.9", true},
                      {What::Port, "IP_10.0.0.9", false},
                      // Office still prints to it.
                      {What::Port, "IP_10.0.0.7", false, platform::errors::kBusy},
                      {What::Printer, "office", true},  // names in any case, as Windows
                      {What::Printer, "Office", false},
                      {What::Port, "ip_10.0.0.7", true},
                      {What::Printer, "", false},
                      {What::Port, "LPT1:", false},  // not a Standard TCP/IP port
                  });
    const char* const expected[] = {
        R"({"op":"port.remove","name":"IP_10.0.0.9","removed":true})",
        R"({"op":"port.remove","name":"IP_10.0.0.9","removed":false})",
        R"({"op":"error","call":{"op":"port.remove","name":"IP_10.0.0.7"},"number":-2147024726,)"
        R"("description":"要求的資源正在使用中。","trapped":true})",
        R"({"op":"printer.remove","name":"office","removed":true})",
        R"({"op":"printer.remove","name":"Office","removed":false})",
        R"({"op":"port.remove","name":"ip_10.0.0.7","removed":true})",
        R"({"op":"printer.remove","name":"","removed":false})",
        R"({"op":"port.remove","name":"LPT1:","removed":false})",
    };
    ASSERT_EQ(lines.size(), std::size(expected));
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], parse(expected[i])) << lines[i].dump();

    const Value state = h.machine.state(h.codepage);
    EXPECT_EQ(namesIn(state, "printers"), std::vector<std::string>{"Front"});
    EXPECT_EQ(namesIn(state, "ports"), std::vector<std::string>{"IP_10.0.0.8"});
    EXPECT_EQ(namesIn(state, "drivers"), std::vector<std::string>{"Model X"});
}

TEST(SimSpooler, ARemovedPrinterIsNoLongerTheDefaultNorHasSettings) {
    FormsHarness h;
    prepare(h);
    h.machine.defaultPrinter = "Office";
    h.machine.preferences = {{"Office", "black.dat"}, {"Front", "color.dat"}};
    EXPECT_TRUE(h.spooler.removePrinter("OFFICE"));
    const Value state = h.machine.state(h.codepage);
    EXPECT_TRUE(state.find("defaultPrinter")->isNull());
    EXPECT_EQ(*state.find("preferences"), parse(R"({"Front":"color.dat"})"));
}

TEST(SimSpooler, FaultsFailARemovalOnceOrAlwaysAndLeaveTheMachineAsItWas) {
    constexpr long long kDenied = platform::errors::kAccessDeniedHresult;
    struct Case {
        const char* fault;
        std::vector<Removal> removals;
    };
    const Case cases[] = {
        {R"({"op":"printer.remove","name":"Office","times":1})",
         {{What::Printer, "Office", false, kDenied},
          {What::Printer, "Front", true},
          {What::Printer, "Office", true}}},
        {R"({"op":"printer.remove"})",
         {{What::Printer, "Office", false, kDenied}, {What::Printer, "Office", false, kDenied}}},
        // Copied from a transcript: "removed" is written after the call and not compared.
        {R"({"op":"printer.remove","name":"Front","removed":true})",
         {{What::Printer, "Front", false, kDenied}, {What::Printer, "Office", true}}},
        {R"({"op":"port.remove","name":"IP_10.0.0.9","times":1,"number":5,"description":"x"})",
         {{What::Port, "IP_10.0.0.9", false, 5}, {What::Port, "IP_10.0.0.9", true}}},
        {R"({"op":"port.remove"})",
         {{What::Port, "IP_10.0.0.9", false, kDenied}, {What::Port, "nosuch", false, kDenied}}},
        // A fault fails the call even where there is nothing to remove.
        {R"({"op":"printer.remove","name":"nosuch","times":1})",
         {{What::Printer, "nosuch", false, kDenied}, {What::Printer, "nosuch", false}}},
    };
    for (const Case& c : cases) {
        FormsHarness h;
        prepare(h, std::string(R"(,"faults":[)") + c.fault + "]");
        const std::vector<std::string> printersBefore =
            namesIn(h.machine.state(h.codepage), "printers");
        const std::vector<std::string> portsBefore = namesIn(h.machine.state(h.codepage), "ports");
        std::size_t printersRemoved = 0;
        std::size_t portsRemoved = 0;
        for (const Removal& r : c.removals) {
            if (r.removed)
                ++(r.what == What::Printer ? printersRemoved : portsRemoved);
        }
        const std::vector<Value> lines = removeAll(h, h.spooler, c.removals);
        ASSERT_EQ(lines.size(), c.removals.size()) << c.fault;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const bool failed = c.removals[i].failure != 0;
            EXPECT_EQ(
                lines[i].find("op")->asString(),
                failed ? "error"
                       : (c.removals[i].what == What::Printer ? "printer.remove" : "port.remove"))
                << c.fault << " " << lines[i].dump();
        }
        const Value state = h.machine.state(h.codepage);
        EXPECT_EQ(namesIn(state, "printers").size(), printersBefore.size() - printersRemoved)
            << c.fault;
        EXPECT_EQ(namesIn(state, "ports").size(), portsBefore.size() - portsRemoved) << c.fault;
    }
}

TEST(SimSpooler, WithoutTheSpoolerNothingIsRemoved) {
    FormsHarness h;
    prepare(h, R"(,"services":{"Spooler":"Stopped"})");
    removeAll(h, h.spooler,
              {{What::Printer, "Office", false, platform::errors::kRpcUnavailable},
               {What::Port, "IP_10.0.0.9", false, platform::errors::kRpcUnavailable}});
    const Value state = h.machine.state(h.codepage);
    EXPECT_EQ(namesIn(state, "printers").size(), 2u);
    EXPECT_EQ(namesIn(state, "ports").size(), 3u);
}

TEST(SimSpooler, TheInstallLogRecordsEachRemovalAndItsOutcome) {
    FormsHarness h;
    prepare(h, R"(,"faults":[{"op":"printer.remove","name":"Front"}])");
    platform::LoggedServices logged(h.services);
    removeAll(h, logged.services().spooler,
              {{What::Printer, "Office", true},
               {What::Printer, "Office", false},
               {What::Printer, "Front", false, platform::errors::kAccessDeniedHresult},
               {What::Port, "IP_10.0.0.9", true},
               {What::Port, "IP_10.0.0.9", false}});
    EXPECT_EQ(h.machine.log, (std::vector<std::string>{
                                 "移除印表機 Office → 成功",
                                 "移除印表機 Office → 不存在，略過",
                                 "移除印表機 Front → 失敗 0x80070005：存取被拒。",
                                 "移除連接埠 IP_10.0.0.9 → 成功",
                                 "移除連接埠 IP_10.0.0.9 → 不存在，略過",
                             }));
}

}  // namespace
