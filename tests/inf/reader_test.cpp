// The INF reader, one row per rule the setup functions follow, on small INF files of our own.

#include <gtest/gtest.h>

#include "inf/decoration.h"
#include "inf/document.h"
#include "inf/models.h"
#include "inf/strings.h"
#include "platform/sim/codepage.h"
#include "text/text.h"

namespace {

using Names = std::vector<std::string>;
using platform::Architecture;

const sim::SimCodepage& cp950() {
    static const sim::SimCodepage codepage(950);
    return codepage;
}

platform::WindowsTarget windows10(Architecture a = Architecture::Amd64) {
    platform::WindowsTarget t;
    t.architecture = a;
    return t;
}

Names modelsOf(const std::string& bytes, const platform::WindowsTarget& t = windows10()) {
    return inf::readModels(inf::Document::fromBytes(bytes, cp950()), t).models;
}

std::string utf16(const std::string& utf8, bool bigEndian = false) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : text::toUtf16(utf8)) {
        const char hi = static_cast<char>(u >> 8);
        const char lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

const char* kHead = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n";

struct Row {
    const char* rule;
    std::string inf;
    Names models;
};

TEST(InfReader, SyntaxRules) {
    const std::string h = kHead;
    const Row rows[] = {
        {"quoted keys lose their quotes",
         h + "[Manufacturer]\r\nA=M\r\n[M]\r\n\"P 1\" = i\r\n",
         {"P 1"}},
        {"bare keys are models too",
         h + "[Manufacturer]\r\nA=M\r\n[M]\r\nPlain Model = i, hw\r\n",
         {"Plain Model"}},
        {"LF alone ends a line",
         h + "[Manufacturer]\nA=M\n[M]\n\"P1\"=i\n\"P2\"=i\n",
         {"P1", "P2"}},
        {"CR alone ends a line", "[Manufacturer]\rA=M\r[M]\r\"P1\"=i\r\"P2\"=i\r", {"P1", "P2"}},
        {"a comment is not read",
         h + "[Manufacturer]\r\nA=M ; the maker\r\n[M]\r\n; \"No\"=i\r\n\"P1\"=i ; x\r\n",
         {"P1"}},
        {"a ; inside quotes is text", h + "[Manufacturer]\r\nA=M\r\n[M]\r\n\"P;1\"=i\r\n", {"P;1"}},
        {"a doubled quote is one quote",
         h + "[Manufacturer]\r\nA=M\r\n[M]\r\n\"12\"\" Plotter\"=i\r\n",
         {"12\" Plotter"}},
        {"a final backslash continues the line",
         h + "[Manufacturer]\r\nA=\\\r\n  M\r\n[M]\r\n\"P1\"=\\   ; joined\r\n i\r\n",
         {"P1"}},
        {"a backslash inside a line is text",
         h + "[Manufacturer]\r\nA=M\r\n[M]\r\nP\\1 = i\r\n",
         {"P\\1"}},
        {"section names without regard to case",
         h + "[MANUFACTURER]\r\nA=Models\r\n[models]\r\n\"P1\"=i\r\n",
         {"P1"}},
        {"a section given twice is read as one",
         h + "[Manufacturer]\r\nA=M\r\n[M]\r\n\"P1\"=i\r\n[Other]\r\nx=y\r\n[m]\r\n\"P2\"=i\r\n",
         {"P1", "P2"}},
        {"blanks around keys are dropped, inner ones kept",
         h + "[Manufacturer]\r\n  A  =  M  \r\n[ M ]\r\n\t P  1 \t= i\r\n",
         {"P  1"}},
        {"a name given twice is listed once, case aside",
         h + "[Manufacturer]\r\nA=M\r\n[M]\r\n\"P1\"=a\r\n\"p1\"=b\r\n\"P2\"=c\r\n\"P1\"=d\r\n",
         {"P1", "P2"}},
        {"core-driver keys are no models",
         h + "[Manufacturer]\r\nA=M\r\n[M]\r\n{D20EA372-DD35-4950-9ED8-A6335AFE79F0}=x\r\n\"P1\"="
             "i\r\n",
         {"P1"}},
        {"lines without = are no models",
         h + "[Manufacturer]\r\nA=M\r\n[M]\r\nJustText\r\n\"P1\"=i\r\n",
         {"P1"}},
        {"Ctrl+Z ends the file",
         h + "[Manufacturer]\r\nA=M\r\n[M]\r\n\"P1\"=i\r\n\x1A\"P2\"=i\r\n",
         {"P1"}},
        {"every maker in order",
         h + "[Manufacturer]\r\nB=MB\r\nA=MA\r\n[MA]\r\n\"A1\"=i\r\n[MB]\r\n\"B1\"=i\r\n\"B2\"="
             "i\r\n",
         {"B1", "B2", "A1"}},
        {"a bare maker line names its section",
         h + "[Manufacturer]\r\nModels\r\n[Models]\r\n\"P1\"=i\r\n",
         {"P1"}},
        {"a missing models section gives nothing",
         h + "[Manufacturer]\r\nA=Gone\r\n[M]\r\n\"P1\"=i\r\n",
         {}},
        {"the third section is not the rule",
         h + "[SourceDisksNames]\r\n1=\"Driver "
             "Disk\"\r\n[Manufacturer]\r\nA=M\r\n[M]\r\n\"Real\"=i\r\n",
         {"Real"}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(modelsOf(r.inf), r.models) << r.rule;
}

TEST(InfReader, Encodings) {
    const std::string inf = "[Manufacturer]\r\n%M%=M\r\n[M]\r\n\"彩色 雷射 P1\"=i\r\n";
    const Names want{"彩色 雷射 P1"};
    EXPECT_EQ(modelsOf(cp950().encode(inf)), want) << "ANSI code page";
    EXPECT_EQ(modelsOf("\xEF\xBB\xBF" + inf), want) << "UTF-8 with its mark";
    EXPECT_EQ(modelsOf(utf16(inf)), want) << "UTF-16 LE";
    EXPECT_EQ(modelsOf(utf16(inf, true)), want) << "UTF-16 BE";
}

TEST(InfReader, Strings) {
    const std::string h =
        std::string(kHead) + "[Manufacturer]\r\n%Maker%=M\r\n[M]\r\n%Model%=i\r\n";
    const Row rows[] = {
        {"[Strings] alone", h + "[Strings]\r\nModel=\"Base\"\r\n", {"Base"}},
        {"the exact language first",
         h + "[Strings]\r\nModel=\"Base\"\r\n[Strings.0804]\r\nModel=\"Simplified\"\r\n"
             "[Strings.0004]\r\nModel=\"Neutral\"\r\n[Strings.0404]\r\nModel=\"Traditional\"\r\n",
         {"Traditional"}},
        {"then the neutral sublanguage",
         h + "[Strings]\r\nModel=\"Base\"\r\n[Strings.0804]\r\nModel=\"Simplified\"\r\n"
             "[Strings.0004]\r\nModel=\"Neutral\"\r\n",
         {"Neutral"}},
        {"then any of the same language",
         h + "[Strings]\r\nModel=\"Base\"\r\n[Strings.0409]\r\nModel=\"English\"\r\n"
             "[Strings.0C04]\r\nModel=\"Hong Kong\"\r\n",
         {"Hong Kong"}},
        {"another language is not read",
         h + "[Strings]\r\nModel=\"Base\"\r\n[Strings.0409]\r\nModel=\"English\"\r\n",
         {"Base"}},
        {"a key missing in the language comes from [Strings]",
         h + "[Strings]\r\nModel=\"Base\"\r\n[Strings.0404]\r\nMaker=\"Only maker\"\r\n",
         {"Base"}},
        {"keys without regard to case", h + "[STRINGS]\r\nMODEL=\"Upper\"\r\n", {"Upper"}},
        {"a key found nowhere stays as written", h + "[Strings]\r\nOther=x\r\n", {"%Model%"}},
        {"the first definition holds",
         h + "[Strings]\r\nModel=\"First\"\r\nModel=\"Second\"\r\n",
         {"First"}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(modelsOf(r.inf), r.models) << r.rule;

    const inf::Document d("[Strings]\r\nA=\"x\"\r\n");
    const inf::StringTable table(d, 0x0404);
    EXPECT_EQ(table.substitute("100%% %A%%A% %B% 5%"), "100% xx %B% 5%");
}

TEST(InfReader, ChoosesTheModelsSectionAsWindowsDoes) {
    struct Choice {
        const char* rule;
        const char* manufacturer;
        Architecture architecture;
        const char* chosen;  // the section whose model is listed; "" for none
    };
    // Each section lists one model named after the section itself.
    const char* sections[] = {"M",
                              "M.NTamd64",
                              "M.NTx86",
                              "M.NTarm64",
                              "M.NTamd64.6.0",
                              "M.NTamd64.10.0",
                              "M.NTamd64.10.0...19045",
                              "M.NTamd64.10.0...22000",
                              "M.NT.5.1",
                              "M.NTamd64.11.0",
                              "M.NTamd64.10.0.3"};
    std::string body;
    for (const char* s : sections)
        body += std::string("[") + s + "]\r\n\"" + s + "\"=i\r\n";
    const Choice choices[] = {
        {"plain architecture", "M,NTamd64,NTx86", Architecture::Amd64, "M.NTamd64"},
        {"x86 takes its own", "M,NTamd64,NTx86", Architecture::X86, "M.NTx86"},
        {"ARM64 falls back to the undecorated section", "M,NTamd64,NTx86", Architecture::Arm64,
         "M"},
        {"highest version not above the PC's", "M,NTamd64,NTamd64.6.0,NTamd64.10.0",
         Architecture::Amd64, "M.NTamd64.10.0"},
        {"a build above the PC's does not apply", "M,NTamd64.10.0...19045,NTamd64.10.0...22000",
         Architecture::Amd64, "M.NTamd64.10.0...19045"},
        {"a version above the PC's does not apply", "M,NTamd64.11.0,NTamd64.6.0",
         Architecture::Amd64, "M.NTamd64.6.0"},
        {"a version without architecture counts for every one", "M,NTamd64,NT.5.1",
         Architecture::Amd64, "M.NT.5.1"},
        {"the order listed does not matter", "M,NTamd64.10.0,NTamd64", Architecture::Amd64,
         "M.NTamd64.10.0"},
        {"a server product type does not apply to a workstation", "M,NTamd64.10.0.3,NTamd64",
         Architecture::Amd64, "M.NTamd64"},
        {"decorations are read without regard to case", "M,ntAMD64", Architecture::Amd64,
         "M.NTamd64"},
        {"only undecorated sections are read on x64 too", "M", Architecture::Amd64, "M"},
        {"an ARM64-only package has nothing for x64", "MX,NTarm64", Architecture::Amd64, ""},
        {"a decorated section that is missing gives nothing", "M,NTamd64.10.0.1",
         Architecture::Amd64, ""},
    };
    for (const Choice& c : choices) {
        std::string inf = std::string("[Manufacturer]\r\nA=") + c.manufacturer + "\r\n" + body +
                          "[MX.NTarm64]\r\n\"arm\"=i\r\n";
        Names want;
        if (*c.chosen != '\0')
            want.push_back(c.chosen);
        EXPECT_EQ(modelsOf(inf, windows10(c.architecture)), want) << c.rule;
    }
}

TEST(InfReader, AnEmptyChosenSectionMeansNoModels) {
    const std::string inf =
        "[Manufacturer]\r\nA=M,NTamd64,NTx86\r\n[M.NTamd64]\r\n; none for x64\r\n"
        "[M.NTx86]\r\n\"Old\"=i\r\n[M]\r\n\"Older\"=i\r\n";
    EXPECT_EQ(modelsOf(inf), Names{});
    const inf::Document d = inf::Document::fromBytes(inf, cp950());
    EXPECT_EQ(inf::architecturesWithModels(d, windows10()),
              (std::vector<Architecture>{Architecture::X86, Architecture::Arm64, Architecture::Arm,
                                         Architecture::Ia64}));
    EXPECT_TRUE(inf::declaresAnywhere(d, windows10(), "old"));
    EXPECT_TRUE(inf::declaresAnywhere(d, windows10(), "Older"));
    EXPECT_FALSE(inf::declaresAnywhere(d, windows10(), "Oldest"));
}

TEST(InfReader, NoManufacturerSectionIsToldApart) {
    const inf::Document none =
        inf::Document::fromBytes("[Version]\r\n[Models]\r\n\"P\"=i\r\n", cp950());
    EXPECT_FALSE(inf::readModels(none, windows10()).hasManufacturer);
    const inf::Document empty = inf::Document::fromBytes("[Manufacturer]\r\n", cp950());
    EXPECT_TRUE(inf::readModels(empty, windows10()).hasManufacturer);
    EXPECT_TRUE(inf::readModels(inf::Document::fromBytes("", cp950()), windows10()).models.empty());
}

TEST(InfReader, MakersNameTheSectionChosenForEach) {
    const std::string inf =
        "[Manufacturer]\r\n%A%=MA,NTamd64\r\n\"B Corp\"=MB\r\n[MA.NTamd64]\r\n\"A1\"=i\r\n"
        "[MB]\r\n\"B1\"=i\r\n[Strings]\r\nA=\"Maker A\"\r\n";
    const inf::ModelList list =
        inf::readModels(inf::Document::fromBytes(inf, cp950()), windows10());
    ASSERT_EQ(list.makers.size(), 2u);
    EXPECT_EQ(list.makers[0].name, "Maker A");
    EXPECT_EQ(list.makers[0].chosenSection, "MA.NTamd64");
    EXPECT_EQ(list.makers[1].name, "B Corp");
    EXPECT_EQ(list.makers[1].chosenSection, "MB");
}

TEST(InfDocument, LinesKeepKeysAndFieldsApart) {
    struct LineRow {
        const char* text;
        std::optional<std::string> key;
        Names fields;
    };
    const LineRow rows[] = {
        {"a = b, c ,d", "a", {"b", "c", "d"}},
        {"\"a=b\" = \"c,d\"", "a=b", {"c,d"}},
        {"x, y = z", std::nullopt, {"x", "y = z"}},
        {"k =", "k", {""}},
        {"k = , ,", "k", {"", "", ""}},
        {"\"\"", std::nullopt, {""}},
        {"  lone  ", std::nullopt, {"lone"}},
        {"\"open quote, ends here", std::nullopt, {"open quote, ends here"}},
        {"a\"b\"c = \" x \"", "abc", {" x "}},
    };
    for (const LineRow& r : rows) {
        std::vector<inf::Line> lines = inf::Document(std::string("[S]\r\n") + r.text).lines("s");
        ASSERT_EQ(lines.size(), 1u) << r.text;
        EXPECT_EQ(lines[0].key, r.key) << r.text;
        EXPECT_EQ(lines[0].fields, r.fields) << r.text;
    }
    EXPECT_TRUE(inf::Document("[S]\r\n ; only a comment\r\n\r\n   \r\n").lines("S").empty());
    EXPECT_EQ(inf::Document("before\r\n[A]\r\n[B]x\r\n[ C ] ; c\r\n[D\r\n").sectionNames(),
              (Names{"A", "B", "C"}));
}

TEST(InfDecoration, ParsesEveryField) {
    std::optional<inf::Decoration> d = inf::parseDecoration("NTamd64.10.0.1.0x100.19045");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->architecture, Architecture::Amd64);
    EXPECT_EQ(d->major, 10u);
    EXPECT_EQ(d->minor, 0u);
    EXPECT_EQ(d->productType, 1u);
    EXPECT_EQ(d->suiteMask, 0x100u);
    EXPECT_EQ(d->build, 19045u);
    for (const char* bad :
         {"", "N", "amd64", "NTmips", "NTamd64.x", "NTamd64.1.2.3.4.5.6", "NT.-1"})
        EXPECT_FALSE(inf::parseDecoration(bad)) << bad;
    EXPECT_TRUE(inf::parseDecoration("nt"));
    platform::WindowsTarget server = windows10();
    server.productType = 3;
    EXPECT_FALSE(inf::applies(*d, server));
    EXPECT_TRUE(inf::applies(*d, windows10()));
}

}  // namespace
