// The diagnostic buttons and LocalPort on the simulated machine.

#include <gtest/gtest.h>

#include "support/package_run.h"

namespace {

using sim::json::Value;
using testing_support::PackageRun;
using testing_support::ScenarioRun;

const char* kPortValue =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports\\"
    "\\\\192.168.10.10\\printer";

PackageRun package(const std::string& model = "Model X") {
    PackageRun p;
    p.profile("ip,10.0.0.7,Office," + model + ",x.inf,100")
        .text("x.inf", testing_support::kModelXInf);
    return p;
}

// Every box the tools show carries the program's title.
std::vector<std::string> boxTextsTitledVelmora(const ScenarioRun& r) {
    std::vector<std::string> out;
    for (const Value& box : r.ops("msgbox")) {
        EXPECT_EQ(box.find("title")->asString(), "Velmora");
        out.push_back(box.find("text")->asString());
    }
    return out;
}

TEST(Diagnostics, OneMessagePerPrinterSaysWhetherItsNameHoldsTheModel) {
    struct Case {
        const char* what;
        std::string model;
        std::vector<std::string> printers;
        std::vector<std::string> boxes;
    };
    const std::string yes = "有找到印表機";
    const std::string no = "沒找到印表機";
    const Case cases[] = {
        {"no printer", "Model X", {}, {}},
        {"five, one matching",
         "Model X",
         {"Fax", "Office Model X", "PDF", "A", "B"},
         {no, yes, no, no, no}},
        {"exact case", "Model X", {"office model x"}, {no}},
        {"an empty model is in every name", "", {"Fax", "PDF"}, {yes, yes}},
    };
    for (const Case& c : cases) {
        PackageRun p = package(c.model);
        Value printers = Value::array();
        for (const std::string& name : c.printers) {
            Value printer = Value::object();
            printer.set("Name", name);
            printers.push(printer);
        }
        p.machine.set("printers", printers);
        p.act("invoke", "Form1.Command3").answer("ok", static_cast<int>(c.boxes.size()));
        p.act("inspect", "ADVSET");
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << c.what << r.lines.back().dump();
        EXPECT_EQ(boxTextsTitledVelmora(r), c.boxes) << c.what;
        for (const Value& box : r.ops("msgbox")) {
            EXPECT_EQ(box.find("icon")->asString(), "none");
        }
        // The model comes from ip.ini itself: the package maker is not loaded for it.
        const Value maker = r.ops("inspect").at(0);
        EXPECT_FALSE(maker.find("loaded")->asBool()) << c.what;
    }
}

TEST(Diagnostics, TheSystemVersionIsItsCaptionAndVersion) {
    PackageRun p = package();
    p.machine.set("os", sim::json::parse(R"({"Caption":"Microsoft Windows 11 Pro",)"
                                         R"("Version":"10.0.22631"})"));
    p.act("invoke", "Form1.Command7").answer("ok");
    ScenarioRun r = p.run();
    EXPECT_EQ(boxTextsTitledVelmora(r),
              std::vector<std::string>{"Microsoft Windows 11 Pro  10.0.22631"});
    EXPECT_EQ(r.ops("wmi.query").back().find("wql")->asString(),
              "Select * from Win32_OperatingSystem");
    EXPECT_EQ(r.ops("wmi.connect").back().find("moniker")->asString(),
              "winmgmts:{impersonationLevel=impersonate}!\\\\.\\root\\cimv2");
}

TEST(Diagnostics, LocalPortRestartsTheSpoolerAroundTheValueAndSaysOkOnlyWhenAllWent) {
    struct Case {
        const char* what;
        std::vector<Value> faults;
        std::string failure;  // what the stop message holds; empty for "ok"
        bool written;
    };
    auto callFault = [](const char* method, std::optional<long long> result) {
        Value f = Value::object();
        f.set("op", "wmi.call");
        f.set("method", method);
        if (result)
            f.set("result", *result);
        return f;
    };
    const Case cases[] = {
        {"everything goes", {}, "", true},
        {"the write raises",
         {callFault("SetStringValue", std::nullopt)},
         "登錄的 Ports 值沒有寫入：錯誤 0x80041001",
         false},
        {"the write returns a code",
         {callFault("SetStringValue", 5)},
         "登錄的 Ports 值沒有寫入（SetStringValue 傳回 5）",
         false},
        {"the spooler does not stop",
         {callFault("StopService", 2)},
         "列印多工緩衝處理器沒有停止（StopService 傳回 2）",
         true},
        {"the spooler does not start",
         {callFault("StartService", 1053)},
         "列印多工緩衝處理器沒有啟動（StartService 傳回 1053）",
         true},
    };
    for (const Case& c : cases) {
        PackageRun p = package();
        for (const Value& f : c.faults)
            p.fault(f);
        p.act("invoke", "Form1.local_port").answer("ok");
        p.act("invoke", "Form1.local_port").answer("ok");
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << c.what << r.lines.back().dump();
        // A call that raised is written as a trapped error carrying its line.
        std::vector<std::string> methods;
        for (const Value& line : r.lines) {
            const std::string op = line.find("op")->asString();
            if (op == "wmi.call")
                methods.push_back(line.find("method")->asString());
            if (op == "error") {
                EXPECT_TRUE(line.find("trapped")->asBool()) << c.what;
                methods.push_back(line.find("call")->find("method")->asString());
            }
        }
        // The spooler is started again after every stop, whatever happened between.
        const std::vector<std::string> once = {"StopService", "SetStringValue", "StartService"};
        std::vector<std::string> twice = once;
        twice.insert(twice.end(), once.begin(), once.end());
        EXPECT_EQ(methods, twice) << c.what;
        auto boxes = r.ops("msgbox");
        ASSERT_EQ(boxes.size(), 2u) << c.what;
        const Value& box = boxes[0];
        if (c.failure.empty()) {
            EXPECT_EQ(box.find("text")->asString(), "ok");
            EXPECT_EQ(box.find("icon")->asString(), "information");
        } else {
            const std::string text = box.find("text")->asString();
            EXPECT_EQ(text.rfind("無法新增本機連接埠 \\\\192.168.10.10\\printer。", 0), 0u) << text;
            EXPECT_NE(text.find(c.failure), std::string::npos) << c.what << ": " << text;
            EXPECT_EQ(box.find("icon")->asString(), "stop") << c.what;
        }
        const Value& state = r.state();
        if (c.what != std::string("the spooler does not start")) {
            EXPECT_EQ(state.find("services")->find("Spooler")->asString(), "Running") << c.what;
        }
        // Twice the same value: one port.
        const Value* value = state.find("registry")->find(kPortValue);
        EXPECT_EQ(value != nullptr, c.written) << c.what;
        if (value != nullptr) {
            EXPECT_EQ(value->asString(), "REG_SZ");
        }
        std::size_t ports = 0;
        for (const auto& [path, v] : state.find("registry")->members())
            ports += path.find("\\Ports\\") != std::string::npos;
        EXPECT_EQ(ports, c.written ? 1u : 0u) << c.what;
    }
}

}  // namespace
