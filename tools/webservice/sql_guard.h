// Keeps the SQL text a request carries to one statement of the expected kind on the tool's
// own tables: an SQLite authorizer, a keyword check, and a time limit per statement.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <string>

#include "error_page.h"

enum class StatementKind {
    Read,   // QUERY and COUNT: one SELECT
    Write,  // INSERT: one INSERT or UPDATE
};

// Installed on one connection for its whole life; used by one thread at a time.
class SqlGuard {
public:
    explicit SqlGuard(sqlite3* db);
    ~SqlGuard();
    SqlGuard(const SqlGuard&) = delete;
    SqlGuard& operator=(const SqlGuard&) = delete;

    // Prepares `sql` when it is exactly one allowed statement of `kind`; otherwise null with
    // `error` set to a refusal the technician can read.
    sqlite3_stmt* Prepare(const std::string& sql, StatementKind kind, ServiceError& error);

    // Starts the time limit of the statement about to run.
    void StartClock(int milliseconds);
    bool TimedOut() const { return m_timedOut; }

private:
    static int Authorize(void* self, int action, const char* a1, const char* a2,
                         const char* dbName, const char* trigger);
    static int Progress(void* self);
    int Check(int action, const char* a1, const char* a2, const char* dbName);

    sqlite3* m_db;
    StatementKind m_kind = StatementKind::Read;
    std::string m_denied;  // what the authorizer refused, for the error text
    std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::time_point::max();
    bool m_timedOut = false;
};

namespace webservice {

// The first keyword of `sql` in upper case, comments and blanks skipped; `rest` receives the
// position after it.
std::string FirstKeyword(const std::string& sql, size_t* rest = nullptr);

}  // namespace webservice
