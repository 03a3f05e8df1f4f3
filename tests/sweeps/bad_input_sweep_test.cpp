// The bad-input sweep: profiles in every encoding and shape, hostile executable names and typed
// addresses, all combined in whole runs. Nothing may crash, store text half or as "?", or
// change how a started line splits.

#include <gtest/gtest.h>

#include "command/argv.h"
#include "platform/sim/base64.h"
#include "sweeps/sweep_run.h"

namespace {

using sweeps::runAnswering;
using sweeps::Value;
using testing_support::ScenarioRun;
using Args = std::vector<std::string>;

std::string utf16le(const std::u16string& text) {
    std::string out = "\xFF\xFE";
    for (char16_t u : text) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

// Field texts a package or a hand-edited profile may bring.
const std::string kHostileFields[] = {
    "Office",
    "Office\\",
    "Model \"X\" & calc",
    "x\".inf",
    "A & B | C < D > E ^ F",
    "%PATH% !x!",
    "二樓 印表機",
    "",
    " ",
    std::string(2000, 'n'),
};

struct Profile {
    std::string what;
    std::string bytes;
};

std::vector<Profile> profiles() {
    std::vector<Profile> out;
    for (const std::string& f : kHostileFields) {
        out.push_back({"name " + f.substr(0, 20), "ip,10.0.0.7," + f + ",Model X,x.inf,100\r\n"});
        out.push_back({"model " + f.substr(0, 20), "ip,10.0.0.7,Office," + f + ",x.inf,011\r\n"});
        out.push_back({"inf " + f.substr(0, 20), "ip,10.0.0.7,Office,Model X," + f + ",110\r\n"});
    }
    out.push_back({"UTF-16", utf16le(u"ip,10.0.0.7,二樓,Model X,x.inf,100\r\n")});
    out.push_back({"UTF-8", "\xEF\xBB\xBFip,10.0.0.7,二樓,Model X,x.inf,100\r\n"});
    out.push_back(
        {"UTF-8 outside the code page", "\xEF\xBB\xBFip,10.0.0.7,Café,Model X,x.inf,100\r\n"});
    out.push_back({"empty", ""});
    out.push_back({"three fields", "ip,10.0.0.7,Office\r\n"});
    out.push_back({"seven fields", "ip,10.0.0.7,A,B,C,100,extra\r\n"});
    out.push_back({"binary", std::string("\x00\x01\x02ip,\xFF\xFE,,,,\x03\x04", 15)});
    out.push_back({"tab", "ip,10.0.0.7,Off\tice,Model X,x.inf,100\r\n"});
    out.push_back({"backslash form", "ip\\10.0.0.7\\Office\\Model X\\x.inf\\100\r\n"});
    out.push_back({"no line end", "ip,10.0.0.7,Office,Model X,x.inf,100"});
    out.push_back({"LF only", "ip,10.0.0.7,Office,Model X,x.inf,100\n"});
    return out;
}

const std::string kAddresses[] = {
    "10.1.1.5",
    "\\\\srv\\hp",
    "\\\\srv\\hp\" & calc & \"",
    "\\\\srv\\🖨",
    "\\\\srv\\hp\\",
    "10.0.0.1\r\n\\\\x\\y",
    "",
    std::string(10000, '9'),
};

const std::string kExeNames[] = {
    "安裝.exe",
    "安裝_10.0.0.9_Lobby & calc.exe",
    "安裝_10.0.0.9 & calc_x.exe",
    "安裝_\\\\srv\\q_x.exe",
    "SHARE_srv_h p.exe",
    "share_srv_hp.exe",
};

// Every started line of the printer set-up entry point splits into its designed switches,
// each followed by exactly one argument.
void expectDesignedSplit(const std::string& line, const std::string& what) {
    if (line.rfind("rundll32 printui.dll,PrintUIEntry", 0) != 0)
        return;
    Args args = command::splitArguments(line);
    if (args.size() > 2 && args[2] == "/if") {
        ASSERT_EQ(args.size(), 11u) << what << ": " << line;
        EXPECT_EQ((Args{args[3], args[5], args[7], args[9]}), (Args{"/b", "/f", "/r", "/m"}))
            << what << ": " << line;
    } else if (args.size() > 2 && args[2] == "/Sr") {
        ASSERT_EQ(args.size(), 10u) << what << ": " << line;
        EXPECT_EQ((Args{args[3], args[5], args[7], args[8], args[9]}),
                  (Args{"/n", "/a", "d", "g", "u"}))
            << what << ": " << line;
    }
}

TEST(BadInputSweep, HostileProfilesNamesAndAddressesNeverInjectCorruptOrCrash) {
    int runs = 0;
    for (const Profile& profile : profiles()) {
        for (const std::string& exe : kExeNames) {
            for (const std::string& address : kAddresses) {
                Value folder = Value::object();
                Value ini = Value::object();
                ini.set("base64", sim::base64Encode(profile.bytes));
                folder.set("ip.ini", ini);
                Value actions = Value::array();
                Value type = Value::object();
                type.set("type", "Form1.Text1");
                type.set("text", address);
                actions.push(type);
                Value enter = Value::object();
                enter.set("key", "Form1.Text1");
                enter.set("char", 13);
                actions.push(enter);
                Value s = Value::object();
                s.set("exe", exe);
                s.set("folder", folder);
                s.set("actions", actions);
                ScenarioRun r = runAnswering(s);
                ++runs;
                const std::string what = profile.what + " | " + exe + " | " + address.substr(0, 30);
                ASSERT_EQ(r.status, 0) << what << ": " << r.lines[r.lines.size() - 2].dump();
                for (const auto& l : r.lines) {
                    const std::string op = l.find("op")->asString();
                    if (op == "run" || op == "start")
                        expectDesignedSplit(l.find("cmd")->asString(), what);
                    // What is written holds no stand-in for a character the page lacked.
                    if (op == "file.write" && l.find("name")->asString() == "ip.ini") {
                        const std::string& text = l.find("text")->asString();
                        EXPECT_EQ(text.find('?'), std::string::npos) << what << ": " << text;
                        EXPECT_EQ(text.find_first_of("\t\x01\x02\x03\x04"), std::string::npos)
                            << what << ": " << text;
                    }
                }
                // Either the profile as it was, or a whole line the program wrote.
                const Value* file = r.state().find("files")->find("ip.ini");
                ASSERT_NE(file, nullptr) << what;
                if (!r.ops("file.write").empty()) {
                    ASSERT_TRUE(file->isString()) << what;
                    EXPECT_EQ(std::count(file->asString().begin(), file->asString().end(), ','), 5)
                        << what << ": " << file->asString();
                }
            }
        }
    }
    EXPECT_GT(runs, 1000);
}

// The same texts given on a deployment tool's command line, with nobody to see a box: each is
// installed whole or refused with 1639 before anything changes.
TEST(BadInputSweep, HostileCommandLineValuesAreInstalledWholeOrRefusedBeforeAnyChange) {
    int runs = 0;
    for (const std::string& value : kHostileFields) {
        for (const std::string& address : kAddresses) {
            for (const char* ui : {"/quiet", "/passive"}) {
                Value folder = Value::object();
                Value ini = Value::object();
                ini.set("text", "ip,10.1.1.5,Office,Model X,x.inf,111\r\n");
                folder.set("ip.ini", ini);
                Value args = Value::array();
                args.push(ui);
                args.push("/ip=" + address);
                args.push("/name=" + value);
                Value s = Value::object();
                s.set("exe", "安裝.exe");
                s.set("args", args);
                s.set("folder", folder);
                ScenarioRun r = runAnswering(s);
                ++runs;
                const std::string what =
                    std::string(ui) + " | " + address.substr(0, 30) + " | " + value.substr(0, 30);
                ASSERT_EQ(r.status, 0) << what << ": " << r.lines[r.lines.size() - 2].dump();
                EXPECT_TRUE(r.ops("msgbox").empty()) << what;
                const long long code = sweeps::exitCode(r);
                for (const auto& l : r.lines) {
                    const std::string op = l.find("op")->asString();
                    if (op == "run" || op == "start")
                        expectDesignedSplit(l.find("cmd")->asString(), what);
                    EXPECT_NE(op, "file.write") << what;
                }
                if (code == 1639) {
                    EXPECT_TRUE(r.state().find("ports")->asArray().empty()) << what;
                    EXPECT_TRUE(r.state().find("printers")->asArray().empty()) << what;
                }
                EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(),
                          "ip,10.1.1.5,Office,Model X,x.inf,111\r\n")
                    << what;
            }
        }
    }
    EXPECT_GT(runs, 100);
}

}  // namespace
