// The copy window on the simulated machine: opened from the main window's menu, making copies
// of the installer, running one, and refusing what would make a broken copy.

#include <gtest/gtest.h>

#include "platform/sim/base64.h"
#include "support/package_run.h"

namespace {

using sim::json::Value;
using testing_support::exitCodeOf;
using testing_support::PackageRun;
using testing_support::ScenarioRun;

const std::string kInstallerBytes = std::string("MZ\x90\0\x03\0\0\0", 8) + "installer \xff\xfe";
const char* kProfile = "ip,10.0.0.7,Office,Model X,x.inf,100";

PackageRun package() {
    PackageRun p;
    p.profile(kProfile)
        .text("x.inf", testing_support::kModelXInf)
        .bytes("安裝.exe", kInstallerBytes);
    return p;
}

PackageRun& fill(PackageRun& p, const std::string& word, const std::string& address,
                 const std::string& name) {
    return p.type("Filename.Text1", word)
        .type("Filename.Text2", address)
        .type("Filename.Text3", name);
}

// A file of the final state as bytes, or nothing when it is not there.
std::optional<std::string> fileBytes(const ScenarioRun& r, const std::string& name) {
    const Value* f = r.state().find("files")->find(name);
    if (f == nullptr)
        return std::nullopt;
    if (f->isString())
        return f->asString();
    return sim::base64Decode(f->find("base64")->asString());
}

const Value* inspected(const ScenarioRun& r, const std::string& form, std::size_t which = 0) {
    std::size_t seen = 0;
    for (const Value& l : r.lines) {
        if (l.find("op")->asString() == "inspect" && l.find("form")->asString() == form &&
            seen++ == which)
            return &l;
    }
    return nullptr;
}

std::string textOf(const Value& inspect, const char* control) {
    const Value* c = inspect.find("controls")->find(control);
    return c->has("text") ? c->find("text")->asString() : c->find("caption")->asString();
}

int indexOfForm(const ScenarioRun& r, const std::string& form, const std::string& event) {
    for (std::size_t i = 0; i < r.lines.size(); ++i) {
        const Value& l = r.lines[i];
        if (l.find("op")->asString() == "form" && l.find("form")->asString() == form &&
            l.find("event")->asString() == event)
            return static_cast<int>(i);
    }
    return -1;
}

TEST(CopyWindow, OpensBesideTheMainWindowWithItsAddressAndTheProfilesName) {
    PackageRun p = package();
    // Neither is confirmed: the address box is taken as it is, the name comes from the profile.
    p.type("Form1.Text1", "10.0.0.8").type("Form1.Text2", "Front Desk");
    p.act("click", "Form1.muti_oneKey").act("inspect", "Filename").act("inspect", "ADVSET");
    // The main window still takes input beside it.
    p.type("Form1.Text1", "10.0.0.9").act("inspect", "Form1");
    ScenarioRun r = p.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    const Value& window = *inspected(r, "Filename");
    EXPECT_EQ(window.find("caption")->asString(), "建立一鍵安裝檔");
    EXPECT_TRUE(window.find("visible")->asBool());
    EXPECT_EQ(textOf(window, "Text1"), "安裝");
    EXPECT_EQ(textOf(window, "Text2"), "10.0.0.8");
    EXPECT_EQ(textOf(window, "Text3"), "Office");
    EXPECT_EQ(textOf(window, "Label4"),
              "說明 : 此功能為新增自訂個別的ip與印表機名稱的一鍵安裝執行檔，新增後會在資料夾下。");
    const int shown = indexOfForm(r, "Filename", "show");
    ASSERT_GE(shown, 0);
    EXPECT_FALSE(r.lines[shown].find("modal")->asBool());
    // The name comes from the main window: the package maker is not loaded to read it.
    EXPECT_FALSE(inspected(r, "ADVSET")->find("loaded")->asBool());
    EXPECT_EQ(textOf(*inspected(r, "Form1"), "Text1"), "10.0.0.9");
    EXPECT_EQ(exitCodeOf(r), -1);
}

TEST(CopyWindow, AddCopiesTheInstallerByteForByteThenSaysSoWaitsAndOpensTheFolder) {
    PackageRun p = package();
    p.act("click", "Form1.muti_oneKey");
    fill(p, "大廳", "10.0.0.9", "大廳印表機").act("click", "Filename.Command1").answer("ok");
    p.act("inspect", "Filename").act("inspect", "ADVSET");
    ScenarioRun r = p.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    const std::string copy = "大廳_10.0.0.9_大廳印表機.exe";
    EXPECT_EQ(fileBytes(r, copy), kInstallerBytes);
    EXPECT_EQ(fileBytes(r, "安裝.exe"), kInstallerBytes);

    const int copied = r.indexOf("file.copy", "to", copy);
    ASSERT_GE(copied, 0);
    EXPECT_EQ(r.lines[copied].find("from")->asString(), "安裝.exe");
    const int told = r.indexOf("msgbox", "text", "新增完成");
    ASSERT_GT(told, copied);
    EXPECT_EQ(r.lines[told].find("title")->asString(), "Velmora");
    EXPECT_EQ(r.lines[told].find("icon")->asString(), "information");
    const int waited = r.indexOf("wait");
    ASSERT_GT(waited, told);
    EXPECT_DOUBLE_EQ(r.lines[waited].find("seconds")->asNumber(), 0.5);
    const int opened = r.indexOf("shell.open");
    ASSERT_GT(opened, waited);
    EXPECT_EQ(r.lines[opened].find("file")->asString(), "C:\\Package");
    EXPECT_EQ(r.lines[opened].find("verb")->asString(), "open");
    EXPECT_EQ(r.lines[opened].find("style")->asInteger(), 9);
    EXPECT_TRUE(r.ops("run").empty());

    // The window stays for further copies, the maker was never loaded, the program runs on.
    EXPECT_TRUE(inspected(r, "Filename")->find("visible")->asBool());
    EXPECT_FALSE(inspected(r, "ADVSET")->find("loaded")->asBool());
    EXPECT_EQ(exitCodeOf(r), -1);
}

TEST(CopyWindow, AddingAgainReplacesTheCopyWithoutAQuestion) {
    PackageRun p = package();
    p.bytes("安裝_10.0.0.9_Office.exe", "an older installer");
    p.act("click", "Form1.muti_oneKey").type("Filename.Text2", "10.0.0.9");
    p.act("click", "Filename.Command1").answer("ok").act("click", "Filename.Command1").answer("ok");
    ScenarioRun r = p.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_EQ(fileBytes(r, "安裝_10.0.0.9_Office.exe"), kInstallerBytes);
    EXPECT_EQ(r.state().find("files")->members().size(), 4u);  // ip.ini, x.inf, 安裝.exe, the copy
    auto boxes = r.ops("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    for (const Value& b : boxes)
        EXPECT_EQ(b.find("text")->asString(), "新增完成");
    EXPECT_EQ(r.ops("file.copy").size(), 2u);
    EXPECT_EQ(r.ops("shell.open").size(), 2u);
    // Neither add loads the package maker.
    EXPECT_EQ(r.indexOf("form", "form", "ADVSET"), -1);
}

// A copy needs its word; empty address and name boxes keep the profile's when it installs.
TEST(CopyWindow, EmptyAddressAndNameKeepTheProfilesButTheWordMustBeThere) {
    PackageRun p = package();
    p.act("click", "Form1.muti_oneKey");
    fill(p, "w", "", "").act("click", "Filename.Command1").answer("ok");
    ScenarioRun r = p.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_EQ(fileBytes(r, "w__.exe"), kInstallerBytes);

    PackageRun none = package();
    none.act("click", "Form1.muti_oneKey");
    fill(none, "", "", "").act("click", "Filename.Command1").answer("ok");
    ScenarioRun n = none.run();
    ASSERT_EQ(n.status, 0) << n.lines.back().dump();
    EXPECT_EQ(n.ops("msgbox").at(0).find("text")->asString(), "「自訂名稱」不可空白。");
    EXPECT_TRUE(n.ops("file.copy").empty());
}

// A copy started under its own name makes copies of itself: the program running, whatever its
// name, is what every copy is made from.
TEST(CopyWindow, CopiesTheRunningProgramWhateverItsName) {
    PackageRun p = package();
    p.exe = "安裝_10.0.0.21_一樓影印機.exe";
    p.bytes(p.exe, kInstallerBytes);
    p.folder = [&] {
        sim::json::Value f = sim::json::Value::object();
        for (const auto& [name, value] : p.folder.members()) {
            if (name != "安裝.exe")
                f.set(name, value);
        }
        return f;
    }();
    p.act("click", "Form1.muti_oneKey");
    fill(p, "2F", "10.0.0.22", "二樓").act("click", "Filename.Command1").answer("ok");
    ScenarioRun r = p.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_EQ(fileBytes(r, "2F_10.0.0.22_二樓.exe"), kInstallerBytes);
    EXPECT_GE(r.indexOf("file.copy", "from", "安裝_10.0.0.21_一樓影印機.exe"), 0);
}

TEST(CopyWindow, AddThenInstallRunsTheCopyByItsQuotedNameAndEndsWithItsCode) {
    PackageRun p = package();
    p.act("click", "Form1.muti_oneKey");
    fill(p, "3F", "10.0.0.10", "會議室 印表機").act("click", "Filename.ADD_isntall_Command");
    ScenarioRun r = p.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    const std::string copy = "3F_10.0.0.10_會議室 印表機.exe";
    EXPECT_EQ(fileBytes(r, copy), kInstallerBytes);
    const int copied = r.indexOf("file.copy", "to", copy);
    const int hidden = indexOfForm(r, "Filename", "hide");
    const int ran = r.indexOf("run", "cmd", "\"" + copy + "\"");
    const int ended = r.indexOf("end");
    ASSERT_GE(copied, 0);
    EXPECT_GT(hidden, copied);
    ASSERT_GT(ran, hidden);
    EXPECT_GT(ended, ran);
    EXPECT_EQ(r.lines[ran].find("style")->asInteger(), 1);
    EXPECT_TRUE(r.lines[ran].find("wait")->asBool());
    EXPECT_EQ(exitCodeOf(r), r.lines[ran].find("exitCode")->asInteger());
    // No message, no folder, and no window's closing reaction: the program just ends.
    EXPECT_TRUE(r.ops("msgbox").empty());
    EXPECT_TRUE(r.ops("shell.open").empty());
    EXPECT_EQ(indexOfForm(r, "Form1", "unload"), -1);
}

TEST(CopyWindow, ACharacterAFileNameOrTheEngineCannotTakeIsRefusedBeforeAnythingIsCopied) {
    struct Case {
        const char* box;
        const char* text;
        const char* says;
    };
    const Case cases[] = {
        {"Filename.Text1", "3F_East", "「自訂名稱」不可包含底線「_」"},
        {"Filename.Text2", "fe80::1", "「IP位址」不可包含「:」"},
        {"Filename.Text2", "10.0.0.1_2", "「IP位址」不可包含底線「_」"},
        {"Filename.Text2", "printer01", "「IP位址」的「printer01」不是正確的 IP 位址"},
        {"Filename.Text3", "HP:Laser", "「印表機名稱」不可包含「:」"},
        {"Filename.Text3", "a/b", "「印表機名稱」不可包含「/」"},
        {"Filename.Text3", "tab\there", "「印表機名稱」不可包含控制字元（U+0009）"},
        {"Filename.Text1", "\"q\"", "「自訂名稱」不可包含「\"」"},
    };
    for (const char* button : {"Filename.Command1", "Filename.ADD_isntall_Command"}) {
        for (const Case& c : cases) {
            PackageRun p = package();
            p.act("click", "Form1.muti_oneKey").type("Filename.Text2", "10.0.0.9");
            p.type(c.box, c.text).act("click", button).answer("ok").act("inspect", "Filename");
            ScenarioRun r = p.run();
            ASSERT_EQ(r.status, 0) << c.text << " " << r.lines.back().dump();
            auto boxes = r.ops("msgbox");
            ASSERT_EQ(boxes.size(), 1u) << c.text;
            EXPECT_NE(boxes[0].find("text")->asString().find(c.says), std::string::npos)
                << boxes[0].find("text")->asString();
            EXPECT_EQ(boxes[0].find("icon")->asString(), "exclamation");
            EXPECT_EQ(boxes[0].find("title")->asString(), "建立一鍵安裝檔");
            EXPECT_TRUE(r.ops("file.copy").empty()) << c.text;
            EXPECT_TRUE(r.ops("run").empty()) << c.text;
            EXPECT_TRUE(r.ops("shell.open").empty()) << c.text;
            EXPECT_TRUE(inspected(r, "Filename")->find("visible")->asBool()) << c.text;
            EXPECT_EQ(exitCodeOf(r), -1) << c.text;
        }
    }
}

TEST(CopyWindow, AFailedCopyIsToldInPlaceOfDoneOrTheRunAndTheWindowStays) {
    const std::string longName(300, 'n');
    struct Case {
        const char* what;
        bool withInstaller;
        std::string printer;
        std::string fault;  // a fault of the copy, as JSON, or empty
        bool hiddenTarget;
        const char* reason;
    };
    const Case cases[] = {
        {"installer missing", false, "P", "", false, "找不到檔案"},
        {"target in use", true, "P", R"({"op":"file.copy","to":"安裝_10.0.0.9_P.exe"})", false,
         "沒有使用權限"},
        {"hidden target", true, "P", "", true, "沒有使用權限"},
        {"name too long", true, longName, "", false, "錯誤的檔案名稱或數目"},
    };
    for (const char* button : {"Filename.Command1", "Filename.ADD_isntall_Command"}) {
        for (const Case& c : cases) {
            PackageRun p;
            p.profile(kProfile).text("x.inf", testing_support::kModelXInf);
            if (c.withInstaller)
                p.bytes("安裝.exe", kInstallerBytes);
            const std::string copy = "安裝_10.0.0.9_" + c.printer + ".exe";
            if (c.hiddenTarget) {
                Value f = Value::object();
                f.set("text", "old");
                f.set("hidden", true);
                p.folder.set(copy, f);
            }
            if (!c.fault.empty())
                p.fault(sim::json::parse(c.fault));
            p.act("click", "Form1.muti_oneKey").type("Filename.Text2", "10.0.0.9");
            p.type("Filename.Text3", c.printer).act("click", button).answer("ok");
            p.act("inspect", "Filename");
            ScenarioRun r = p.run();
            ASSERT_EQ(r.status, 0) << c.what << " " << r.lines.back().dump();
            auto boxes = r.ops("msgbox");
            ASSERT_EQ(boxes.size(), 1u) << c.what;
            const std::string text = boxes[0].find("text")->asString();
            EXPECT_EQ(text, "無法從「安裝.exe」複製出「" + copy + "」：" + c.reason) << c.what;
            EXPECT_EQ(boxes[0].find("icon")->asString(), "stop");
            EXPECT_TRUE(r.ops("run").empty()) << c.what;
            EXPECT_TRUE(r.ops("shell.open").empty()) << c.what;
            EXPECT_TRUE(r.ops("wait").empty()) << c.what;
            EXPECT_TRUE(inspected(r, "Filename")->find("visible")->asBool()) << c.what;
            EXPECT_EQ(exitCodeOf(r), -1) << c.what;
            if (c.hiddenTarget)
                EXPECT_EQ(fileBytes(r, copy), "old");
            else
                EXPECT_FALSE(fileBytes(r, copy)) << c.what;
            EXPECT_TRUE(testing_support::logHas(r, "複製檔案 安裝.exe 到 " + copy)) << c.what;
        }
    }
}

TEST(CopyWindow, ACopyMadeByAddInstallsItsOwnAddressAndPrinterName) {
    PackageRun p = package();
    p.act("click", "Form1.muti_oneKey");
    fill(p, "大廳", "10.0.0.9", "大廳印表機").act("click", "Filename.Command1").answer("ok");
    ScenarioRun made = p.run();
    ASSERT_EQ(made.status, 0) << made.lines.back().dump();

    // The folder as the add left it, started as the copy.
    PackageRun copy;
    copy.exe = "大廳_10.0.0.9_大廳印表機.exe";
    for (const auto& [name, content] : made.state().find("files")->members()) {
        if (content.isString()) {
            copy.text(name, content.asString());
        } else {
            Value f = Value::object();
            f.set("base64", content.find("base64")->asString());
            copy.folder.set(name, f);
        }
    }
    ASSERT_TRUE(copy.folder.has(copy.exe));
    copy.enter().answer("yes");
    ScenarioRun r = copy.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_EQ(exitCodeOf(r), 0);
    const auto& printers = r.state().find("printers")->asArray();
    ASSERT_EQ(printers.size(), 1u);
    EXPECT_EQ(printers[0].find("Name")->asString(), "大廳印表機");
    EXPECT_EQ(printers[0].find("PortName")->asString(), "IP_10.0.0.9");
    const auto& ports = r.state().find("ports")->asArray();
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].find("HostAddress")->asString(), "10.0.0.9");
    EXPECT_EQ(r.lastSet("msg.PrintNameLabel", "caption").asString(), "大廳印表機");
}

TEST(CopyWindow, TheMainWindowCanFinishWhileTheCopyWindowStaysOpen) {
    PackageRun p = package();
    // Confirmed and declined in the main window: it goes, the copy window stays and still works.
    p.act("click", "Form1.muti_oneKey").type("Form1.Text1", "10.0.0.8").enter().answer("no");
    p.act("inspect", "Form1").act("click", "Filename.Command1").answer("ok");
    p.act("close", "Filename");
    ScenarioRun r = p.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    EXPECT_FALSE(inspected(r, "Form1")->find("loaded")->asBool());
    // The address box kept what the main window showed when the copy window opened.
    EXPECT_EQ(fileBytes(r, "安裝_10.0.0.7_Office.exe"), kInstallerBytes);
    // The last window closed ends the program as the declined install said.
    EXPECT_EQ(exitCodeOf(r), 1602);
}

TEST(MainMenu, TheVersionItemAndTheHiddenLaunchesCannotBeChosen) {
    for (const char* item : {"Form1.ver", "Form1.Share_Install", "Form1.USB_install"}) {
        PackageRun p = package();
        p.act("click", item);
        ScenarioRun r = p.run();
        EXPECT_EQ(r.status, 2) << item;
        const std::string error = r.lines[r.lines.size() - 2].find("message")->asString();
        EXPECT_NE(error.find("hidden or disabled"), std::string::npos) << error;
        EXPECT_EQ(r.indexOf("form", "form", "setupprint"), -1) << item;
    }
}

}  // namespace
