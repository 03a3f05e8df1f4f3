#include <gtest/gtest.h>

#include "forms/fake_backend.h"
#include "platform/sim/commands.h"

namespace {

using testing_support::FormsHarness;

TEST(SimCodepage, Big5RoundTripsAndUnmappableBecomesQuestionMark) {
    sim::SimCodepage cp(950);
    EXPECT_EQ(cp.encode("許功蓋"), "\xB3\\\xA5\\\xBB\\");
    EXPECT_EQ(cp.decode("\xB3\\\xA5\\\xBB\\"), "許功蓋");
    EXPECT_EQ(cp.encode("a😀b"), "a?b");
    EXPECT_TRUE(cp.isText(cp.encode("ip,10.0.0.7,辦公室\r\n")));
    EXPECT_FALSE(cp.isText(std::string("\xff\xfe[\0", 4)));
    // A lead byte without its trail byte is not text, and decodes without losing what precedes.
    EXPECT_EQ(cp.decode("a\xB3"), "a\xEF\xBF\xBD");
    EXPECT_FALSE(cp.isText("a\xB3"));
}

TEST(SimCommands, RegAddWritesTheValueItNames) {
    FormsHarness h;
    struct Case {
        const char* line;
        const char* path;
        sim::json::Value value;
        int exit;
    };
    const Case cases[] = {
        {"reg add \"HKEY_CURRENT_USER\\Software\\Microsoft\\Command Processor\" /v "
         "\"DisableUNCCheck\" "
         "/t REG_DWORD /d 00000001 /f",
         "HKEY_CURRENT_USER\\Software\\Microsoft\\Command Processor\\DisableUNCCheck", 1, 0},
        {"reg add HKCU\\Software\\X /v Name /d text /f", "HKEY_CURRENT_USER\\Software\\X\\Name",
         "text", 0},
        {"reg add HKCU\\Software\\Y /v N /t REG_DWORD /d nope /f",
         "HKEY_CURRENT_USER\\Software\\Y\\N", nullptr, 1},
        {"reg add HKCU\\Software\\Z /bogus", "HKEY_CURRENT_USER\\Software\\Z\\", nullptr, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sim::interpretCommand(h.machine, c.line), c.exit) << c.line;
        sim::json::Value found;
        for (const auto& [path, value] : h.machine.registry) {
            if (path == c.path)
                found = value;
        }
        EXPECT_EQ(found, c.value) << c.line;
    }
}

TEST(SimServices, MissingProgramsFailAsWindowsFailsThem) {
    FormsHarness h;
    h.machine.missingPrograms.insert("devcon");
    try {
        h.launcher.start("devcon rescan", 0);
        ADD_FAILURE() << "started a missing program";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 53);
    }
    try {
        h.shell.run("devcon rescan", 0, true);
        ADD_FAILURE() << "ran a missing program";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), -2147024894);
    }
    EXPECT_EQ(h.shell.run("cmd /c devcon rescan", 0, true), 9009);
}

TEST(SimServices, FaultsMatchEveryGivenFieldAndCountDown) {
    FormsHarness h;
    sim::Fault fault;
    fault.match = sim::json::parse(R"({"op":"wmi.query","flags":48})");
    fault.times = 1;
    h.machine.faults.push_back(fault);
    auto service = h.wmi.connect("winmgmts:");
    EXPECT_NO_THROW(
        service->execQuery("select * from Win32_Printer", std::nullopt));  // flags differ
    EXPECT_THROW(service->execQuery("select * from Win32_Printer", 48), platform::Error);
    EXPECT_NO_THROW(service->execQuery("select * from Win32_Printer", 48));  // used up
}

TEST(SimServices, WmiAnswersQueriesGetsAndMethods) {
    FormsHarness h;
    platform::WmiObject printer;
    printer.set("Name", platform::Value::text("Office"));
    h.machine.printers.push_back(printer);
    auto service = h.wmi.connect("winmgmts:\\\\.\\root\\cimv2");
    EXPECT_EQ(
        service->execQuery("Select * From Win32_Printer Where DeviceID = 'office'", std::nullopt)
            .size(),
        1u);
    EXPECT_EQ(
        service->execQuery("Select * From Win32_Printer Where DeviceID = 'Front'", std::nullopt)
            .size(),
        0u);
    EXPECT_THROW(
        service->execQuery("Select * From Win32_Printer Where DeviceID = 'it's'", std::nullopt),
        platform::Error);

    platform::WmiObject spooler = service->get("Win32_Service.Name='spooler'");
    EXPECT_EQ(service->callMethod(spooler, "StartService", {}), 10);
    EXPECT_EQ(service->callMethod(spooler, "StopService", {}), 0);
    EXPECT_EQ(h.machine.services["Spooler"], "Stopped");
    EXPECT_EQ(service->callMethod(spooler, "StopService", {}), 6);
    EXPECT_EQ(service->callMethod(spooler, "StartService", {}), 0);

    platform::WmiObject portClass = service->get("Win32_TCPIPPrinterPort");
    platform::WmiObject port = service->spawnInstance(portClass);
    port.set("Name", platform::Value::text("IP_10.0.0.7"));
    port.set("Protocol", platform::Value::int16(1));
    port.set("HostAddress", platform::Value::text("10.0.0.7"));
    port.set("PortNumber", platform::Value::text("9100"));
    port.set("SNMPEnabled", platform::Value::fromBool(false));
    service->put(port);
    service->put(port);  // stored twice, one port
    ASSERT_EQ(h.machine.ports.size(), 1u);
    EXPECT_EQ(h.machine.ports[0].hostAddress, "10.0.0.7");
    const auto& put = h.transcript.lines().back();
    EXPECT_EQ(
        put.find("props")->dump(),
        R"({"Name":"IP_10.0.0.7","Protocol":1,"HostAddress":"10.0.0.7","PortNumber":"9100","SNMPEnabled":false})");
    EXPECT_THROW(service->get("Win32_Service.Name='nosuch'"), platform::Error);
}

TEST(SimServices, IniReaderListsSectionsAndKeysAsWritten) {
    FormsHarness h;
    std::string inf =
        "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%M%=Models\r\n"
        "; comment\r\n[Models]\r\n\"Model A\" = a\r\n\"Model B\"=b\r\n";
    h.machine.createFile("x.inf").bytes = inf;
    using Names = std::vector<std::string>;
    EXPECT_EQ(h.profileApi.names(".\\x.inf", std::nullopt),
              (Names{"Version", "Manufacturer", "Models"}));
    EXPECT_EQ(h.profileApi.names(".\\x.inf", std::string("models")),
              (Names{"\"Model A\"", "\"Model B\""}));
    EXPECT_TRUE(h.profileApi.names(".\\missing.inf", std::nullopt).empty());
}

TEST(NameList, SplitsTheReadersBuffer) {
    using Names = std::vector<std::string>;
    struct Case {
        std::string buffer;
        Names names;
    };
    const Case cases[] = {
        {std::string("a\0bc\0\0", 6), {"a", "bc"}},
        {std::string("\0\0", 2), {}},
        {"", {}},
        {std::string("a\0b", 3), {"a"}},  // a cut name is no name
        {std::string("a\0\0junk\0", 8), {"a"}},
        {std::string("\"M A\"\0x\0\0", 9), {"\"M A\"", "x"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::splitNameList(c.buffer), c.names);
}

}  // namespace

namespace {

TEST(SimServices, Utf16InfFilesReadLikeAnsiOnes) {
    FormsHarness h;
    std::string utf16 = "\xFF\xFE";
    for (char32_t c : std::u32string(U"[Version]\r\n[型號]\r\n\"Model A\"=a\r\n")) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>((c >> 8) & 0xFF);
    }
    h.machine.createFile("u.inf").bytes = utf16;
    EXPECT_EQ(h.profileApi.names(".\\u.inf", std::nullopt),
              (std::vector<std::string>{"Version", "型號"}));
    EXPECT_EQ(sim::utf16FileText(utf16).value().substr(0, 9), "[Version]");
    EXPECT_FALSE(sim::utf16FileText("plain").has_value());
    // A surrogate pair is one character; a lone surrogate becomes the replacement character.
    EXPECT_EQ(sim::utf16FileText(std::string("\xFF\xFE\x34\xD8\x1E\xDD", 6)).value(), "𝄞");
    EXPECT_EQ(sim::utf16FileText(std::string("\xFF\xFE\x34\xD8", 4)).value(), "\xEF\xBF\xBD");
}

}  // namespace
