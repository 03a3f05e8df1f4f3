#include "platform/sim/json.h"

#include <gtest/gtest.h>

namespace {

using sim::json::parse;
using sim::json::Value;

TEST(Json, ParsesAndDumpsKeepingMemberOrder) {
    const char* cases[][2] = {
        {R"({"op":"set","b":1,"a":[true,false,null]})",
         R"({"op":"set","b":1,"a":[true,false,null]})"},
        {R"( { "x" : "a\"b\\c\n\u00e9\ud834\udd1e" } )",
         "{\"x\":\"a\\\"b\\\\c\\n\xC3\xA9\xF0\x9D\x84\x9E\"}"},
        {R"([1.5,-2,0,1e3])", R"([1.5,-2,0,1000])"},
        {R"("請填入")", R"("請填入")"},
        {R"({"t":"\u0001"})", R"({"t":"\u0001"})"},
    };
    for (auto& c : cases)
        EXPECT_EQ(parse(c[0]).dump(), c[1]) << c[0];
}

TEST(Json, RefusesMalformedText) {
    for (const char* bad : {"", "{", "[1,]", "{\"a\" 1}", "tru", "\"open", "01x", "{} {}",
                            "\"\\x\"", "[\"\x01\"]", "1.", "-"}) {
        EXPECT_THROW(parse(bad), sim::json::ParseError) << bad;
    }
    std::string deep(500, '[');
    EXPECT_THROW(parse(deep), sim::json::ParseError);
}

TEST(Json, ObjectsCompareByContentNotOrder) {
    EXPECT_EQ(parse(R"({"a":1,"b":"x"})"), parse(R"({"b":"x","a":1})"));
    EXPECT_FALSE(parse(R"({"a":1})") == parse(R"({"a":1,"b":2})"));
    EXPECT_FALSE(parse("1") == parse("\"1\""));
    Value v = Value::object();
    v.set("k", 1);
    v.set("k", 2);
    EXPECT_EQ(v.dump(), R"({"k":2})");
}

}  // namespace
