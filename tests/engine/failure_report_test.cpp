// Every run tells the truth about how it ended: the failed steps in one message, an exit code a
// deployment script can read, and the install log.

#include <gtest/gtest.h>

#include "support/package_run.h"

namespace {

using sim::json::Value;
using testing_support::exitCodeOf;
using testing_support::logHas;
using testing_support::PackageRun;
using testing_support::ScenarioRun;

Value fault(std::initializer_list<std::pair<const char*, const char*>> fields) {
    Value f = Value::object();
    for (const auto& [k, v] : fields)
        f.set(k, v);
    return f;
}

PackageRun install(const std::string& flags = "100", const std::string& model = "Model X") {
    PackageRun p;
    p.profile("ip,192.168.0.250,Office," + model + ",x.inf," + flags)
        .text("x.inf", testing_support::kModelXInf);
    return p;
}

std::string lastBox(const ScenarioRun& r) {
    auto boxes = r.ops("msgbox");
    return boxes.empty() ? "" : boxes.back().find("text")->asString();
}

TEST(FailureReport, EachFailedStepIsToldWithItsReasonAndTheRunEndsWith1603) {
    struct Case {
        const char* what;
        PackageRun package;
        std::string step;    // the failed step the closing message names
        std::string reason;  // a part of its reason
    };
    PackageRun renamed = install();
    renamed.fault(fault({{"op", "wmi.call"}, {"method", "RenamePrinter"}}))
        .type("Form1.Text2", "Front Desk");
    const Case cases[] = {
        {"port", install().fault(fault({{"op", "wmi.put"}})), "新增連接埠 IP_10.1.1.5", "錯誤 "},
        {"port class",
         install().fault(fault({{"op", "wmi.get"}, {"path", "Win32_TCPIPPrinterPort"}})),
         "新增連接埠 IP_10.1.1.5", "錯誤 "},
        // An INF without makers cannot be checked before the install; printui then fails.
        {"printer missing",
         install("100", "Model Y").text("x.inf", "[Version]\r\n[Models]\r\nModel Y = i\r\n"),
         "安裝印表機「Office」", "機型：Model Y，INF 檔：x.inf"},
        {"printui cannot start",
         install().fault(fault({{"op", "run"},
                                {"cmd",
                                 "rundll32 printui.dll,PrintUIEntry /if /b \"Office\" /f x.inf /r "
                                 "IP_10.1.1.5 /m \"Model X\""}})),
         "安裝印表機「Office」", "0x80070002"},
        {"default printer", install().fault(fault({{"op", "net.default"}})),
         "設定預設印表機「Office」", "0x80070709"},
        // color.dat alone keeps the package maker's option on without a warning.
        {"preference file missing", install("110").text("color.dat", "settings"),
         "套用列印喜好設定 black.dat 到「Office」", "沒有 black.dat"},
        {"legacy default mode", install().fault(fault({{"op", "reg.write"}})),
         "設定 LegacyDefaultPrinterMode", "錯誤 "},
        {"rename", renamed, "將印表機「Office」改名為「Front Desk」", "錯誤 "},
        {"printer list unreadable",
         install().fault(fault({{"op", "wmi.query"},
                                {"wql", "Select * From Win32_Printer Where DeviceID = 'Office'"}})),
         "安裝印表機「Office」", "無法確認印表機已安裝"},
    };
    for (const Case& c : cases) {
        PackageRun p = c.package;
        ScenarioRun r = p.confirm("10.1.1.5").answer("ok", 3).run();
        ASSERT_EQ(r.status, 0) << c.what;
        const std::string summary = lastBox(r);
        EXPECT_NE(summary.find(c.step), std::string::npos) << c.what << ": " << summary;
        EXPECT_NE(summary.find(c.reason), std::string::npos) << c.what << ": " << summary;
        EXPECT_EQ(r.ops("msgbox").back().find("icon")->asString(), "stop") << c.what;
        EXPECT_EQ(exitCodeOf(r), 1603) << c.what;
        EXPECT_TRUE(logHas(r, "步驟失敗：" + c.step)) << c.what;
        EXPECT_TRUE(logHas(r, "結束，結束代碼 1603")) << c.what;
        // The steps after a failed one still ran: the run always finishes.
        EXPECT_GE(r.indexOf("form", "event", "unload"), 0) << c.what;
    }
}

// A network path's port needs the spooler stopped and started again around the registry value.
TEST(FailureReport, ASpoolerThatDoesNotRestartIsTold) {
    struct Case {
        const char* what;
        Value fault;
        std::string reason;
    };
    const Case cases[] = {
        {"stop", fault({{"op", "wmi.call"}, {"method", "StopService"}}), "錯誤 "},
        {"restart", fault({{"op", "wmi.call"}, {"target", "Win32_Service.Name=\"Spooler\""}}),
         "錯誤 "},
        {"registry", fault({{"op", "wmi.call"}, {"method", "SetStringValue"}}), "錯誤 "},
    };
    for (const Case& c : cases) {
        PackageRun p = install();
        ScenarioRun r = p.fault(c.fault).confirm("\\\\srv\\hp").answer("ok", 3).run();
        ASSERT_EQ(r.status, 0) << c.what;
        EXPECT_NE(lastBox(r).find("新增連接埠 \\\\srv\\hp"), std::string::npos)
            << c.what << lastBox(r);
        EXPECT_EQ(exitCodeOf(r), 1603) << c.what;
    }
}

TEST(FailureReport, ARunThatDidAllItWasAskedEndsSilentlyWith0) {
    for (const char* flags : {"100", "000", "001", "111"}) {
        PackageRun p = install(flags);
        p.text("black.dat", "settings").text("color.dat", "settings");
        ScenarioRun r = p.confirm("10.1.1.5").run();
        EXPECT_EQ(r.ops("msgbox").size(), 1u) << flags;  // the install question only
        EXPECT_EQ(exitCodeOf(r), 0) << flags;
        EXPECT_FALSE(logHas(r, "步驟失敗")) << flags;
    }
}

TEST(FailureReport, ModesEndWithTheirOwnTruth) {
    struct Case {
        const char* what;
        PackageRun package;
        long long code;
        std::string told;  // a part of the last message, or empty for none after the start
    };
    auto launch = [](const char* item, const std::string& line) {
        PackageRun p;
        p.profile(line).act("invoke", std::string("Form1.") + item);
        return p;
    };
    PackageRun shareOk = launch("Share_Install", "ip,\\\\srv\\hp,Office,M,x.inf,100");
    PackageRun shareDown = launch("Share_Install", "ip,\\\\srv\\hp,Office,M,x.inf,100");
    shareDown.fault(fault({{"op", "net.connect"}}));
    PackageRun shareName;
    shareName.exe = "SHARE.exe";
    shareName.profile("ip,10.0.0.7,Office,M,x.inf,100").confirm("10.0.0.8");
    PackageRun usbOk = launch("USB_install", "ip,1,KONICA MINOLTA 210,M,x.inf,100");
    PackageRun usbNoDevcon = launch("USB_install", "ip,1,KONICA MINOLTA 210,M,x.inf,100");
    usbNoDevcon.machine.set("missingPrograms", Value(sim::json::Array{Value("devcon")}));
    PackageRun usbUnknown = launch("USB_install", "ip,1,Unknown Model,M,x.inf,100");
    // The placeholder address typed in as it is: the engine hands over to the main program.
    PackageRun placeholder;
    placeholder.profile("ip,10.0.0.7,Office,M,x.inf,100")
        .text("Velmora.exe", "MZ")
        .confirm("192.168.0.250");
    PackageRun placeholderDown = placeholder;
    placeholderDown.fault(fault({{"op", "run"}, {"cmd", "Velmora.exe"}}));
    const Case cases[] = {
        {"share", shareOk, 0, "完成"},
        {"share down", shareDown, 1603, "連線到共用印表機 \\\\srv\\hp"},
        {"share name without parts", shareName, 1603, "SHARE_主機_共用名稱.exe"},
        {"usb", usbOk, 0, "安裝完成"},
        {"usb without devcon", usbNoDevcon, 1603,
         "devcon rescan\r\n    錯誤 0x80070002：系統找不到指定的檔案。請把 devcon.exe"},
        {"usb unknown model", usbUnknown, 1603, "Unknown Model"},
        {"placeholder", placeholder, 0, "您是否要立即安裝驅動程式"},
        {"placeholder without main program", placeholderDown, 1603, "啟動主程式 Velmora.exe"},
    };
    for (const Case& c : cases) {
        PackageRun p = c.package;
        ScenarioRun r = p.answer("ok", 6).run();
        ASSERT_EQ(r.status, 0) << c.what;
        EXPECT_EQ(exitCodeOf(r), c.code) << c.what;
        EXPECT_NE(lastBox(r).find(c.told), std::string::npos) << c.what << ": " << lastBox(r);
        EXPECT_TRUE(logHas(r, "結束，結束代碼 " + std::to_string(c.code))) << c.what;
    }
}

TEST(FailureReport, TheUsersChoicesAndStopsHaveTheirCodes) {
    struct Case {
        const char* what;
        PackageRun package;
        long long code;
    };
    PackageRun base = install();
    PackageRun cancel = base;
    cancel.act("click", "Form1.Command2");
    PackageRun closeBox = base;
    closeBox.act("close", "Form1").answer("yes");
    PackageRun declined = base;
    declined.type("Form1.Text1", "10.1.1.5").enter().answer("no");
    // Esc on the install question: Wine answers a Yes/No box with Cancel.
    PackageRun escaped = base;
    escaped.type("Form1.Text1", "10.1.1.5").enter().answer("cancel");
    PackageRun stop;  // ip.ini cannot be created: the standard stop
    stop.fault(fault({{"op", "file.append"}})).answer("ok");
    PackageRun damaged;
    damaged.profile("ip,10.0.0.7,Office").type("Form1.Text1", "10.0.0.8").enter().answer("ok");
    const Case cases[] = {
        {"cancel", cancel, 1602},      {"close box", closeBox, 1602},
        {"declined", declined, 1602},  {"Esc on the question", escaped, 1602},
        {"standard stop", stop, 1603}, {"damaged", damaged, 1620},
    };
    for (const Case& c : cases) {
        ScenarioRun r = c.package.run();
        ASSERT_EQ(r.status, 0) << c.what;
        EXPECT_EQ(exitCodeOf(r), c.code) << c.what;
        EXPECT_TRUE(r.state().find("ports")->asArray().empty()) << c.what;
    }
}

TEST(FailureReport, TheLogHoldsTheRunButNoTranscriptLine) {
    ScenarioRun r =
        install().fault(fault({{"op", "net.default"}})).confirm("10.1.1.5").answer("ok").run();
    for (const char* part :
         {"開始：安裝.exe", "ip.ini：ip,192.168.0.250,Office,Model X,x.inf,100",
          "ip.ini：ip,10.1.1.5,Office,Model X,x.inf,100",
          "WMI 儲存 Win32_TCPIPPrinterPort（Name=\"IP_10.1.1.5\"",
          "執行 rundll32 printui.dll,PrintUIEntry /if /b \"Office\"",
          "設定預設印表機 Office → 失敗 0x80070709", "寫入檔案 ip.ini → 成功",
          "登錄寫入 HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\"
          "LegacyDefaultPrinterMode",
          "結束，結束代碼 1603"}) {
        EXPECT_TRUE(logHas(r, part)) << part;
    }
    EXPECT_TRUE(r.ops("log").empty());
}

TEST(FailureReport, ALogEventCannotForgeALineOfItsOwn) {
    // A profile read at start goes to the log; its control characters stay inside one event.
    PackageRun p;
    p.profile("ip,10.0.0.7,Off\x01ice\rGHOST,M,x.inf,100").act("click", "Form1.Command2");
    ScenarioRun r = p.run();
    for (const std::string& event : testing_support::logOf(r)) {
        EXPECT_EQ(event.find_first_of("\r\n\x01"), std::string::npos) << event;
    }
}

}  // namespace
