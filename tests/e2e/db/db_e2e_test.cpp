// The table layer against the reference web service on loopback, through the program's own
// HTTP client. One service per test process; the user table object is process-wide, so every
// test of this program talks to the same service.
#include "service_peer.h"

#include "db/mysql_util.h"
#include "db/users_table.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

class TableService : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new testutil::TempDir();
        const std::string seeded =
            dbpeer::SeededDatabase(VELKOR_BINARY_DIR "/tests/e2e/db/cache", 100000);
        service = new dbpeer::ServicePeer(seeded, folder->path());
        dbpeer::WriteClientConfig(folder->path(), service->BaseUrl(), "100");
    }
    static void TearDownTestSuite() {
        delete service;
        delete folder;
    }

    static testutil::TempDir* folder;
    static dbpeer::ServicePeer* service;
};

testutil::TempDir* TableService::folder = nullptr;
dbpeer::ServicePeer* TableService::service = nullptr;

const FieldInfo* Field(const FieldList& fields, const std::string& name) {
    auto it = std::find_if(fields.begin(), fields.end(),
                           [&](const FieldInfo& f) { return f.name == name; });
    return it == fields.end() ? nullptr : &*it;
}

TEST_F(TableService, TableInfoOfTheThreeTables) {
    struct Expect {
        const char* table;
        size_t columns;
        const char* column;
        int length;
    };
    const Expect tables[] = {{"redsparrow_users ", 11, "username", 40},
                             {"Velkor_ESP32", 10, "serial_number", 32},
                             {"Mqtt_device ", 6, "mac_address", 17}};
    for (const auto& t : tables) {
        CMySQLUtil table(t.table);
        const FieldList& fields = table.Fields();
        ASSERT_EQ(fields.size(), t.columns) << t.table;
        const FieldInfo* clsid = Field(fields, "CLSID");
        ASSERT_TRUE(clsid) << t.table;
        EXPECT_TRUE(clsid->primaryKey) << t.table;
        EXPECT_EQ(std::count_if(fields.begin(), fields.end(),
                                [](const FieldInfo& f) { return f.primaryKey; }),
                  1)
            << t.table;
        ASSERT_TRUE(Field(fields, t.column)) << t.table;
        EXPECT_EQ(Field(fields, t.column)->max_length, t.length) << t.table;
        EXPECT_EQ(Field(fields, "user_id")->type, "int") << t.table;
        for (size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(fields[i].index, int(i));
    }
    CMySQLUtil users("redsparrow_users ");
    EXPECT_TRUE(Field(users.Fields(), "gpsloc")->defaultIsNull);
    EXPECT_FALSE(Field(users.Fields(), "username")->defaultIsNull);
    std::map<int, std::string> names;
    ASSERT_TRUE(users.GetColumnNames("redsparrow_users ", names));
    EXPECT_EQ(names.size(), 10u);  // every column but CLSID, equal lengths included
    EXPECT_EQ(names.at(0), "user_id");
}

// One browser page: owner filter, search, order and window, and its count.
TEST_F(TableService, PageAndCountOfTheOwnersRows) {
    CMySQLUtil devices("Velkor_ESP32");
    std::map<int, std::string> columns{{0, "serial_number"}, {1, "firmware_version"}};
    std::map<std::string, std::string> rows;
    PageRequest page;
    page.table = "Velkor_ESP32";
    page.rowStart = 20;
    page.rowCount = 10;
    page.columns = &columns;
    page.fixed = {"user_id", "1001", true};
    page.searchColumn = "firmware_version";
    page.searchOperator = " LIKE ";
    page.searchValue = "1.2.3%";
    page.orderColumn = "serial_number";
    page.orderDirection = "DESC";
    ASSERT_TRUE(devices.LoadTablePage(page, &columns, &rows));
    ASSERT_EQ(rows.size(), 10u);
    int n = 99993 - 10 * 20;  // serials ending in 3, newest first, after the first 20
    int position = 1;
    for (const auto& [key, text] : rows) {
        char expectKey[16], expectText[64];
        std::snprintf(expectKey, sizeof expectKey, "%08d_", position++);
        std::snprintf(expectText, sizeof expectText, "VK%08d;1.2.3-2025;", n);
        EXPECT_EQ(key.substr(0, 9), expectKey);
        EXPECT_EQ(key.size(), 9u + 36u) << key;  // a UUID record id
        EXPECT_EQ(text, expectText);
        n -= 10;
    }
    CountRequest count{"Velkor_ESP32", "firmware_version", "varchar",
                       " LIKE ",       "1.2.3%",           page.fixed};
    EXPECT_EQ(devices.CountTableRows(count), 10000u);
    count.fixed = {};
    EXPECT_EQ(devices.CountTableRows(count), 10100u);  // the other owner's rows too
    EXPECT_EQ(devices.CountAll(), 101000u);
    // No window: every row of the owner's search.
    page.rowCount = 0;
    page.searchValue = "1.2.3-2025";
    page.searchOperator = "=";
    ASSERT_TRUE(devices.LoadTablePage(page, &columns, &rows));
    EXPECT_EQ(rows.size(), 10000u);
}

TEST_F(TableService, InsertedUserIsFoundAgain) {
    UserRecord u;
    db::SetUserText(u.CLSID, "e2e-user-1");
    u.user_id = 4242;
    db::SetUserText(u.username, "o'brien");
    db::SetUserText(u.password, "s3cr\\t");
    db::SetUserText(u.email, "ob@example.org");
    db::SetUserText(u.mobnumber, "+49 555");
    u.user_server_folder = "http://127.0.0.1/ob";
    u.gpsloc = "52.5,13.4";
    db::SetUserText(u.User_reg_date, "2026-12-10 11:00:00");
    db::SetUserText(u.server_cfg_file, "ob.cfg");
    std::string answer;
    ASSERT_TRUE(CUsersTable::GetInstance()->InsertUser(u, &answer)) << answer;
    EXPECT_NE(answer.find("rows_changed"), std::string::npos);
    std::map<std::string, UserRecord> found;
    ASSERT_TRUE(CUsersTable::GetInstance()->FindUsers("user_id", "=", "4242", &found));
    ASSERT_EQ(found.size(), 1u);
    const UserRecord& back = found.at(" 00000001 ");
    EXPECT_STREQ(back.CLSID, "e2e-user-1");
    EXPECT_STREQ(back.username, "o'brien");
    EXPECT_STREQ(back.password, "s3cr\\t");
    EXPECT_EQ(back.user_server_folder, "http://127.0.0.1/ob");
    EXPECT_EQ(back.gpsloc, "52.5,13.4");
    EXPECT_STREQ(back.server_cfg_file, "ob.cfg");
    // The seeded account, found by name.
    found.clear();
    ASSERT_TRUE(CUsersTable::GetInstance()->FindUsers("username", "=", "ann", &found));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.begin()->second.user_id, 1001u);
}

TEST_F(TableService, ErrorPageTextReachesExecute) {
    CMySQLUtil users("redsparrow_users ");
    std::string answer;
    EXPECT_FALSE(users.Execute("DROP TABLE redsparrow_users", &answer));
    EXPECT_EQ(answer.rfind("Request refused\r\n", 0), 0u) << answer;
    EXPECT_EQ(answer.substr(answer.size() - 2), "\r\n");
    std::map<std::string, UserRecord> found;
    EXPECT_TRUE(CUsersTable::GetInstance()->FindUsers("username", "=", "ann", &found));
    EXPECT_EQ(found.size(), 1u);  // the table is still there
}

// A "user_id" that is not a number fails the whole answer.
TEST_F(TableService, NonNumericUserIdFailsFindUsers) {
    CMySQLUtil users("redsparrow_users ");
    std::string answer;
    ASSERT_TRUE(
        users.Execute(" INSERT INTO redsparrow_users( CLSID, user_id, username) "
                      "values( 'abc-row','abc','abc')",
                      &answer))
        << answer;
    std::map<std::string, UserRecord> found;
    EXPECT_FALSE(CUsersTable::GetInstance()->FindUsers("username", "=", "abc", &found));
    EXPECT_TRUE(found.empty());
}

}  // namespace
