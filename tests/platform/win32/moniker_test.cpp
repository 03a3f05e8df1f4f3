#include "platform/win32/moniker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform::win32 {
namespace {

Moniker make(std::string server, std::string ns, std::string object = {}, std::string level = {}) {
    Moniker m;
    m.server = std::move(server);
    m.namespacePath = std::move(ns);
    m.objectPath = std::move(object);
    m.impersonationLevel = std::move(level);
    return m;
}

TEST(ParseMoniker, AcceptsTheFormsTheProgramAndScriptsUse) {
    struct Case {
        const char* text;
        Moniker expected;
    };
    const std::vector<Case> cases = {
        {"winmgmts:", make(".", "root\\cimv2")},
        {"WinMgmts:", make(".", "root\\cimv2")},
        {"winmgmts:\\\\.\\root\\cimv2", make(".", "root\\cimv2")},
        {"winmgmts:\\\\.\\root\\CIMV2", make(".", "root\\CIMV2")},
        {"winmgmts://./root/cimv2", make(".", "root\\cimv2")},
        {"winmgmts:\\\\.", make(".", "root\\cimv2")},
        {"winmgmts:\\\\PC-01\\root\\cimv2", make("PC-01", "root\\cimv2")},
        {"winmgmts:{impersonationLevel=impersonate}!\\\\.\\root\\cimv2",
         make(".", "root\\cimv2", "", "impersonate")},
        {"winmgmts:{ ImpersonationLevel = Impersonate }",
         make(".", "root\\cimv2", "", "impersonate")},
        {"winmgmts:{impersonationLevel=identify}!root\\default",
         make(".", "root\\default", "", "identify")},
        {"winmgmts:root\\default:StdRegProv", make(".", "root\\default", "StdRegProv")},
        {"winmgmts:\\\\.\\root\\default:StdRegProv", make(".", "root\\default", "StdRegProv")},
        {"winmgmts:root", make(".", "root")},
        // Not under root: an object path in the default namespace, keys and all.
        {"winmgmts:Win32_Service.Name='Spooler'",
         make(".", "root\\cimv2", "Win32_Service.Name='Spooler'")},
        {"winmgmts:Win32_Directory.Name='c:\\\\'",
         make(".", "root\\cimv2", "Win32_Directory.Name='c:\\\\'")},
        {"winmgmts:\\\\.\\root\\cimv2:Win32_Directory.Name='c:\\\\'",
         make(".", "root\\cimv2", "Win32_Directory.Name='c:\\\\'")},
    };
    for (const auto& c : cases) {
        auto parsed = parseMoniker(c.text);
        ASSERT_TRUE(parsed.has_value()) << c.text;
        EXPECT_EQ(*parsed, c.expected)
            << c.text << " gave " << parsed->server << " | " << parsed->namespacePath << " | "
            << parsed->objectPath << " | " << parsed->impersonationLevel;
    }
}

TEST(ParseMoniker, RejectsWhatIsNoMonikerOrUsesSettingsItCannotHonour) {
    const std::vector<const char*> cases = {
        "",
        "winmgmts",
        "winmgmt:",
        " winmgmts:",
        "GetObject(winmgmts:)",
        "winmgmts:{impersonationLevel=impersonate",              // unterminated settings
        "winmgmts:{impersonationLevel=impersonate}\\\\.\\root",  // '!' missing
        "winmgmts:{impersonationLevel=impersonate}!",            // '!' with nothing after it
        "winmgmts:{impersonationLevel=sideways}",
        "winmgmts:{authenticationLevel=pktPrivacy}",
        "winmgmts:{}",
        "winmgmts:root\\\\cimv2",  // empty namespace segment
        "winmgmts:root\\cimv2\\",  // trailing separator
        "winmgmts:root\\ci mv2",
        "winmgmts:root\\default:",     // object separator with no object
        "winmgmts:\\\\\\root\\cimv2",  // empty server
        "winmgmts:\\\\.\\",
        "winmgmts:\\\\.:StdRegProv",
    };
    for (const char* text : cases)
        EXPECT_FALSE(parseMoniker(text).has_value()) << text;
}

TEST(ServerNamespace, IsWhatConnectServerTakes) {
    EXPECT_EQ(serverNamespace(*parseMoniker("winmgmts:")), "\\\\.\\root\\cimv2");
    EXPECT_EQ(serverNamespace(*parseMoniker("winmgmts:root\\default:StdRegProv")),
              "\\\\.\\root\\default");
    EXPECT_EQ(serverNamespace(*parseMoniker("winmgmts://host/root/CIMV2")),
              "\\\\host\\root\\CIMV2");
}

TEST(ObjectPath, NamesItsClassAndWhetherItIsOne) {
    struct Case {
        const char* path;
        const char* className;
        bool isClass;
    };
    const std::vector<Case> cases = {
        {"StdRegProv", "StdRegProv", true},
        {"Win32_Service", "Win32_Service", true},
        {"Win32_Service.Name=\"Spooler\"", "Win32_Service", false},
        {"Win32_Directory.Name=\"c:\\\\x.y\"", "Win32_Directory", false},
        {"\\\\.\\root\\cimv2:Win32_Service.Name=\"Spooler\"", "Win32_Service", false},
        {"\\\\.\\root\\cimv2:Win32_Service", "Win32_Service", true},
        {"Win32_WMISetting=@", "Win32_WMISetting", false},
        {"Win32_TCPIPPrinterPort.Name=\"IP_192.0.2.9\"", "Win32_TCPIPPrinterPort", false},
        {"", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(objectPathClass(c.path), c.className) << c.path;
        EXPECT_EQ(objectPathNamesClass(c.path), c.isClass) << c.path;
    }
}

}  // namespace
}  // namespace platform::win32
