#include "platform/win32/registry_path.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/error.h"

namespace platform::win32 {
namespace {

TEST(ParseRegistryPath, SplitsRootKeyAndValueName) {
    struct Case {
        const char* path;
        RegistryPath expected;
    };
    using R = RegistryRoot;
    const std::vector<Case> cases = {
        {"HKEY_CURRENT_USER\\Software\\Velmora\\Flag",
         {R::CurrentUser, "Software\\Velmora", "Flag"}},
        {"HKCU\\Software\\Velmora\\Flag", {R::CurrentUser, "Software\\Velmora", "Flag"}},
        {"hkcu\\Software\\Velmora\\Flag", {R::CurrentUser, "Software\\Velmora", "Flag"}},
        {"HKEY_LOCAL_MACHINE\\SYSTEM\\X\\名稱", {R::LocalMachine, "SYSTEM\\X", "名稱"}},
        {"HKLM\\SYSTEM\\X\\V", {R::LocalMachine, "SYSTEM\\X", "V"}},
        {"HKEY_CLASSES_ROOT\\.inf\\", {R::ClassesRoot, ".inf", ""}},
        {"HKCR\\.inf\\Content Type", {R::ClassesRoot, ".inf", "Content Type"}},
        {"HKEY_USERS\\.DEFAULT\\V", {R::Users, ".DEFAULT", "V"}},
        {"HKEY_CURRENT_CONFIG\\Software\\V", {R::CurrentConfig, "Software", "V"}},
        // A trailing backslash addresses the key's default value.
        {"HKCU\\Software\\Velmora\\", {R::CurrentUser, "Software\\Velmora", ""}},
        {"HKCU\\Name", {R::CurrentUser, "", "Name"}},
        // Slashes belong to names, as the registry allows them there.
        {"HKCU\\Software\\a/b\\c/d", {R::CurrentUser, "Software\\a/b", "c/d"}},
    };
    for (const auto& c : cases) {
        auto parsed = parseRegistryPath(c.path);
        ASSERT_TRUE(parsed.has_value()) << c.path;
        EXPECT_EQ(*parsed, c.expected)
            << c.path << " gave key '" << parsed->subKey << "' value '" << parsed->valueName << "'";
    }
}

TEST(ParseRegistryPath, RejectsUnknownRootsAndEmptyKeyNames) {
    const std::vector<const char*> cases = {
        "",
        "HKCU",
        "HKEY_CURRENT_USERS\\Software\\V",
        "HKXX\\Software\\V",
        "Software\\Velmora\\V",
        "\\HKCU\\Software\\V",
        "HKCU\\\\Software\\V",
        "HKCU\\Software\\\\Velmora\\V",
    };
    for (const char* path : cases)
        EXPECT_FALSE(parseRegistryPath(path).has_value()) << path;
}

TEST(ParseRegistryType, KnowsTheThreeTypesInAnyCase) {
    EXPECT_EQ(parseRegistryType("REG_DWORD"), RegistryType::Dword);
    EXPECT_EQ(parseRegistryType("reg_dword"), RegistryType::Dword);
    EXPECT_EQ(parseRegistryType("REG_SZ"), RegistryType::String);
    EXPECT_EQ(parseRegistryType("REG_EXPAND_SZ"), RegistryType::ExpandString);
    for (const char* other : {"", "REG_BINARY", "REG_QWORD", "REG_MULTI_SZ", "DWORD", "REG_SZ "}) {
        EXPECT_FALSE(parseRegistryType(other).has_value()) << other;
    }
}

TEST(RegistryDword, ReadsDecimalTextIntoThirtyTwoBits) {
    struct Case {
        const char* text;
        std::uint32_t expected;
    };
    const std::vector<Case> cases = {
        {"00000001", 1u},    {"0", 0u},
        {" 42 ", 42u},       {"4294967295", 0xFFFFFFFFu},
        {"-1", 0xFFFFFFFFu}, {"-2147483648", 0x80000000u},
        {"2.5", 2u},  // half to even
        {"3.5", 4u},         {"1e3", 1000u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(registryDword(c.text), c.expected) << c.text;
}

TEST(RegistryDword, RaisesTypeMismatchOrOverflow) {
    struct Case {
        const char* text;
        long long number;
    };
    const std::vector<Case> cases = {
        {"", platform::errors::kTypeMismatch},       {"abc", platform::errors::kTypeMismatch},
        {"0x10", platform::errors::kTypeMismatch},   {"1,000", platform::errors::kTypeMismatch},
        {"4294967296", platform::errors::kOverflow}, {"-2147483649", platform::errors::kOverflow},
        {"1e20", platform::errors::kOverflow},
    };
    for (const auto& c : cases) {
        try {
            registryDword(c.text);
            ADD_FAILURE() << c.text << " raised nothing";
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number(), c.number) << c.text;
        }
    }
}

}  // namespace
}  // namespace platform::win32
