// Hostile values end to end: each goes through InsertUser, FindUsers and the page and count
// builders to the reference web service and must store or find exactly the typed value, with
// nothing else in the database changed.
#include "service_peer.h"

#include "db/mysql_util.h"
#include "db/users_table.h"
#include "hostile_values.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const std::vector<std::string>& kHostile = testutil::HostileValues();

// Rows of the served database read directly, each row's values joined by '|'.
std::vector<std::string> Direct(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::vector<std::string> rows;
    EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            row += (i ? "|" : "") + (t ? std::string(t, sqlite3_column_bytes(st, i)) : "NULL");
        }
        rows.push_back(row);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

TEST(HostileEndToEnd, StoredAndFoundExactly) {
    testutil::TempDir folder;
    dbpeer::ServicePeer service(
        dbpeer::SeededDatabase(VELKOR_BINARY_DIR "/tests/e2e/db/cache", 2000), folder.path());
    dbpeer::WriteClientConfig(folder.path(), service.BaseUrl(), "100");
    const auto before =
        Direct(service.DatabasePath(), "SELECT COUNT(*), SUM(LENGTH(notes)) FROM Velkor_ESP32");
    CUsersTable* users = CUsersTable::GetInstance();
    CMySQLUtil table("redsparrow_users ");
    for (size_t i = 0; i < kHostile.size(); ++i) {
        const std::string& v = kHostile[i];
        const std::string id = "h" + std::to_string(i);
        UserRecord u;
        SetUserText(u.CLSID, id);
        u.user_id = 5000 + i;
        if (!SetUserText(u.username, v)) SetUserText(u.username, "u" + id);
        if (v.size() >= 100 || !SetUserText(u.password, v)) SetUserText(u.password, "p");
        u.gpsloc = v;
        u.user_server_folder = v.size() < 100 ? v : "long " + id;
        std::string answer;
        ASSERT_TRUE(users->InsertUser(u, &answer)) << i << ": " << answer;
        EXPECT_EQ(Direct(service.DatabasePath(),
                         "SELECT gpsloc, user_server_folder FROM redsparrow_users WHERE CLSID='" +
                             id + "'"),
                  std::vector<std::string>{v + "|" + u.user_server_folder})
            << i;

        std::map<std::string, UserRecord> found;
        ASSERT_TRUE(users->FindUsers("gpsloc", "=", v, &found)) << i;
        ASSERT_EQ(found.size(), 1u) << i;
        EXPECT_EQ(UserText(found.begin()->second.CLSID), id) << i;
        EXPECT_EQ(found.begin()->second.gpsloc, v) << i;

        PageRequest page;
        page.table = "redsparrow_users ";
        page.rowCount = 5;
        page.fixed = {"user_id", std::to_string(5000 + i), true};
        page.searchColumn = "user_server_folder";
        page.searchOperator = "=";
        page.searchValue = u.user_server_folder;
        std::map<std::string, std::string> rows;
        ASSERT_TRUE(table.LoadTablePage(page, nullptr, &rows)) << i;
        ASSERT_EQ(rows.size(), 1u) << i;
        EXPECT_EQ(rows.begin()->first, "00000001_" + id) << i;
        CountRequest count{"redsparrow_users ", "gpsloc", "varchar", "=", v, {}};
        EXPECT_EQ(table.CountTableRows(count), 1) << i;
        count.fixed = page.fixed;
        EXPECT_EQ(table.CountTableRows(count), 1) << i;
    }
    EXPECT_EQ(Direct(service.DatabasePath(), "SELECT COUNT(*) FROM redsparrow_users"),
              std::vector<std::string>{std::to_string(kHostile.size() + 1)});
    EXPECT_EQ(
        Direct(service.DatabasePath(), "SELECT COUNT(*), SUM(LENGTH(notes)) FROM Velkor_ESP32"),
        before);
}

}  // namespace
