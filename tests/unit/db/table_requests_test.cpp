#include "sqlite_peer.h"

#include "db/request_record.h"

#include <gtest/gtest.h>

namespace {

// A transport that records the bodies and answers from a script.
struct Scripted {
    std::vector<std::pair<bool, std::string>> answers;
    std::vector<AutCodeUser> sent;
    db::PostFn Post() {
        return [this](const std::string& body, std::string* answer) {
            AutCodeUser r;
            EXPECT_TRUE(db::DeserializeRequest(body, r));
            sent.push_back(r);
            auto [ok, text] = answers.at(sent.size() - 1);
            *answer = text;
            return ok;
        };
    }
};

TEST(Requests, KindAndTextOfEachCommand) {
    Scripted s;
    s.answers = {{true, R"({"AUTOCODE":[]})"},
                 {true, R"({"AUTOCODE":[]})"},
                 {true, R"({"AUTOCODE":{"total":"3"}})"},
                 {true, "{}"},
                 {true, R"({"AUTOCODE":[{"name":"a"}]})"}};
    EXPECT_EQ(db::Query(s.Post(), "select * from T", 10, 20), R"({"AUTOCODE":[]})");
    EXPECT_EQ(db::Query(s.Post(), "select * from T", 10, 0), R"({"AUTOCODE":[]})");
    EXPECT_EQ(db::GetRowCount(s.Post(), "SELECT COUNT(*) as total FROM T"), 3u);
    std::string answer;
    EXPECT_TRUE(db::Execute(s.Post(), "UPDATE T SET a='b'", &answer));
    FieldList fields;
    EXPECT_TRUE(db::GetTableInfo(s.Post(), "redsparrow_users ", fields));
    const std::pair<const char*, const char*> expected[] = {
        {"QUERY", "select * from T LIMIT 10, 20 "},
        {"QUERY", "select * from T"},
        {"COUNT", "SELECT COUNT(*) as total FROM T"},
        {"INSERT", "UPDATE T SET a='b'"},
        {"TABLEINFO", "redsparrow_users "}};
    ASSERT_EQ(s.sent.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(s.sent[i].m_strCmd, "SQL_FIND");
        EXPECT_EQ(s.sent[i].m_strFindType, expected[i].first);
        EXPECT_EQ(s.sent[i].m_strFindSqlQuery, expected[i].second);
        EXPECT_EQ(s.sent[i].m_strRowEnd, "50");
    }
}

TEST(Requests, FailuresGiveEmptyZeroFalse) {
    Scripted s;
    s.answers = {{false, "timeout"}, {false, "timeout"}, {false, "Server down\r\n"},
                 {false, "timeout"}, {false, "timeout"}, {true, "not json"}};
    EXPECT_EQ(db::Query(s.Post(), "select 1", 0, 0), "");
    EXPECT_EQ(db::GetRowCount(s.Post(), "select 1"), 0u);
    std::string answer;
    EXPECT_FALSE(db::Execute(s.Post(), "select 1", &answer));
    EXPECT_EQ(answer, "Server down\r\n");
    FieldList fields;
    EXPECT_FALSE(db::GetTableInfo(s.Post(), "T", fields));
    std::map<std::string, UserRecord> users;
    EXPECT_FALSE(db::FindUsers(s.Post(), "user_id", "=", "1", &users));
    // A page whose answer cannot be read is a failed page: the rows shown stay.
    std::map<std::string, std::string> rows{{"00000001_1", "shown;"}};
    PageRequest page;
    page.table = "T";
    EXPECT_FALSE(db::LoadTablePage(s.Post(), page, nullptr, &rows));
    EXPECT_EQ(rows.size(), 1u);
}

// A table past 2^31 - 1 rows: its total reaches the pager whole, not as 0 or a negative.
TEST(Requests, CountAboveTheSignedRangeReachesTheCaller) {
    Scripted s;
    s.answers = {{true, R"({"AUTOCODE":{"total":"3000000000"}})"},
                 {true, R"({"AUTOCODE":{"total":"4294967295"}})"}};
    CountRequest count{"T", "None", "", "None", "", {}};
    // Held wider than the result, so a signed result type would show as a wrong number.
    const std::int64_t counted = db::CountTableRows(s.Post(), count);
    const std::int64_t read = db::GetRowCount(s.Post(), "SELECT COUNT(*) as total FROM T");
    EXPECT_EQ(counted, 3000000000);
    EXPECT_EQ(read, 4294967295);
}

TEST(Requests, InsertUserNeedsSuccessAndJson) {
    Scripted s;
    s.answers = {{false, "timeout"}, {false, R"({"looks":"like json"})"}, {true, "{}"}};
    std::string answer;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(db::InsertUser(s.Post(), UserRecord{}, &answer));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("JSON parsing error: "),
              std::string::npos);
    EXPECT_EQ(answer, "timeout");
    EXPECT_FALSE(db::InsertUser(s.Post(), UserRecord{}, &answer));
    EXPECT_TRUE(db::InsertUser(s.Post(), UserRecord{}, nullptr));
}

TEST(Requests, PageThroughSqliteWithColumnsAndOwner) {
    SqlitePeer db;
    db.Exec("CREATE TABLE Velkor_ESP32 (CLSID TEXT, user_id INTEGER, a TEXT, b TEXT)");
    for (int i = 0; i < 30; ++i)
        db.Exec("INSERT INTO Velkor_ESP32 VALUES ('r" + std::to_string(i) + "', " +
                std::to_string(i % 2) + ", 'a" + std::to_string(i) + "', 'b')");
    std::map<int, std::string> columns{{0, "a"}};
    std::map<std::string, std::string> rows;
    PageRequest page;
    page.table = "Velkor_ESP32";
    page.columns = &columns;
    page.rowStart = 5;
    page.rowCount = 3;
    page.fixed = {"user_id", "1", true};
    page.orderColumn = "a";
    page.orderDirection = "ASC";
    ASSERT_TRUE(db::LoadTablePage(db.Post(), page, &columns, &rows));
    EXPECT_EQ(db.Received().back(),
              "select clsid , a  from Velkor_ESP32 where user_id=1  "
              "ORDER BY a ASC  LIMIT 5, 3 ");
    // Odd ids sorted as text: a1 a11 a13 a15 a17 a19 a21 a23 ...
    EXPECT_EQ(rows,
              (std::map<std::string, std::string>{
                  {"00000001_r19", "a19;"}, {"00000002_r21", "a21;"}, {"00000003_r23", "a23;"}}));
    EXPECT_EQ(columns, (std::map<int, std::string>{{0, "a"}}));
    CountRequest count{"Velkor_ESP32", "None", "", "None", "", page.fixed};
    EXPECT_EQ(db::CountTableRows(db.Post(), count), 15u);
}

}  // namespace
