// The oracle decides what the main window must show, so its rule is checked before it is trusted.
#include "address_rule.h"
#include "driver.h"

#include <array>

namespace e2e {

namespace {

using List = std::vector<std::wstring>;

struct RuleCase {
    const wchar_t* what;
    std::vector<AddressList> adapters;
    const wchar_t* expected;
};

}  // namespace

int cmd_self_test(const Options&, const Args&) {
    const std::array<RuleCase, 8> cases{{
        {L"no adapters", {}, L""},
        {L"only null lists", {std::nullopt, std::nullopt}, L""},
        {L"IPv6 listed first, as Wine does",
         {List{L"fd00::2", L"fe80::1%4", L"192.0.2.2"}},
         L"fd00::2"},
        {L"IPv4 before IPv6", {List{L"10.0.0.5", L"fe80::5"}}, L"10.0.0.5"},
        {L"the last adapter with a list wins",
         {List{L"10.0.0.1"}, List{L"10.0.0.2"}, std::nullopt},
         L"10.0.0.2"},
        {L"empty entries are skipped",
         {List{L"", L"", L"172.16.0.9", L"172.16.0.10"}},
         L"172.16.0.9"},
        {L"all entries empty leaves the last one", {List{L"10.0.0.1"}, List{L"", L""}}, L""},
        {L"an empty list keeps the previous answer", {List{L"10.0.0.1"}, List{}}, L"10.0.0.1"},
    }};
    int failed = 0;
    for (const auto& c : cases) {
        std::wstring got = own_address(c.adapters);
        if (got != c.expected) {
            print_error(std::wstring(c.what) + L": got \"" + got + L"\", expected \"" + c.expected +
                        L"\"");
            ++failed;
        }
    }
    print_line(std::to_wstring(cases.size() - failed) + L" of " + std::to_wstring(cases.size()) +
               L" rule cases pass");
    return failed ? kFailed : kOk;
}

}  // namespace e2e
