// The program's own command line: what a deployment tool may pass, and the refusals that name
// the argument at fault.

#include <gtest/gtest.h>

#include <sstream>

#include "command/switches.h"

namespace {

using command::BadSwitch;
using command::parseSwitches;
using command::Switches;
using command::Ui;
using Args = std::vector<std::string>;

Switches with(Ui ui, std::optional<std::string> ip = {}, std::optional<std::string> name = {},
              std::optional<std::string> log = {}, bool uninstall = false, bool help = false) {
    return Switches{ui, std::move(ip), std::move(name), std::move(log), uninstall, help};
}

std::string shown(const Args& args) {
    std::string out;
    for (const std::string& a : args)
        out += "[" + a + "]";
    return out;
}

TEST(Switches, AcceptedLinesGiveTheirValues) {
    struct Case {
        Args args;
        Switches expected;
    };
    const Case cases[] = {
        {{}, with(Ui::Full)},
        {{"/quiet"}, with(Ui::Quiet)},
        {{"/QN"}, with(Ui::Quiet)},
        {{"-s"}, with(Ui::Quiet)},
        {{"/Silent"}, with(Ui::Quiet)},
        {{"-PASSIVE"}, with(Ui::Passive)},
        {{"/ip=10.0.0.9"}, with(Ui::Full, "10.0.0.9")},
        {{"-IP=10.0.0.9", "/name=辦公室 A", "/Log=C:\\logs\\a=b.log"},
         with(Ui::Full, "10.0.0.9", "辦公室 A", "C:\\logs\\a=b.log")},
        {{"/name=a=b=c"}, with(Ui::Full, {}, "a=b=c")},
        {{"/ip=="}, with(Ui::Full, "=")},
        {{"/x"}, with(Ui::Full, {}, {}, {}, true)},
        {{"/UNINSTALL"}, with(Ui::Full, {}, {}, {}, true)},
        {{"/?"}, with(Ui::Full, {}, {}, {}, false, true)},
        {{"-h"}, with(Ui::Full, {}, {}, {}, false, true)},
        {{"/Help"}, with(Ui::Full, {}, {}, {}, false, true)},
        {{"/passive", "/uninstall", "/name=Office"}, with(Ui::Passive, {}, "Office", {}, true)},
        {{"/ip=10.0.0.9", "/s", "/log=x.log", "/?"},
         with(Ui::Quiet, "10.0.0.9", {}, "x.log", false, true)},
    };
    for (const Case& c : cases) {
        auto result = parseSwitches(c.args);
        const Switches* s = std::get_if<Switches>(&result);
        ASSERT_NE(s, nullptr) << shown(c.args) << ": " << std::get<BadSwitch>(result).reason;
        EXPECT_EQ(*s, c.expected) << shown(c.args);
    }
}

TEST(Switches, RefusalsNameTheArgumentAndSayWhy) {
    struct Case {
        Args args;
        const char* argument;  // the one named
        const char* why;       // what sets this refusal apart from the others
        const char* alsoNamed = "";
    };
    const Case cases[] = {
        {{"/foo"}, "/foo", "不認得"},
        {{"/"}, "/", "不認得"},
        {{"--quiet"}, "--quiet", "不認得"},
        {{"/quietly"}, "/quietly", "不認得"},
        {{"/ip:10.0.0.9"}, "/ip:10.0.0.9", "不認得"},
        {{"/foo", "/bar"}, "/foo", "不認得"},
        {{"quiet"}, "quiet", "不是參數"},
        {{"/quiet", "10.0.0.9"}, "10.0.0.9", "不是參數"},
        {{""}, "", "空的參數"},
        {{"/ip"}, "/ip", "需要一個值"},
        {{"/NAME"}, "/NAME", "需要一個值"},
        {{"-log"}, "-log", "需要一個值"},
        {{"/IP="}, "/IP=", "是空的"},
        {{"/name="}, "/name=", "是空的"},
        {{"/quiet=1"}, "/quiet=1", "不接受值"},
        {{"/?=x"}, "/?=x", "不接受值"},
        {{"/x="}, "/x=", "不接受值"},
        {{"/quiet", "/qn"}, "/qn", "重複", "/quiet"},
        {{"/s", "/S"}, "/S", "重複", "/s"},
        {{"/ip=1.2.3.4", "-IP=5.6.7.8"}, "-IP=5.6.7.8", "重複", "/ip=1.2.3.4"},
        {{"/x", "/uninstall"}, "/uninstall", "重複", "/x"},
        {{"/h", "/?"}, "/?", "重複", "/h"},
        {{"/passive", "/passive"}, "/passive", "重複"},
        {{"/silent", "/passive"}, "/passive", "一起使用", "/silent"},
        {{"-passive", "/qn"}, "/qn", "一起使用", "-passive"},
    };
    for (const Case& c : cases) {
        auto result = parseSwitches(c.args);
        const BadSwitch* bad = std::get_if<BadSwitch>(&result);
        ASSERT_NE(bad, nullptr) << shown(c.args) << " was accepted";
        EXPECT_EQ(bad->argument, c.argument) << shown(c.args);
        EXPECT_NE(bad->reason.find(std::string("「") + c.argument + "」"), std::string::npos)
            << shown(c.args) << ": " << bad->reason;
        EXPECT_NE(bad->reason.find(c.why), std::string::npos)
            << shown(c.args) << ": " << bad->reason;
        EXPECT_NE(bad->reason.find(c.alsoNamed), std::string::npos)
            << shown(c.args) << ": " << bad->reason;
    }
}

// The switch lines of the usage, each with the words before its "：".
std::vector<std::string> usageLines() {
    std::vector<std::string> lines;
    std::istringstream in(command::usageText());
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

const std::string* lineStarting(const std::vector<std::string>& lines, const std::string& start) {
    for (const std::string& line : lines) {
        if (line.rfind(start, 0) == 0)
            return &line;
    }
    return nullptr;
}

TEST(Switches, TheUsageHasALineForEverySwitchAndExitCode) {
    const std::vector<std::string> lines = usageLines();
    struct Case {
        const char* start;
        const char* alsoOnTheLine;
    };
    const Case cases[] = {
        {"/quiet", "/qn、/s、/silent"},
        {"/passive", ""},
        {"/ip=", ""},
        {"/name=", ""},
        {"/log=", ""},
        {"/uninstall", "/x"},
        {"/?", "/help、/h"},
        {"0：", ""},
        {"1602：", "取消"},
        {"1603：", "失敗"},
        {"1620：", "損壞"},
        {"1639：", "命令列"},
    };
    for (const Case& c : cases) {
        const std::string* line = lineStarting(lines, c.start);
        ASSERT_NE(line, nullptr) << c.start;
        EXPECT_NE(line->find(c.alsoOnTheLine), std::string::npos) << *line;
        // Each line also says what the switch or code means.
        EXPECT_GT(line->size(), line->find("：") + std::string("：").size()) << *line;
    }
}

TEST(Switches, EverySwitchTheUsageNamesIsAccepted) {
    int named = 0;
    for (const std::string& line : usageLines()) {
        if (line.empty() || line.front() != '/')
            continue;
        // "/ip=位址：..." gives "/ip=位址"; "/quiet（或 ...）：..." gives "/quiet".
        std::string first = line.substr(0, line.find("："));
        first = first.substr(0, first.find("（"));
        if (first.front() != '/' || first.find(' ') != std::string::npos)
            continue;
        ++named;
        auto result = parseSwitches({first});
        EXPECT_TRUE(std::holds_alternative<Switches>(result)) << first;
    }
    EXPECT_EQ(named, 7);
}

}  // namespace
