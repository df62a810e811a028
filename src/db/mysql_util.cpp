#include "db/mysql_util.h"

#include "db/column_captions.h"

#include <cstdlib>

CMySQLUtil::CMySQLUtil(const std::string& table) : m_table(table) {
    GetTableInfo(m_table, m_fields);
}

db::PostFn CMySQLUtil::Post() {
    return [this](const std::string& body, std::string* answer) {
        const int wait = static_cast<int>(std::atol(GetRespWait().c_str()));
        return HttpPutGet(wait, IsSSL(), GetPostUrl(), body, answer);
    };
}

bool CMySQLUtil::GetTableInfo(const std::string& table, FieldList& fields) {
    return db::GetTableInfo(Post(), table, fields);
}

std::string CMySQLUtil::Query(const std::string& sql, long rowStart, long rowCount) {
    return db::Query(Post(), sql, rowStart, rowCount);
}

std::uint32_t CMySQLUtil::GetRowCount(const std::string& sql) {
    return db::GetRowCount(Post(), sql);
}

bool CMySQLUtil::Execute(const std::string& sql, std::string* answer) {
    return db::Execute(Post(), sql, answer);
}

bool CMySQLUtil::GetColumnNames(const std::string& table, std::map<int, std::string>& names) {
    return db::GetColumnNames(Post(), table, names);
}

bool CMySQLUtil::InitColumns(const std::string& captionFile, const std::string& table,
                             std::map<int, std::string>& captions,
                             std::map<int, std::string>& columns) {
    std::map<int, std::string> names;
    const bool ok = GetColumnNames(table, names);
    db::SelectVisibleColumns(*this, captionFile, names, captions, columns);
    return ok;
}

bool CMySQLUtil::LoadTablePage(const PageRequest& request, std::map<int, std::string>* columns,
                               std::map<std::string, std::string>* rows) {
    return db::LoadTablePage(Post(), request, columns, rows);
}

std::uint32_t CMySQLUtil::CountTableRows(const CountRequest& request) {
    return db::CountTableRows(Post(), request);
}

std::uint32_t CMySQLUtil::CountAll() {
    return GetRowCount("SELECT COUNT(*) as total FROM " + m_table);
}
