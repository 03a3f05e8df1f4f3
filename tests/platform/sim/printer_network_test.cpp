// The simulated machine's printer network: probes and IPP questions answered from
// machine.network, their transcript lines, faults, and the install log's account of them.

#include <gtest/gtest.h>

#include "forms/fake_backend.h"
#include "platform/logging.h"
#include "scenario/scenario.h"
#include "support/scenario_run.h"

namespace {

using sim::json::Value;
using testing_support::FormsHarness;

const char* kNetwork = R"({"network": {
    "10.0.0.7": {"open": [9100, 631],
                 "ipp": {"printer-make-and-model": "KONICA MINOLTA bizhub C257i"}},
    "10.0.0.8": {"open": [9100], "ipp": {"printer-make-and-model": "EPSON L3150"}},
    "10.0.0.9": {}}})";

TEST(SimPrinterNetwork, ProbesAnswerAsTheNetworkSays) {
    struct Case {
        const char* machine;
        const char* address;
        int port;
        bool open;
    };
    const Case cases[] = {
        {"{}", "10.0.0.7", 9100, true},       {"{}", "192.168.9.9", 631, true},
        {"{}", "10.0.0.7", 515, false},       {kNetwork, "10.0.0.7", 9100, true},
        {kNetwork, "10.0.0.7", 631, true},    {kNetwork, "10.0.0.7", 80, false},
        {kNetwork, "10.0.0.8", 631, false},   {kNetwork, "10.0.0.9", 9100, false},
        {kNetwork, "10.0.0.70", 9100, false},  // not listed: answers nothing
    };
    for (const Case& c : cases) {
        FormsHarness h;
        scenario::configureMachine(sim::json::parse(c.machine), h.machine);
        EXPECT_EQ(h.services.printerNetwork.probe(c.address, c.port), c.open)
            << c.address << ":" << c.port;
        Value expected = sim::json::parse(R"({"op":"net.probe"})");
        expected.set("address", c.address);
        expected.set("port", c.port);
        expected.set("open", c.open);
        ASSERT_EQ(h.transcript.lines().size(), 1u);
        EXPECT_EQ(h.transcript.lines()[0].dump(), expected.dump());
    }
}

TEST(SimPrinterNetwork, IppQueriesAnswerOnlyWhereThePrinterListensOnIpp) {
    struct Case {
        const char* machine;
        const char* address;
        const char* attribute;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {kNetwork, "10.0.0.7", "printer-make-and-model", "KONICA MINOLTA bizhub C257i"},
        {kNetwork, "10.0.0.7", "printer-name", std::nullopt},
        {kNetwork, "10.0.0.8", "printer-make-and-model", std::nullopt},  // 631 closed
        {kNetwork, "10.0.0.9", "printer-make-and-model", std::nullopt},
        {kNetwork, "10.0.0.70", "printer-make-and-model", std::nullopt},
        {"{}", "10.0.0.7", "printer-make-and-model", std::nullopt},
    };
    for (const Case& c : cases) {
        FormsHarness h;
        scenario::configureMachine(sim::json::parse(c.machine), h.machine);
        EXPECT_EQ(h.services.printerNetwork.printerAttribute(c.address, c.attribute), c.value)
            << c.address << " " << c.attribute;
        Value expected = sim::json::parse(R"({"op":"ipp.query"})");
        expected.set("address", c.address);
        expected.set("attribute", c.attribute);
        expected.set("value", c.value ? Value(*c.value) : Value());
        ASSERT_EQ(h.transcript.lines().size(), 1u);
        EXPECT_EQ(h.transcript.lines()[0].dump(), expected.dump());
    }
}

TEST(SimPrinterNetwork, FaultsMatchWhatTheCallIsAskedNotItsAnswer) {
    // Copied from transcript lines, answers included.
    FormsHarness h;
    scenario::configureMachine(sim::json::parse(R"({"faults": [
        {"op": "net.probe", "address": "10.0.0.7", "port": 9100, "open": true, "times": 1},
        {"op": "ipp.query", "address": "10.0.0.7", "attribute": "printer-make-and-model",
         "value": "X", "number": 10060, "description": "timed out"}]})"),
                               h.machine);
    platform::PrinterNetwork& net = h.services.printerNetwork;
    EXPECT_TRUE(net.probe("10.0.0.7", 631));
    try {
        net.probe("10.0.0.7", 9100);
        ADD_FAILURE() << "the probe's fault did not fail it";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), platform::errors::kNetworkDown);
        EXPECT_EQ(e.description(), "通訊端操作遇到了失效的網路。");
    }
    EXPECT_TRUE(net.probe("10.0.0.7", 9100));  // used up
    EXPECT_EQ(net.printerAttribute("10.0.0.7", "printer-name"), std::nullopt);
    try {
        net.printerAttribute("10.0.0.7", "printer-make-and-model");
        ADD_FAILURE() << "the query's fault did not fail it";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 10060);
        EXPECT_EQ(e.description(), "timed out");
    }
    // A failed call writes its error line, not its own; the last one waits for the next line.
    std::vector<std::string> ops;
    for (const Value& line : h.transcript.lines())
        ops.push_back(line.find("op")->asString());
    EXPECT_EQ(ops, (std::vector<std::string>{"net.probe", "error", "net.probe", "ipp.query"}));
    std::optional<Value> held = h.transcript.takeHeld();
    ASSERT_TRUE(held);
    EXPECT_EQ(held->find("op")->asString(), "error");
}

TEST(SimPrinterNetwork, InvalidNetworkMakesTheScenarioInvalid) {
    const char* networks[] = {
        R"([])",
        R"("10.0.0.7")",
        R"({"10.0.0.7": []})",
        R"({"": {}})",
        R"({"10.0.0.7": {"open": 9100}})",
        R"({"10.0.0.7": {"open": ["9100"]}})",
        R"({"10.0.0.7": {"open": [0]}})",
        R"({"10.0.0.7": {"open": [65536]}})",
        R"({"10.0.0.7": {"open": [-1]}})",
        R"({"10.0.0.7": {"open": [9100.5]}})",
        R"({"10.0.0.7": {"ipp": []}})",
        R"({"10.0.0.7": {"ipp": {"printer-make-and-model": 3}}})",
        R"({"10.0.0.7": {"ipp": {"printer-make-and-model": null}}})",
        R"({"10.0.0.7": {"ports": [9100]}})",
    };
    for (const char* network : networks) {
        testing_support::ScenarioRun r =
            testing_support::runScenario(std::string(R"({"machine":{"network":)") + network + "}}");
        EXPECT_EQ(r.status, 2) << network;
        ASSERT_GE(r.lines.size(), 2u) << network;
        EXPECT_EQ(r.lines[r.lines.size() - 2].find("op")->asString(), "scenario-error") << network;
    }
    // The edges of the port range are ports.
    testing_support::ScenarioRun edges = testing_support::runScenario(
        R"({"machine":{"network":{"10.0.0.7":{"open":[1,65535]}}},"actions":[]})");
    EXPECT_TRUE(edges.ops("scenario-error").empty());
}

TEST(SimPrinterNetwork, ProbesAndQueriesAreLoggedWithTheirAnswers) {
    FormsHarness h;
    scenario::configureMachine(sim::json::parse(R"({"network": {"10.0.0.7": {"open": [9100, 631],
            "ipp": {"printer-make-and-model": "KONICA MINOLTA bizhub C257i"}}},
            "faults": [{"op": "net.probe", "port": 515}]})"),
                               h.machine);
    platform::LoggedServices logged(h.services);
    platform::PrinterNetwork& net = logged.services().printerNetwork;
    net.probe("10.0.0.7", 9100);
    net.probe("10.0.0.8", 9100);
    net.printerAttribute("10.0.0.7", "printer-make-and-model");
    net.printerAttribute("10.0.0.7", "printer-name");
    EXPECT_THROW(net.probe("10.0.0.7", 515), platform::Error);
    EXPECT_EQ(h.machine.log,
              (std::vector<std::string>{
                  "探測 10.0.0.7 連接埠 9100 → 有回應",
                  "探測 10.0.0.8 連接埠 9100 → 沒有回應",
                  "詢問 10.0.0.7 的 IPP 屬性 printer-make-and-model → "
                  "\"KONICA MINOLTA bizhub C257i\"",
                  "詢問 10.0.0.7 的 IPP 屬性 printer-name → 未回報",
                  "探測 10.0.0.7 連接埠 515 → 失敗 10050：通訊端操作遇到了失效的網路。",
              }));
}

}  // namespace
