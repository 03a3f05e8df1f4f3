#include "profile/copy_name_parts.h"

#include <gtest/gtest.h>

namespace {

using namespace profile;

TEST(NameParts, SplitTheExecutablesBaseName) {
    struct Case {
        const char* exe;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {"安裝.exe", {"安裝"}},
        {"Velmora.EXE", {"Velmora"}},
        {"安裝_10.0.0.7_Office.exe", {"安裝", "10.0.0.7", "Office"}},
        {"安裝_10.0.0.7_HP_Laser.exe", {"安裝", "10.0.0.7", "HP_Laser"}},
        {"SHARE_srv_hp.exe", {"SHARE", "srv", "hp"}},
        {"SHARE.exe", {"SHARE"}},
        {"__.exe", {"", "", ""}},
        {"a_b.exe", {"a", "b"}},
        {"C:\\pkg\\x_1_2.exe", {"x", "1", "2"}},
        {"noext", {"noext"}},
        {"安裝_1.2.3.4_A.eXe", {"安裝", "1.2.3.4", "A"}},
        // Nothing before the suffix: a name, not a program's.
        {".exe", {".exe"}},
        {"x.exe.exe", {"x.exe"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(namePartsOf(c.exe).parts, c.parts) << c.exe;
    NameParts empty = namePartsOf("__.exe");
    EXPECT_FALSE(empty.nonEmpty(1));
    EXPECT_TRUE(empty.at(1));
    EXPECT_FALSE(namePartsOf("安裝.exe").at(1));
}

TEST(NameParts, OnlyACopysNameHasParts) {
    EXPECT_FALSE(namePartsOf("安裝.exe").isCopy());
    EXPECT_TRUE(namePartsOf("安裝_10.0.0.7.exe").isCopy());
    EXPECT_TRUE(namePartsOf("安裝__.exe").isCopy());
}

}  // namespace
