#include "net/json.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using json::jobject;

namespace {

using Entries = jobject::entries_t;

struct Case {
    const char* input;
    const char* error;  // nullptr: parses
    bool array;
    Entries entries;
};

const Case kCases[] = {
    {"{\"a\":\"x\",\"b\":{\"c\":[1, 2]}}",
     nullptr,
     false,
     {{"a", "\"x\""}, {"b", "{\"c\":[1, 2]}"}}},
    {"[1,\"two\",null]", nullptr, true, {{"", "1"}, {"", "\"two\""}, {"", "null"}}},
    {"", nullptr, false, {}},
    {"{}", nullptr, false, {}},
    {" { } ", nullptr, false, {}},
    {"[]", nullptr, true, {}},
    {"{\"a\":1} rest", nullptr, false, {{"a", "1"}}},
    {"\n{ \"k\" : -1.5e+3 ,\t\"t\":true,\"f\":false,\"n\":null }",
     nullptr,
     false,
     {{"k", "-1.5e+3"}, {"t", "true"}, {"f", "false"}, {"n", "null"}}},
    {"{\"a\\\"b\\n\\u00e9\":\"s\\\\ \\u00E9\"}", nullptr, false, {{"a\"b\n", "\"s\\\\ \\u00E9\""}}},
    {"{\"o\":{ \"x\" : [ {\"y\":\"}\"} , 3 ] } }",
     nullptr,
     false,
     {{"o", "{ \"x\" : [ {\"y\":\"}\"} , 3 ] }"}}},
    {"{\"a\":1,\"a\":2}", "Key conflict", false, {}},
    {"{\"\":1}", "Missing key", false, {}},
    {"   ", "Input is not a valid object", false, {}},
    {"\"text\"", "Input is not a valid object", false, {}},
    {"{\"a\":01}", "Input is not a valid object", false, {}},
    {"{\"a\":\"x\\/y\"}", "Input is not a valid object", false, {}},
    {"{\"a\":tru}", "Input is not a valid object", false, {}},
    {"{\"a\":\"unterminated", "Input is not a valid object", false, {}},
    // A comma straight before the closing bracket is let through; with a blank it is not.
    {"{\"a\":1,}", nullptr, false, {{"a", "1"}}},
    {"[1,]", nullptr, true, {{"", "1"}}},
    {"{\"a\":1, }", "Input is not a valid object", false, {}},
    {"{\"a\":1", "Input is not a valid object", false, {}},
    {"{\"a\" 1}", "Input is not a valid object", false, {}},
    {"{1:2}", "Input is not a valid object", false, {}},
    {"[1, ]", "Input is not a valid object", false, {}},
    {"{\"a\":-}", "Input is not a valid object", false, {}},
    {"{\"a\":1.}", "Input is not a valid object", false, {}},
    {"{\"a\":nul}", "Input is not a valid object", false, {}},
    {"{\"a\":{\"b\":1,}}", "Input is not a valid object", false, {}},
    // Inside a nested value, white space ends a member: "1 2" is not the number 12.
    {"{\"a\":[1 2]}", "Input is not a valid object", false, {}},
    {"{\"a\":{\"b\":1 2}}", "Input is not a valid object", false, {}},
    {"{\"a\":1,   ", "Input was only whitespace", false, {}},
};

}  // namespace

TEST(Json, ParseTable) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.input);
        if (c.error) {
            try {
                jobject::parse(c.input);
                ADD_FAILURE() << "parsed";
            } catch (const json::parsing_error& e) {
                EXPECT_STREQ(e.what(), c.error);
            }
            continue;
        }
        jobject o = jobject::parse(c.input);
        EXPECT_EQ(o.is_array(), c.array);
        EXPECT_EQ(o.entries(), c.entries);
    }
}

TEST(Json, DeepNestingIsRejectedNotRecursed) {
    std::string deep = "{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}";
    EXPECT_THROW(jobject::parse(deep), json::parsing_error);
    std::string fine = "{\"a\":" + std::string(50, '[') + std::string(50, ']') + "}";
    EXPECT_EQ(jobject::parse(fine).get("a").size(), 100u);
}

TEST(Json, AccessByKey) {
    jobject o = jobject::parse("{\"version\":\"2.1\",\"n\":3}");
    EXPECT_TRUE(o.has_key("version"));
    EXPECT_FALSE(o.has_key("Version"));
    EXPECT_EQ(o.get("n"), "3");
    const jobject& c = o;
    EXPECT_EQ(std::string(c["version"]), "\"2.1\"");
    o["n"] = "4";
    o["new"] = "null";
    EXPECT_EQ(o.get("n"), "4");
    EXPECT_EQ(o.get("new"), "null");
    try {
        o.get("missing");
        ADD_FAILURE();
    } catch (const json::invalid_key& e) {
        EXPECT_STREQ(e.what(), "missing");
    }
    EXPECT_THROW(c["missing"].as_string(), json::invalid_key);
}

TEST(Json, ArraysHaveNoKeys) {
    jobject a = jobject::parse("[1,\"two\",null]");
    EXPECT_FALSE(a.has_key(""));
    EXPECT_THROW(a.get(""), json::invalid_key);
    EXPECT_THROW(a["x"], json::invalid_key);
    EXPECT_THROW(json::const_proxy(&a, "x"), std::logic_error);
}

TEST(Json, ReaderTellsWhereAValueEnds) {
    struct R {
        const char* text;
        std::size_t taken;  // characters accepted or skipped before the first rejection
        bool valid;
        json::jtype type;
    } cases[] = {
        {"\"a\\u12Fb\"x", 9, true, json::jstring},
        {"-0.5e-7,", 7, true, json::jnumber},
        {"12 ", 2, true, json::jnumber},
        {"false!", 5, true, json::jbool},
        {"nulll", 4, true, json::jnull},
        {"{ \"k\" : [ 1 , {} ] }x", 20, true, json::jobject_type},
        {"[\"a\" \"b\"]", 5, false, json::jarray},
        {"\"a\\x\"", 3, false, json::jstring},
        {"?", 0, false, json::jinvalid},
    };
    for (const R& c : cases) {
        SCOPED_TRACE(c.text);
        json::reader r;
        std::size_t i = 0;
        while (c.text[i] && r.push(c.text[i]) != json::reader::REJECTED) ++i;
        EXPECT_EQ(i, c.taken);
        EXPECT_EQ(r.is_valid(), c.valid);
        EXPECT_EQ(r.type(), c.type);
        r.clear();
        EXPECT_EQ(r.type(), json::jinvalid);
    }
}

TEST(Json, KeyValueReaderJoinsKeyAndValue) {
    json::kvp_reader r;
    for (char ch : std::string(" \"k\" :  [1,2]")) ASSERT_NE(r.push(ch), json::reader::REJECTED);
    EXPECT_TRUE(r.is_valid());
    EXPECT_EQ(r.text(), "\"k\":[1,2]");
    EXPECT_EQ(r.push(','), json::reader::REJECTED);
}
