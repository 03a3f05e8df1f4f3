// The simulated machine's file copy, which the copy window relies on: CopyFile's bytes, its
// replacing, and its failures.

#include <gtest/gtest.h>

#include "forms/fake_backend.h"

namespace {

using testing_support::FormsHarness;

TEST(SimCopy, CopiesEveryByteOverAnExistingTargetAndFailsAsWindowsDoes) {
    const std::string installer = std::string("MZ\0\x01\xff", 5) + "body";
    const std::string emoji128 = [] {
        std::string s;
        for (int i = 0; i < 128; ++i)
            s += "😀";
        return s;
    }();
    struct Case {
        const char* what;
        std::string to;
        long long error;          // 0: the copy is made
        std::string madeAs = "";  // the name it is made under, when not `to`
    };
    const Case cases[] = {
        {"new name", "安裝_10.0.0.9_大廳印表機.exe", 0},
        {"existing target replaced", "old.exe", 0},
        {"existing target in other case", "OLD.EXE", 0, "old.exe"},
        {"with the current folder in front", ".\\a_1.2.3.4_b.exe", 0, "a_1.2.3.4_b.exe"},
        {"trailing dots and blanks dropped", "x.exe. .", 0, "x.exe"},
        {"255 characters", std::string(251, 'n') + ".exe", 0},
        {"256 characters", std::string(252, 'n') + ".exe", 52},
        {"256 UTF-16 units", emoji128, 52},
        {"colon", "a:b.exe", 52},
        {"question mark", "a?.exe", 52},
        {"control character", "a\tb.exe", 52},
        {"only dots", "...", 52},
        {"a folder the package lacks", "sub\\a.exe", 76},
        {"hidden target", "hidden.exe", 70},
    };
    for (const Case& c : cases) {
        FormsHarness h;
        h.machine.createFile("安裝.exe").bytes = installer;
        h.machine.createFile("old.exe").bytes = "older";
        sim::SimFile& hidden = h.machine.createFile("hidden.exe");
        hidden.bytes = "kept";
        hidden.hidden = true;
        const std::size_t before = h.machine.files().size();
        long long number = 0;
        try {
            h.files.copy("安裝.exe", c.to);
        } catch (const platform::Error& e) {
            number = e.number();
            ASSERT_TRUE(e.call()) << c.what;
            EXPECT_NE(e.call()->find("file.copy"), std::string::npos) << c.what;
        }
        EXPECT_EQ(number, c.error) << c.what;
        const std::string made = c.madeAs.empty() ? c.to : c.madeAs;
        if (c.error != 0) {
            EXPECT_EQ(h.machine.files().size(), before) << c.what;
            EXPECT_EQ(h.machine.file("hidden.exe")->bytes, "kept") << c.what;
            continue;
        }
        ASSERT_NE(h.machine.file(made), nullptr) << c.what;
        EXPECT_EQ(h.machine.file(made)->name, made) << c.what;
        EXPECT_EQ(h.machine.file(made)->bytes, installer) << c.what;
        EXPECT_EQ(h.machine.file("安裝.exe")->bytes, installer) << c.what;
    }
}

TEST(SimCopy, AMissingSourceIsFileNotFoundAndAFaultIsATargetInUse) {
    FormsHarness h;
    try {
        h.files.copy("安裝.exe", "a_1.2.3.4_b.exe");
        FAIL() << "copied a missing file";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.description(), "找不到檔案");
    }
    h.machine.createFile("安裝.exe").bytes = "MZ";
    sim::Fault inUse;
    inUse.match = sim::json::parse(R"({"op":"file.copy","to":"a_1.2.3.4_b.exe"})");
    h.machine.faults.push_back(inUse);
    try {
        h.files.copy("安裝.exe", "a_1.2.3.4_b.exe");
        FAIL() << "copied over a target in use";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 70);
        EXPECT_EQ(e.description(), "沒有使用權限");
    }
    EXPECT_EQ(h.machine.file("a_1.2.3.4_b.exe"), nullptr);
    h.files.copy("安裝.exe", "other.exe");
    EXPECT_EQ(h.machine.file("other.exe")->bytes, "MZ");
}

}  // namespace
