#include "db/answer_reader.h"

#include <gtest/gtest.h>

#include "db/json_tree.h"
#include "db/user_record.h"

namespace {

TEST(UpdateTableData, RowKeysRowTextsAndColumnsByPosition) {
    const std::string answer =
        R"({"AUTOCODE":[{"CLSID":"5","a":"1","b":"2"},{"clsid":"9","a":"3","b":"4;x"}]})";
    std::map<int, std::string> columns;
    std::map<std::string, std::string> rows{{"stale", "row"}};
    ASSERT_TRUE(UpdateTableData(answer, &columns, &rows));
    EXPECT_EQ(rows, (std::map<std::string, std::string>{{"00000001_5", "1;2;"},
                                                        {"00000002_9", "3;4;x;"}}));
    EXPECT_EQ(columns, (std::map<int, std::string>{{0, "a"}, {1, "b"}}));
}

TEST(UpdateTableData, RowsWithoutRecordIdShareTheEmptyKey) {
    std::map<std::string, std::string> rows;
    ASSERT_TRUE(UpdateTableData(R"({"AUTOCODE":[{"a":"1"},{"CLSID":"7","a":"2"},{"a":"3"}]})",
                                nullptr, &rows));
    EXPECT_EQ(rows, (std::map<std::string, std::string>{{"", "3;"}, {"00000001_7", "2;"}}));
}

TEST(UpdateTableData, MalformedAnswersKeepWhatWasRead) {
    std::map<std::string, std::string> rows;
    EXPECT_FALSE(UpdateTableData("timeout", nullptr, &rows));
    EXPECT_TRUE(rows.empty());
    EXPECT_FALSE(UpdateTableData(R"({"rows":[]})", nullptr, &rows));
    EXPECT_TRUE(UpdateTableData(R"({"AUTOCODE":[]})", nullptr, &rows));
    EXPECT_TRUE(rows.empty());
}

TEST(ReadTableInfo, ColumnsKeyFlagAndFaults) {
    const std::string answer = R"({"AUTOCODE":[
        {"name":"CLSID","max_length":"256","type":"varchar","default":"null","primary_key":"0"},
        {"name":"user_id","max_length":"20","type":"integer","default":"0","primary_key":"1",
         "extra":"ignored"}]})";
    FieldList fields;
    ASSERT_TRUE(db::ReadTableInfo(answer, fields));
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].name, "CLSID");
    EXPECT_EQ(fields[0].max_length, 256);
    EXPECT_TRUE(fields[0].primaryKey);
    EXPECT_TRUE(fields[0].defaultIsNull);
    EXPECT_EQ(fields[1].type, "integer");
    EXPECT_FALSE(fields[1].primaryKey);
    EXPECT_FALSE(fields[1].defaultIsNull);
    EXPECT_EQ(fields[1].index, 1);
    EXPECT_TRUE(fields[1].value.empty());

    // The list is appended to; a key flag that is not an integer fails the rest.
    ASSERT_FALSE(db::ReadTableInfo(
        R"({"AUTOCODE":[{"name":"c","primary_key":"1"},{"name":"d","primary_key":"yes"}]})",
        fields));
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[2].name, "c");
    EXPECT_EQ(fields[2].index, 2);
    EXPECT_FALSE(db::ReadTableInfo("<html>", fields));
}

// The total is an unsigned 32-bit number: all of its range reads back, nothing outside it.
TEST(ReadRowCount, TotalOrZero) {
    const struct {
        const char* answer;
        std::uint32_t total;
    } cases[] = {
        {R"({"AUTOCODE":{"total":"100000"}})", 100000},
        {R"({"AUTOCODE":{"total":12}})", 12},
        {R"({"AUTOCODE":{"total":"0"}})", 0},
        {R"({"AUTOCODE":{"total":"2147483647"}})", 2147483647u},
        {R"({"AUTOCODE":{"total":"2147483648"}})", 2147483648u},
        {R"({"AUTOCODE":{"total":3000000000}})", 3000000000u},
        {R"({"AUTOCODE":{"total":"4294967295"}})", 4294967295u},
        {R"({"AUTOCODE":{"total":"4294967296"}})", 0},
        {R"({"AUTOCODE":{"total":"99999999999999999999"}})", 0},
        {R"({"AUTOCODE":{"total":"-1"}})", 0},
        {R"({"AUTOCODE":{"total":"+5"}})", 0},
        {R"({"AUTOCODE":{"total":"5.0"}})", 0},
        {R"({"AUTOCODE":{"total":""}})", 0},
        {R"({"AUTOCODE":[{"total":"5"}]})", 0},
        {R"({"AUTOCODE":{"total":"many"}})", 0},
        {R"({"AUTOCODE":{}})", 0},
        {"Known Error From Remote Server!", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(db::ReadRowCount(c.answer), c.total) << c.answer;
}

// Columns of equal length all stay, in table order; the record id is left out.
TEST(ColumnNames, KeyedByPosition) {
    FieldList fields(4);
    const char* names[] = {"a", "CLSID", "b", "c"};
    for (int i = 0; i < 4; ++i) {
        fields[i].name = names[i];
        fields[i].max_length = 40;
    }
    std::map<int, std::string> out;
    db::ColumnNamesByPosition(fields, out);
    EXPECT_EQ(out, (std::map<int, std::string>{{0, "a"}, {1, "b"}, {2, "c"}}));
}

}  // namespace

namespace {

// An answer whose "AUTOCODE" holds one row nested `depth` levels deep (arrays and objects in
// turn), with brackets inside a string that must not count.
std::string Nested(int depth) {
    std::string open, close;
    for (int i = 0; i < depth - 3; ++i) {
        open += i % 2 ? R"({"k":)" : "[";
        close.insert(0, i % 2 ? "}" : "]");
    }
    return R"({"AUTOCODE":[{"CLSID":"1","a":")" + std::string(500, '[') + R"(","n":)" + open + "0" +
           close + "}]}";
}

}  // namespace

// Every reader of the service's answers refuses one nested past the limit (the JSON reader
// would run the stack out on it) and still reads one nested as deep as the limit.
TEST(AnswerReaders, DeepNestingIsRefusedNotACrash) {
    const std::string deep = std::string(200000, '[') + std::string(200000, ']');
    const std::string deepObjects = [] {
        std::string s;
        for (int i = 0; i < 100000; ++i) s += R"({"a":)";
        return s;
    }();
    for (const std::string& answer : {deep, deepObjects, Nested(db::kMaxJsonNesting + 1)}) {
        FieldList fields;
        std::map<std::string, std::string> rows;
        std::map<std::string, UserRecord> users;
        EXPECT_FALSE(db::ReadTableInfo(answer, fields));
        EXPECT_EQ(db::ReadRowCount(answer), 0u);
        EXPECT_FALSE(UpdateTableData(answer, nullptr, &rows));
        EXPECT_FALSE(db::ReadUserRows(answer, users));
        EXPECT_FALSE(db::ReadInsertAnswer(answer));
    }
    std::map<std::string, std::string> rows;
    EXPECT_TRUE(UpdateTableData(Nested(db::kMaxJsonNesting), nullptr, &rows));
    EXPECT_TRUE(db::ReadInsertAnswer(Nested(db::kMaxJsonNesting)));
}
