#include "platform/sim/json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using sim::json::parse;
using sim::json::Value;

TEST(Json, ParsesAndDumpsKeepingMemberOrder) {
    const char* cases[][2] = {
        {R"({"op":"set","b":1,"a":[true,false,null]})",
         R"({"op":"set","b":1,"a":[true,false,null]})"},
        {R"( { "x" : "a\"b\\c\n\u00e9\ud834\udd1e" } )",
         "{\"x\":\"a\\\"b\\\\c\\n\xC3\xA9\xF0\x9D\x84\x9E\"}"},
        {R"([1.5,-2,0,1e3,3.0,-0.25,1e-7,2e20,0.1,123456789.125])",
         R"([1.5,-2,0,1000,3,-0.25,1e-07,2e+20,0.1,123456789.125])"},
        {R"([9007199254740993,-9223372036854775808,9223372036854775807])",
         R"([9007199254740993,-9223372036854775808,9223372036854775807])"},
        {R"("請填入")", R"("請填入")"},
        {R"({"t":"\u0001"})", R"({"t":"\u0001"})"},
        {R"({"a":1,"a":2,"b":3})", R"({"a":2,"b":3})"},  // a repeated key keeps its first place
        {"\xEF\xBB\xBF[1]", "[1]"},                      // a byte-order mark, as Notepad saves
    };
    for (auto& c : cases)
        EXPECT_EQ(parse(c[0]).dump(), c[1]) << c[0];
}

// Transcripts are compared byte for byte: each control character keeps the one escape stored
// transcripts hold, and text that is not UTF-8 never stops a run.
TEST(Json, WritesStringsAsStoredTranscriptsHoldThem) {
    const std::string cases[][2] = {
        {"\b\f", R"("\u0008\u000c")"},
        {"\t\n\r\"\\/", R"("\t\n\r\"\\/")"},
        {std::string("\0\x1f\x7f", 3), "\"\\u0000\\u001f\x7f\""},
        {"\\b\\f", R"("\\b\\f")"},  // backslash and letter, not an escape
        {"安裝😀", "\"安裝😀\""},
        {"a\xFF"
         "b",
         "\"a\xEF\xBF\xBD"
         "b\""},
        {"\xE5\xAE", "\"\xEF\xBF\xBD\""},  // cut off inside a character
    };
    for (const auto& c : cases) {
        Value object = Value::object();
        object.set(c[0], c[0]);
        EXPECT_EQ(Value(c[0]).dump(), c[1]) << c[0];
        EXPECT_EQ(object.dump(), "{" + c[1] + ":" + c[1] + "}") << c[0];
    }
}

TEST(Json, WritesNumbersAsTheTranscriptAlwaysHas) {
    struct Case {
        Value value;
        const char* text;
    };
    const Case cases[] = {
        {Value(3.0), "3"},
        {Value(-0.0), "0"},
        {Value(2.8), "2.8"},
        {Value(0.5), "0.5"},
        {Value(1e15), "1e+15"},
        {Value(std::numeric_limits<long long>::min()), "-9223372036854775808"},
        {Value(4294967295U), "4294967295"},
        {Value(std::nan("")), "null"},
        {Value(std::numeric_limits<double>::infinity()), "null"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value.dump(), c.text) << c.text;
}

TEST(Json, ReadsIntegersWithoutRoundingThem) {
    EXPECT_EQ(parse("9007199254740993").asInteger(), 9007199254740993LL);
    EXPECT_EQ(parse("-5").asInteger(), -5);
    EXPECT_EQ(parse("5.0").asInteger(), 5);
    EXPECT_THROW(parse("5.5").asInteger(), std::runtime_error);
    EXPECT_DOUBLE_EQ(parse("18446744073709551615").asNumber(), 18446744073709551615.0);
}

TEST(Json, RefusesMalformedText) {
    for (const char* bad :
         {"", "{", "[1,]", "{\"a\" 1}", "tru", "\"open", "01x", "{} {}", "\"\\x\"", "[\"\x01\"]",
          "1.", "-", "\"\\ud800\"", "\"\\udc00x\"", "\"a\xFF\"", "\"\xC0\xAF\"", "1e999"}) {
        EXPECT_THROW(parse(bad), sim::json::ParseError) << bad;
    }
    // Nesting is refused past 201 levels, before the reader recurses that deep.
    EXPECT_THROW(parse(std::string(202, '[') + std::string(202, ']')), sim::json::ParseError);
    EXPECT_NO_THROW(parse(std::string(201, '[') + std::string(201, ']')));
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
