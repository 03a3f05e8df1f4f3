#include "app/own_address.h"

#include <gtest/gtest.h>

namespace {

using platform::Value;

TEST(OwnAddress, LastAdapterWithAListGivesItsFirstNonEmptyEntry) {
    struct Case {
        const char* what;
        std::vector<Value> adapters;
        const char* expected;
    };
    const Case cases[] = {
        {"no adapter", {}, ""},
        {"no address lists", {Value::null(), Value::null()}, ""},
        {"one IPv4", {Value::strings({"192.168.1.23"})}, "192.168.1.23"},
        {"IPv4 before IPv6", {Value::strings({"192.168.1.23", "fe80::1"})}, "192.168.1.23"},
        {"IPv6 first, as Wine lists",
         {Value::strings({"fd00::2", "fe80::1%4", "192.0.2.2"})},
         "fd00::2"},
        {"the last adapter with a list wins",
         {Value::strings({"10.0.0.1"}), Value::strings({"172.16.0.5"}), Value::null()},
         "172.16.0.5"},
        {"empty entries are passed over",
         {Value::strings({"", "10.1.1.1", "10.2.2.2"})},
         "10.1.1.1"},
        {"all entries empty leaves the last one",
         {Value::strings({"10.0.0.1"}), Value::strings({"", ""})},
         ""},
        {"an empty list keeps the earlier find",
         {Value::strings({"10.0.0.1"}), Value::strings({})},
         "10.0.0.1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(app::pickOwnAddress(c.adapters), c.expected) << c.what;
}

}  // namespace
