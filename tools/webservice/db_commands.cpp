#include "db_commands.h"

#include <strings.h>

#include <memory>

#include "request_reader.h"
#include "json_text.h"

namespace webservice {

namespace {

using StmtPtr = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

CommandAnswer Fail(CommandAnswer answer, const ServiceError& error) {
    answer.status = error.status;
    answer.body = ErrorPage(error);
    return answer;
}

// The error of a statement that stopped before its end.
ServiceError StepError(const Database::Lease& lease, int rc, const CommandLimits& limits) {
    if (lease.guard().TimedOut())
        return {504, "Statement too slow",
                "The database statement ran longer than " + std::to_string(limits.statementMs) +
                    " ms and was stopped. Narrow the search or ask for fewer rows."};
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        return {503, "Database busy", "The database is busy. Please try again."};
    if ((rc & 0xff) == SQLITE_CONSTRAINT)
        return {400, "Record not stored",
                std::string("The record breaks a rule of the table: ") + sqlite3_errmsg(lease.db()) +
                    "."};
    return {500, "Database error",
            std::string("The database reported an error: ") + sqlite3_errmsg(lease.db()) + "."};
}

ServiceError TooLarge(const CommandLimits& limits) {
    return {400, "Answer too large",
            "The answer would be larger than " + std::to_string(limits.answerBytes) +
                " bytes. Ask for fewer rows."};
}

void AppendMember(std::string& out, const char* name, const std::string& value) {
    AppendJsonString(out, name);
    out.push_back(':');
    AppendJsonString(out, value);
}

// {"AUTOCODE":[{column:value,...},...]}, every value text, NULL as "".
CommandAnswer Query(CommandAnswer answer, const Database::Lease& lease, sqlite3_stmt* stmt,
                    const CommandLimits& limits) {
    std::string out = "{\"AUTOCODE\":[";
    const int columns = sqlite3_column_count(stmt);
    int rc;
    bool first = true;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        out += first ? "{" : ",{";
        first = false;
        for (int i = 0; i < columns; ++i) {
            if (i) out.push_back(',');
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            AppendJsonString(out, sqlite3_column_name(stmt, i));
            out.push_back(':');
            AppendJsonString(out, std::string_view(text ? text : "",
                                                   text ? sqlite3_column_bytes(stmt, i) : 0));
        }
        out.push_back('}');
        if (out.size() > limits.answerBytes) return Fail(answer, TooLarge(limits));
    }
    if (rc != SQLITE_DONE) return Fail(answer, StepError(lease, rc, limits));
    answer.body = out + "]}";
    return answer;
}

// {"AUTOCODE":{"total":"N"}} from the first row's "total" column.
CommandAnswer Count(CommandAnswer answer, const Database::Lease& lease, sqlite3_stmt* stmt,
                    const CommandLimits& limits) {
    int column = -1;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i)
        if (strcasecmp(sqlite3_column_name(stmt, i), "total") == 0) column = i;
    if (column < 0)
        return Fail(answer, {400, "No row count",
                             "The count statement must name its result \"total\" "
                             "(SELECT COUNT(*) as total FROM ...)."});
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return Fail(answer, StepError(lease, rc, limits));
    const auto* text = rc == SQLITE_ROW ? sqlite3_column_text(stmt, column) : nullptr;
    answer.body = "{\"AUTOCODE\":{";
    AppendMember(answer.body, "total", text ? reinterpret_cast<const char*>(text) : "0");
    answer.body += "}}";
    return answer;
}

// {"AUTOCODE":{"rows_changed":"N"}}; the statement runs alone under the write lock.
CommandAnswer Insert(CommandAnswer answer, Database& database, const Database::Lease& lease,
                     sqlite3_stmt* stmt, const CommandLimits& limits) {
    int rc;
    int changes = 0;
    {
        std::lock_guard<std::mutex> lock(database.WriteLock());
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        changes = sqlite3_changes(lease.db());
    }
    if (rc != SQLITE_DONE) return Fail(answer, StepError(lease, rc, limits));
    answer.body = "{\"AUTOCODE\":{";
    AppendMember(answer.body, "rows_changed", std::to_string(changes));
    answer.body += "}}";
    return answer;
}

// {"AUTOCODE":[{"name":..,"max_length":..,"type":..,"default":..,"primary_key":..},..]}
CommandAnswer TableInfo(CommandAnswer answer, const Database& database,
                        const std::string& table) {
    const std::vector<ColumnInfo>* columns = database.Columns(table);
    if (!columns)
        return Fail(answer, {404, "Unknown table",
                             "There is no table named \"" + table + "\" on this service."});
    std::string& out = answer.body = "{\"AUTOCODE\":[";
    for (size_t i = 0; i < columns->size(); ++i) {
        const ColumnInfo& c = (*columns)[i];
        out += i ? ",{" : "{";
        AppendMember(out, "name", c.name);
        out.push_back(',');
        AppendMember(out, "max_length", c.maxLength);
        out.push_back(',');
        AppendMember(out, "type", c.type);
        out.push_back(',');
        AppendMember(out, "default", c.defaultText);
        out.push_back(',');
        AppendMember(out, "primary_key", c.primaryKey ? "0" : "1");
        out.push_back('}');
    }
    out += "]}";
    return answer;
}

CommandAnswer RunStatement(CommandAnswer answer, Database& database, const std::string& sql,
                           const CommandLimits& limits) {
    const bool write = answer.kind == "INSERT";
    auto lease = database.Acquire();
    ServiceError error;
    StmtPtr stmt(lease->guard().Prepare(sql, write ? StatementKind::Write : StatementKind::Read,
                                        error),
                 &sqlite3_finalize);
    if (!stmt) return Fail(answer, error);
    lease->guard().StartClock(limits.statementMs);
    if (answer.kind == "QUERY") return Query(answer, *lease, stmt.get(), limits);
    if (answer.kind == "COUNT") return Count(answer, *lease, stmt.get(), limits);
    return Insert(answer, database, *lease, stmt.get(), limits);
}

}  // namespace

CommandAnswer RunDbCommand(Database& database, const std::string& body,
                           const CommandLimits& limits) {
    CommandAnswer answer;
    AutCodeUser record;
    if (!ReadRequest(body, record))
        return Fail(answer, {400, "Unreadable request",
                             "The request is not a complete database record (objAutCodeUser)."});
    answer.kind = record.m_strFindType;
    if (record.m_strCmd != "SQL_FIND")
        return Fail(answer, {400, "Unknown command",
                             "The command \"" + record.m_strCmd + "\" is not known here."});
    const std::string& text = record.m_strFindSqlQuery;
    if (answer.kind == "TABLEINFO") return TableInfo(answer, database, text);
    if (answer.kind != "QUERY" && answer.kind != "COUNT" && answer.kind != "INSERT")
        return Fail(answer, {400, "Unknown request kind",
                             "The request kind \"" + answer.kind +
                                 "\" is not known; use TABLEINFO, QUERY, COUNT or INSERT."});
    if (text.empty() || text == "NONE")
        return Fail(answer, {400, "Empty statement", "The request holds no SQL statement."});
    return RunStatement(answer, database, text, limits);
}

}  // namespace webservice
