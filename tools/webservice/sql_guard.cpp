#include "sql_guard.h"

#include <strings.h>

#include <cctype>
#include <cstring>

#include "schema.h"

namespace {

// Functions a statement may call: counting, comparison and plain text/number helpers.
const char* const kAllowedFunctions[] = {
    "count", "like", "glob",  "lower",  "upper",    "length", "min",     "max",
    "sum",   "avg",  "total", "ifnull", "coalesce", "substr", "trim",    "abs",
    "round", "date", "time",  "datetime", "strftime", "instr", "nullif", "replace",
};

bool AllowedFunction(const char* name) {
    if (!name) return false;
    for (const char* f : kAllowedFunctions)
        if (strcasecmp(name, f) == 0) return true;
    return false;
}

// One of the tool's tables in the main database (SQLite names no database for the table a
// bare COUNT(*) reads).
bool ToolTable(const char* table, const char* dbName) {
    return table && (!dbName || std::strcmp(dbName, "main") == 0) &&
           !webservice::ToolTableName(table).empty();
}

size_t SkipBlanksAndComments(const std::string& s, size_t i) {
    while (i < s.size()) {
        if (std::isspace(static_cast<unsigned char>(s[i]))) {
            ++i;
        } else if (s.compare(i, 2, "--") == 0) {
            i = s.find('\n', i);
            if (i == std::string::npos) return s.size();
        } else if (s.compare(i, 2, "/*") == 0) {
            i = s.find("*/", i + 2);
            if (i == std::string::npos) return s.size();
            i += 2;
        } else {
            break;
        }
    }
    return i;
}

// Only blanks and semicolons may follow the one statement.
bool OnlyTerminators(const char* tail) {
    for (; tail && *tail; ++tail)
        if (*tail != ';' && !std::isspace(static_cast<unsigned char>(*tail))) return false;
    return true;
}

ServiceError Refused(const std::string& text) { return {403, "Request refused", text}; }

// Keyword rules of each kind; empty when the statement may go on to the authorizer.
std::string KindProblem(const std::string& sql, StatementKind kind) {
    size_t rest = 0;
    const std::string first = webservice::FirstKeyword(sql, &rest);
    if (kind == StatementKind::Read) {
        if (first != "SELECT")
            return "Only a SELECT statement may be sent to read records (this one starts with \"" +
                   first + "\").";
        return "";
    }
    if (first != "INSERT" && first != "UPDATE")
        return "Only an INSERT or UPDATE statement may be sent to store records (this one "
               "starts with \"" + first + "\").";
    // INSERT OR REPLACE / UPDATE OR REPLACE silently delete the rows they collide with.
    size_t after = 0;
    if (webservice::FirstKeyword(sql.substr(rest), &after) == "OR" &&
        webservice::FirstKeyword(sql.substr(rest + after)) == "REPLACE")
        return "Records may not be replaced; store a new record or update the existing one.";
    return "";
}

}  // namespace

std::string webservice::FirstKeyword(const std::string& sql, size_t* rest) {
    size_t i = SkipBlanksAndComments(sql, 0);
    std::string word;
    while (i < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[i])) || sql[i] == '_'))
        word.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i++]))));
    if (rest) *rest = i;
    return word;
}

SqlGuard::SqlGuard(sqlite3* db) : m_db(db) {
    sqlite3_set_authorizer(m_db, &SqlGuard::Authorize, this);
    sqlite3_progress_handler(m_db, 1000, &SqlGuard::Progress, this);
    sqlite3_limit(m_db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(m_db, SQLITE_LIMIT_SQL_LENGTH, 100000);
    sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, 1000000);
    sqlite3_limit(m_db, SQLITE_LIMIT_EXPR_DEPTH, 200);
    sqlite3_limit(m_db, SQLITE_LIMIT_COMPOUND_SELECT, 20);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
}

SqlGuard::~SqlGuard() {
    sqlite3_set_authorizer(m_db, nullptr, nullptr);
    sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
}

sqlite3_stmt* SqlGuard::Prepare(const std::string& sql, StatementKind kind, ServiceError& error) {
    const std::string problem = KindProblem(sql, kind);
    if (!problem.empty()) {
        error = Refused(problem);
        return nullptr;
    }
    m_kind = kind;
    m_denied.clear();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &stmt,
                                      &tail);
    if (rc != SQLITE_OK) {
        error = m_denied.empty()
                    ? ServiceError{400, "Statement not understood",
                                   std::string("The database could not read the statement: ") +
                                       sqlite3_errmsg(m_db) + "."}
                    : Refused("The statement uses " + m_denied + ", which this service does "
                              "not allow.");
        return nullptr;
    }
    if (!stmt) {
        error = {400, "Empty statement", "The request holds no SQL statement."};
        return nullptr;
    }
    const bool readOnly = sqlite3_stmt_readonly(stmt) != 0;
    if (!OnlyTerminators(tail) || (kind == StatementKind::Read) != readOnly) {
        sqlite3_finalize(stmt);
        error = Refused(OnlyTerminators(tail)
                            ? "The statement does not match the kind of request."
                            : "Only one SQL statement may be sent per request.");
        return nullptr;
    }
    return stmt;
}

void SqlGuard::StartClock(int milliseconds) {
    m_timedOut = false;
    m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
}

int SqlGuard::Authorize(void* self, int action, const char* a1, const char* a2,
                        const char* dbName, const char* /*trigger*/) {
    return static_cast<SqlGuard*>(self)->Check(action, a1, a2, dbName);
}

int SqlGuard::Check(int action, const char* a1, const char* a2, const char* dbName) {
    const bool write = m_kind == StatementKind::Write;
    switch (action) {
        case SQLITE_SELECT: return SQLITE_OK;
        case SQLITE_READ:
            if (ToolTable(a1, dbName)) return SQLITE_OK;
            m_denied = std::string("the table \"") + (a1 ? a1 : "") + "\"";
            return SQLITE_DENY;
        case SQLITE_FUNCTION:
            if (AllowedFunction(a2)) return SQLITE_OK;
            m_denied = std::string("the function \"") + (a2 ? a2 : "") + "\"";
            return SQLITE_DENY;
        case SQLITE_INSERT:
        case SQLITE_UPDATE:
            // Accounts are created by the tool, never rewritten through it.
            if (write && ToolTable(a1, dbName) &&
                (action == SQLITE_INSERT || webservice::ToolTableName(a1) != kUsersTable))
                return SQLITE_OK;
            m_denied = std::string(action == SQLITE_INSERT ? "an insert into" : "an update of") +
                       " the table \"" + (a1 ? a1 : "") + "\"";
            return SQLITE_DENY;
        case SQLITE_PRAGMA: m_denied = "a PRAGMA"; return SQLITE_DENY;
        case SQLITE_ATTACH:
        case SQLITE_DETACH: m_denied = "ATTACH or DETACH"; return SQLITE_DENY;
        case SQLITE_DELETE: m_denied = "a DELETE"; return SQLITE_DENY;
        case SQLITE_TRANSACTION:
        case SQLITE_SAVEPOINT: m_denied = "a transaction command"; return SQLITE_DENY;
        case SQLITE_RECURSIVE: m_denied = "a recursive query"; return SQLITE_DENY;
        default: m_denied = "a schema change or another command"; return SQLITE_DENY;
    }
}

int SqlGuard::Progress(void* self) {
    auto* guard = static_cast<SqlGuard*>(self);
    if (std::chrono::steady_clock::now() < guard->m_deadline) return 0;
    guard->m_timedOut = true;
    return 1;
}
