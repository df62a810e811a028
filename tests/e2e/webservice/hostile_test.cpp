// Hostile requests: every one is refused with the error page and leaves the database as it was.
#include <gtest/gtest.h>

#include <string>

#include "db/table_requests.h"
#include "service_fixture.h"

namespace {

struct Hostile {
    const char* what;
    const char* kind;
    std::string text;  // SQL text, or the raw body when kind is empty
};

std::string Body(const Hostile& h) {
    return *h.kind ? dbreq::RequestBody(h.kind, h.text) : h.text;
}

const std::string kRecord = dbreq::RequestBody("QUERY", "select * from Velkor_ESP32");

const Hostile kHostile[] = {
    {"stacked drop", "QUERY", "select * from Velkor_ESP32; DROP TABLE Velkor_ESP32"},
    {"stacked delete", "QUERY", "select * from Velkor_ESP32 ;DELETE FROM Velkor_ESP32;"},
    {"stacked after insert", "INSERT",
     "INSERT INTO Velkor_ESP32 (CLSID) VALUES ('evil'); DELETE FROM Velkor_ESP32"},
    {"attach", "QUERY", "ATTACH DATABASE '/tmp/velkor-evil.db' AS evil"},
    {"attach as insert", "INSERT", "ATTACH DATABASE '/tmp/velkor-evil.db' AS evil"},
    {"drop", "INSERT", "DROP TABLE Velkor_ESP32"},
    {"create", "INSERT", "CREATE TABLE evil (x)"},
    {"alter", "INSERT", "ALTER TABLE Velkor_ESP32 ADD COLUMN evil text"},
    {"pragma", "QUERY", "PRAGMA writable_schema=1"},
    {"pragma function", "QUERY", "select * from pragma_table_info('Velkor_ESP32')"},
    {"delete as query", "QUERY", "DELETE FROM Velkor_ESP32"},
    {"delete as insert", "INSERT", "DELETE FROM Velkor_ESP32 where user_id=7"},
    {"sqlite_master", "QUERY", "select * from sqlite_master"},
    {"sqlite_schema in subquery", "QUERY",
     "select * from Velkor_ESP32 where CLSID in (select name from sqlite_schema)"},
    {"schema copied by insert", "INSERT",
     "INSERT INTO Velkor_ESP32 (CLSID, notes) SELECT name, sql FROM sqlite_master"},
    {"write into sqlite_master", "INSERT",
     "INSERT INTO sqlite_master VALUES ('table','x','x',0,'CREATE TABLE x(a)')"},
    {"insert as query", "QUERY", "INSERT INTO Velkor_ESP32 (CLSID) VALUES ('evil')"},
    {"select as insert", "INSERT", "SELECT * FROM Velkor_ESP32"},
    {"replace", "INSERT", "REPLACE INTO Velkor_ESP32 (CLSID) SELECT CLSID FROM Velkor_ESP32"},
    {"insert or replace", "INSERT",
     "INSERT OR REPLACE INTO Velkor_ESP32 (CLSID) SELECT CLSID FROM Velkor_ESP32"},
    {"rewrite passwords", "INSERT", "UPDATE redsparrow_users SET password='owned'"},
    {"vacuum into", "INSERT", "VACUUM INTO '/tmp/velkor-copy.db'"},
    {"transaction", "INSERT", "BEGIN; DELETE FROM Velkor_ESP32; COMMIT"},
    {"extension", "QUERY", "select load_extension('/tmp/evil.so')"},
    {"recursive bomb", "QUERY",
     "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) SELECT count(*) FROM c"},
    {"endless join", "QUERY",
     "select count(*) as total from Velkor_ESP32 a, Velkor_ESP32 b, Velkor_ESP32 c, "
     "Velkor_ESP32 d, Velkor_ESP32 e, Velkor_ESP32 f"},
    {"other table name", "TABLEINFO", "sqlite_master"},
    {"unknown kind", "DROP", "Velkor_ESP32"},
    {"broken XML", "", "<objAutCodeUser><DbExcute><m_strCmd>SQL_FIND</m_strCmd>"},
    {"missing member", "",
     std::string(kRecord).replace(kRecord.find("<m_strFindSqlQuery>"),
                                  kRecord.find("</m_strFindSqlQuery>") + 20 -
                                      kRecord.find("<m_strFindSqlQuery>"),
                                  "")},
    {"not XML at all", "", "DROP TABLE Velkor_ESP32"},
    {"longer element for a missing member", "",
     std::string(kRecord).replace(kRecord.find("<m_strCmd>SQL_FIND</m_strCmd>"), 29,
                                  "<m_strFindCondition_x>SQL_FIND</m_strFindCondition_x>")},
    {"oversized body", "QUERY", "select * from Velkor_ESP32 where notes='" +
                                    std::string(100 * 1024, 'x') + "'"},
};

TEST(HostileRequestsTest, EachIsRefusedWithTheErrorPageAndChangesNothing) {
    ServiceFixture service(false, 30, 300);
    const std::string before = Snapshot(service.dbPath);
    for (const Hostile& h : kHostile) {
        const HttpAnswer answer = testutil::HttpClient().Post(service.RequestUrl(), Body(h));
        EXPECT_NE(answer.status, 200) << h.what << ": " << answer.body;
        EXPECT_NE(answer.status, 0) << h.what << ": no answer";
        EXPECT_NE(ContainerText(answer.body), "") << h.what << ": " << answer.body;
        EXPECT_EQ(Snapshot(service.dbPath), before) << h.what;
    }
    // The service still answers normally afterwards.
    EXPECT_EQ(service.Command("COUNT", "SELECT COUNT(*) as total FROM Velkor_ESP32").body,
              "{\"AUTOCODE\":{\"total\":\"30\"}}");
}

TEST(HostileRequestsTest, ASlowStatementIsStoppedAtItsTimeLimit) {
    ServiceFixture service(false, 30, 300);
    const HttpAnswer answer = service.Command("QUERY", kHostile[25].text);
    EXPECT_EQ(answer.status, 504);
    EXPECT_NE(ContainerText(answer.body).find("300 ms"), std::string::npos) << answer.body;
}

}  // namespace
