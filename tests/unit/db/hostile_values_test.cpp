// Hostile values through every statement builder, run on a real SQLite database: each
// statement must find or store exactly the typed value and change nothing else.
#include "sqlite_peer.h"

#include <gtest/gtest.h>

#include "hostile_values.h"

namespace {

std::string Stored(SqlitePeer& db, const std::string& column, const std::string& clsid) {
    auto rows = db.Rows("SELECT " + column + " FROM redsparrow_users WHERE CLSID='" + clsid + "'");
    return rows.size() == 1 ? rows[0] : "<" + std::to_string(rows.size()) + " rows>";
}

class HostileValueTest : public testing::Test {
protected:
    void SetUp() override {
        db.Exec(
            "CREATE TABLE redsparrow_users (CLSID TEXT PRIMARY KEY, user_id INTEGER, "
            "gui_attribute TEXT, username TEXT, password TEXT, email TEXT, mobnumber TEXT, "
            "user_server_folder TEXT, gpsloc TEXT, User_reg_date TEXT, server_cfg_file TEXT)");
        db.Exec("CREATE TABLE other (a TEXT)");
        db.Exec("INSERT INTO other VALUES ('keep')");
        db.Exec(
            "INSERT INTO redsparrow_users (CLSID, user_id, username, gpsloc) VALUES "
            "('seed', 1, 'seed', 'seed')");
    }

    UserRecord Record(size_t i, const std::string& v) {
        UserRecord u;
        SetUserText(u.CLSID, "h" + std::to_string(i));
        u.user_id = 1000 + i;
        if (!SetUserText(u.username, v)) SetUserText(u.username, "u" + std::to_string(i));
        if (!SetUserText(u.password, v)) SetUserText(u.password, "p");
        u.gpsloc = v;
        u.user_server_folder = v;
        return u;
    }

    SqlitePeer db;
};

TEST_F(HostileValueTest, InsertAndFindUsersKeepTheExactValue) {
    const auto& values = testutil::HostileValues();
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string& v = values[i];
        const std::string id = "h" + std::to_string(i);
        std::string answer;
        ASSERT_TRUE(dbreq::InsertUser(db.Post(), Record(i, v), &answer)) << i << ": " << answer;
        EXPECT_EQ(Stored(db, "gpsloc", id), v) << i;
        EXPECT_EQ(Stored(db, "user_server_folder", id), v) << i;

        std::map<std::string, UserRecord> users;
        ASSERT_TRUE(dbreq::FindUsers(db.Post(), "gpsloc", "=", v, &users)) << i;
        ASSERT_EQ(users.size(), 1u) << i;
        const UserRecord& u = users.begin()->second;
        EXPECT_EQ(UserText(u.CLSID), id) << i;
        EXPECT_EQ(u.gpsloc, v) << i;
        EXPECT_EQ(u.user_server_folder, v) << i;
        if (v.size() < sizeof u.username) {
            EXPECT_EQ(UserText(u.username), v) << i;
        }
    }
    EXPECT_EQ(db.Rows("SELECT COUNT(*) FROM redsparrow_users")[0],
              std::to_string(values.size() + 1));
    EXPECT_EQ(db.Rows("SELECT a FROM other"), std::vector<std::string>{"keep"});
}

TEST_F(HostileValueTest, PageAndCountMatchExactlyTheTypedValue) {
    const auto& values = testutil::HostileValues();
    for (size_t i = 0; i < values.size(); ++i)
        ASSERT_TRUE(dbreq::InsertUser(db.Post(), Record(i, values[i]), nullptr)) << i;
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string& v = values[i];
        for (bool owner : {false, true}) {
            PageRequest page;
            page.table = "redsparrow_users";
            page.rowCount = owner ? 5 : 0;
            if (owner) page.fixed = {"user_id", std::to_string(1000 + i), true};
            page.searchColumn = "gpsloc";
            page.searchOperator = "=";
            page.searchValue = v;
            page.orderColumn = "CLSID";
            page.orderDirection = "DESC";
            std::map<std::string, std::string> rows;
            ASSERT_TRUE(dbreq::LoadTablePage(db.Post(), page, nullptr, &rows)) << i;
            ASSERT_EQ(rows.size(), 1u) << i;
            EXPECT_EQ(rows.begin()->first, "00000001_h" + std::to_string(i)) << i;
            EXPECT_NE(rows.begin()->second.find(";" + v + ";"), std::string::npos) << i;

            CountRequest count{"redsparrow_users", "gpsloc", "text", "=", v, page.fixed};
            EXPECT_EQ(dbreq::CountTableRows(db.Post(), count), 1) << i;
            count.searchType = "integer";  // a non-number is still compared as text
            EXPECT_EQ(dbreq::CountTableRows(db.Post(), count), 1) << i;
        }
    }
    EXPECT_EQ(db.Rows("SELECT COUNT(*) FROM redsparrow_users")[0],
              std::to_string(values.size() + 1));
}

// Bytes that are not UTF-8 could be stored but never come back in a JSON answer, so no
// statement carries them; nothing is sent.
TEST_F(HostileValueTest, ValuesThatAreNotUtf8AreRefused) {
    for (const char* v : {"\xFF\xFE raw", "\xC3", "\xC0\xAF overlong", "\xED\xA0\x80 surrogate",
                          "\xF4\x90\x80\x80 too high", "ok\x80"}) {
        EXPECT_FALSE(dbreq::InsertUser(db.Post(), Record(0, v), nullptr)) << v;
        std::map<std::string, UserRecord> users;
        EXPECT_FALSE(dbreq::FindUsers(db.Post(), "gpsloc", "=", v, &users)) << v;
        PageRequest page;
        page.table = "redsparrow_users";
        page.searchColumn = "gpsloc";
        page.searchOperator = "=";
        page.searchValue = v;
        std::map<std::string, std::string> rows;
        EXPECT_FALSE(dbreq::LoadTablePage(db.Post(), page, nullptr, &rows)) << v;
    }
    EXPECT_TRUE(db.Received().empty());
    EXPECT_EQ(db.Rows("SELECT COUNT(*) FROM redsparrow_users")[0], "1");
}

// The owner value stands unquoted, so only a number is accepted: nothing is sent otherwise.
TEST_F(HostileValueTest, UnquotedOwnerValueMustBeANumber) {
    for (const char* v : {"1 OR 1=1", "1; DELETE FROM redsparrow_users", "1--", "", "0x1"}) {
        PageRequest page;
        page.table = "redsparrow_users";
        page.fixed = {"user_id", v, true};
        std::map<std::string, std::string> rows{{"kept", "row"}};
        EXPECT_FALSE(dbreq::LoadTablePage(db.Post(), page, nullptr, &rows)) << v;
        EXPECT_EQ(rows.size(), 1u) << v;
        EXPECT_EQ(
            dbreq::CountTableRows(db.Post(), {"redsparrow_users", "", "", "", "", page.fixed}), 0)
            << v;
    }
    EXPECT_TRUE(db.Received().empty());
}

}  // namespace
