#include "sqlite_peer.h"

#include "db/request_record.h"

#include <gtest/gtest.h>

namespace {

// JSON string text: quotes, backslashes and control bytes escaped, other bytes as they are.
std::string JsonText(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

SqlitePeer::SqlitePeer() {
    EXPECT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
}

SqlitePeer::~SqlitePeer() {
    sqlite3_close(m_db);
}

void SqlitePeer::Exec(const std::string& sql) {
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "") << " in " << sql;
    sqlite3_free(error);
}

std::vector<std::string> SqlitePeer::Rows(const std::string& sql) {
    std::vector<std::string> rows;
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            row += (i ? "|" : "") +
                   (text ? std::string(text, sqlite3_column_bytes(st, i)) : std::string("NULL"));
        }
        rows.push_back(row);
    }
    sqlite3_finalize(st);
    return rows;
}

db::PostFn SqlitePeer::Post() {
    return [this](const std::string& body, std::string* answer) { return Answer(body, answer); };
}

// One statement only, as the service allows: anything left after it is refused.
bool SqlitePeer::Answer(const std::string& body, std::string* answer) {
    AutCodeUser record;
    if (!db::DeserializeRequest(body, record)) return *answer = "bad record", false;
    const std::string& sql = record.m_strFindSqlQuery;
    m_received.push_back(sql);
    sqlite3_stmt* st = nullptr;
    const char* rest = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &st, &rest) !=
        SQLITE_OK) {
        *answer = sqlite3_errmsg(m_db);
        return false;
    }
    std::string tail(rest);
    if (tail.find_first_not_of(" \t\r\n;") != std::string::npos) {
        sqlite3_finalize(st);
        return *answer = "more than one statement", false;
    }
    std::string rows;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            row += (i ? "," : "") + JsonText(sqlite3_column_name(st, i)) + ":" +
                   JsonText(text ? std::string(text, sqlite3_column_bytes(st, i)) : "null");
        }
        rows += (rows.empty() ? "{" : ",{") + row + "}";
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) return *answer = sqlite3_errmsg(m_db), false;
    if (record.m_strFindType == "COUNT") {
        auto at = rows.find("\"total\":");
        *answer = "{\"AUTOCODE\":{" + rows.substr(at, rows.size() - at - 1) + "}}";
    } else {
        *answer = "{\"AUTOCODE\":[" + rows + "]}";
    }
    return true;
}
