#include "db/table_requests.h"

#include "db/answer_reader.h"
#include "db/request_record.h"
#include "support/file_log_msg.h"

namespace db {

namespace {

void Log(const char* format, const std::string& text) {
    CFileLogMsg::GetInstance()->WriteLog(LOG_INFO, format, text.c_str());
}

}  // namespace

std::string RequestBody(const std::string& kind, const std::string& text) {
    AutCodeUser record;
    record.SetCmd("SQL_FIND");
    record.SetFindType(kind);
    record.SetFindSqlQuery(text);
    return SerializeRequest(record);
}

bool GetTableInfo(const PostFn& post, const std::string& table, FieldList& fields) {
    Log("CCurl_Util::GetFieldsInfo::%s", "Enter");
    std::string answer;
    bool ok = post(RequestBody("TABLEINFO", table), &answer);
    Log(" CCurl_Web_Interface::GetTableInfo:%s\r\n\r\n", answer);
    return ok && ReadTableInfo(answer, fields);
}

std::string Query(const PostFn& post, const std::string& sql, long rowStart, long rowCount) {
    std::string answer;
    if (!post(RequestBody("QUERY", WithRowWindow(sql, rowStart, rowCount)), &answer)) return "";
    return answer;
}

std::uint32_t GetRowCount(const PostFn& post, const std::string& sql) {
    std::string answer;
    if (!post(RequestBody("COUNT", sql), &answer) || answer.empty()) return 0;
    Log("CMySQLUtil::GetRowCount:%s", answer);
    return ReadRowCount(answer);
}

bool Execute(const PostFn& post, const std::string& sql, std::string* answer) {
    std::string text;
    bool ok = post(RequestBody("INSERT", sql), &text);
    if (answer) *answer = text;
    return ok;
}

bool GetColumnNames(const PostFn& post, const std::string& table,
                    std::map<int, std::string>& names) {
    FieldList fields;
    if (!GetTableInfo(post, table, fields)) return false;
    ColumnNamesByPosition(fields, names);
    return true;
}

bool LoadTablePage(const PostFn& post, const PageRequest& request,
                   std::map<int, std::string>* columns, std::map<std::string, std::string>* rows) {
    auto sql = BuildSelectText(request);
    if (!sql || !rows) return false;
    std::string answer = Query(post, *sql, 0, 0);
    if (answer.empty()) return false;
    std::map<int, std::string> newColumns = columns ? *columns : std::map<int, std::string>{};
    std::map<std::string, std::string> newRows;
    if (!UpdateTableData(answer, columns ? &newColumns : nullptr, &newRows)) return false;
    if (columns) *columns = std::move(newColumns);
    *rows = std::move(newRows);
    return true;
}

std::uint32_t CountTableRows(const PostFn& post, const CountRequest& request) {
    auto sql = BuildCountText(request);
    return sql ? GetRowCount(post, *sql) : 0;
}

bool FindUsers(const PostFn& post, const std::string& column, const std::string& op,
               const std::string& value, std::map<std::string, UserRecord>* users) {
    auto sql = FindUsersText(column, op, value);
    if (!sql) return false;
    std::string answer = Query(post, *sql, 0, 0);
    if (answer.empty() || !users) return false;
    return ReadUserRows(answer, *users);
}

bool InsertUser(const PostFn& post, const UserRecord& user, std::string* answer) {
    auto sql = InsertUserText(user);
    if (!sql) return false;
    std::string text;
    bool ok = Execute(post, *sql, &text);
    if (text.empty()) return false;
    if (answer) *answer = text;
    bool json = ReadInsertAnswer(text);
    return ok && json;
}

}  // namespace db
