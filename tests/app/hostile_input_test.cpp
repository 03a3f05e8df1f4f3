// Text from a package, a file name or the user never changes a started line, is never stored
// half or as "?", and a profile that was not read whole is never rewritten.

#include <gtest/gtest.h>

#include "command/argv.h"
#include "support/package_run.h"

namespace {

using testing_support::exitCodeOf;
using testing_support::PackageRun;
using testing_support::ScenarioRun;
using testing_support::startedLines;
using Args = std::vector<std::string>;

std::vector<Args> printuiArguments(const ScenarioRun& r) {
    std::vector<Args> out;
    for (const std::string& line : startedLines(r)) {
        if (line.rfind("rundll32 printui.dll", 0) == 0)
            out.push_back(command::splitArguments(line));
    }
    return out;
}

TEST(HostileInput, ProfileFieldsReachTheStartedLinesAsExactlyOneArgumentEach) {
    struct Case {
        std::string name, model, inf, flags = "010";
        std::string address = "10.1.1.5";  // typed; a path becomes a quoted port
        std::string port = "IP_10.1.1.5";
    };
    const Case cases[] = {
        {"Office\\", "Model X", "x.inf"},
        {"Office", "Model \"X\" & calc", "x.inf"},
        {"Office", "Model X", "x\".inf"},
        {"A & B | C < D > E ^ F", "%PATH% !x!", "my driver.inf"},
        {"二樓 印表機", "Model\\\\", ".\\INSTDATA\\x.inf"},
        {"Office", "Model X", "x.inf", "010", "\\\\srv\\hp two", "\\\\srv\\hp two"},
        {"a\" /q \"b", "M", "x.inf", "011"},
    };
    for (const Case& c : cases) {
        PackageRun p;
        p.profile("ip,10.0.0.7," + c.name + "," + c.model + "," + c.inf + "," + c.flags)
            .text("black.dat", "settings")
            .text("color.dat", "settings");
        ScenarioRun r = p.confirm(c.address).answer("ok", 3).run();
        ASSERT_EQ(r.status, 0) << c.name;
        std::vector<Args> lines = printuiArguments(r);
        const bool two = c.flags[2] == '1';
        const Args passes = two ? Args{c.name + "_彩色", c.name + "_黑白"} : Args{c.name};
        ASSERT_EQ(lines.size(), passes.size() * 2) << c.name;
        for (std::size_t i = 0; i < passes.size(); ++i) {
            EXPECT_EQ(lines[2 * i], (Args{"rundll32", "printui.dll,PrintUIEntry", "/if", "/b",
                                          passes[i], "/f", c.inf, "/r", c.port, "/m", c.model}));
            EXPECT_EQ(lines[2 * i + 1],
                      (Args{"rundll32", "printui.dll,PrintUIEntry", "/Sr", "/n", passes[i], "/a",
                            two && i == 0 ? "color.dat" : "black.dat", "d", "g", "u"}));
        }
    }
}

TEST(HostileInput, TypedAddressesThatCouldChangeALineAreRefusedAndNothingIsWritten) {
    const std::string refused[] = {
        "\\\\srv\\hp\" & calc & \"",
        "\\\\srv\\🖨",
        "\\\\srv\\hp\\",
        "\\\\srv\\%TEMP%",
        "\\\\srv\\a|b",
        "\\\\srv\\h\tp",
        "10.0.0.1\r\n\\\\x\\y",
        std::string(10000, '1'),
        "",
        "10.0.0.256",
    };
    for (const std::string& address : refused) {
        PackageRun p;
        p.profile("ip,10.0.0.7,Office,M,x.inf,100")
            .type("Form1.Text1", address)
            .enter()
            .answer("ok");
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << address;
        ASSERT_EQ(r.ops("msgbox").size(), 1u) << address;
        EXPECT_EQ(r.ops("msgbox")[0].find("text")->asString(), "IP不正確") << address;
        EXPECT_TRUE(r.ops("file.write").empty()) << address;
        EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(),
                  "ip,10.0.0.7,Office,M,x.inf,100\r\n");
    }
}

std::string utf16(const std::u16string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : text) {
        char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

TEST(HostileInput, ProfilesInEveryEncodingNotepadSavesAreReadAndWrittenBackInTheCodePage) {
    const std::u16string line = u"ip,10.0.0.7,二樓印表機,Model X,x.inf,100\r\n";
    const std::string files[] = {
        utf16(line, false),
        utf16(line, true),
        "\xEF\xBB\xBF"
        "ip,10.0.0.7,二樓印表機,Model X,x.inf,100\r\n",
    };
    for (const std::string& bytes : files) {
        PackageRun p;
        p.bytes("ip.ini", bytes).type("Form1.Text1", "10.0.0.8").enter().answer("no");
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0);
        EXPECT_EQ(r.lastSet("Form1.Text2", "text").asString(), "二樓印表機");
        // The code page's text, no NUL, no byte-order mark.
        EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(),
                  "ip,10.0.0.8,二樓印表機,Model X,x.inf,100\r\n");
        EXPECT_EQ(exitCodeOf(r), 1602);
    }
}

TEST(HostileInput, AProfileNotReadWholeIsNeverRewrittenNorInstalledFrom) {
    const std::string files[] = {
        "",
        "ip,10.0.0.7,Office\r\n",
        "ip,10.0.0.7,Office,Model X,x.inf,100,extra\r\n",
        std::string("\x00\x01\x02ip,\xFF\xFE,,,,\x03", 14),
        // UTF-16 without its byte-order mark reads as the code page: NULs everywhere.
        utf16(u"ip,10.0.0.7,Office,Model X,x.inf,100\r\n", false).substr(2),
        "ip,10.0.0.7,Off\tice,Model X,x.inf,100\r\n",
    };
    for (const std::string& bytes : files) {
        PackageRun p;
        // The package maker's option warnings may come first, as its reading raises them.
        p.bytes("ip.ini", bytes).type("Form1.Text1", "10.0.0.8").enter().answer("ok", 3);
        ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0);
        const std::string told = r.ops("msgbox").back().find("text")->asString();
        EXPECT_NE(told.find("ip.ini"), std::string::npos) << told;
        EXPECT_NE(told.find("沒有安裝任何東西"), std::string::npos) << told;
        EXPECT_TRUE(r.ops("file.write").empty());
        EXPECT_EQ(r.indexOf("form", "form", "setupprint"), -1);
        EXPECT_EQ(exitCodeOf(r), 1620);
        EXPECT_TRUE(testing_support::logHas(r, "安裝套件已損毀：ip.ini")) << told;
    }
}

TEST(HostileInput, AWriterRefusesWhatTheCodePageWouldStoreAsQuestionMarks) {
    // A UTF-8 profile may hold what code page 950 cannot: writing it back would store "?". The
    // file stays as it was, the log says why, and the confirmed address goes on to the install.
    const std::string original =
        "\xEF\xBB\xBF"
        "ip,10.0.0.7,Café,Model X,x.inf,100\r\n";
    PackageRun p;
    p.bytes("ip.ini", original).type("Form1.Text1", "10.0.0.8").enter().answer("no");
    ScenarioRun r = p.run();
    ASSERT_EQ(r.ops("msgbox").size(), 1u);
    EXPECT_EQ(r.ops("msgbox")[0].find("buttons")->asString(), "yesno");  // the install question
    EXPECT_TRUE(r.ops("file.write").empty());
    EXPECT_TRUE(r.ops("file.append").empty());
    EXPECT_TRUE(testing_support::logHas(r, "「é」"));
    EXPECT_EQ(exitCodeOf(r), 1602);
}

}  // namespace
