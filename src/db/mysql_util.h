// Access to one table of the web service: the table's columns, learnt when the object is
// made, and the four database commands (table information, query, row count, execute), each
// posted by the object's own HTTP worker. The statement texts and answer readers live in
// query_builder, user_record and answer_reader; this class only sends them.
#pragma once

#include "db/field_info.h"
#include "db/query_builder.h"
#include "db/table_requests.h"
#include "net/curl_util.h"

#include <cstdint>
#include <map>
#include <string>

// The table of MQTT devices; the network settings dialog makes one object of it when it opens
// (its columns are read on construction).
namespace db {
inline constexpr const char* kMqttDeviceTable = "Mqtt_device ";
}  // namespace db

class CMySQLUtil : public CCurl_Util {
public:
    // Binds the object to `table` (passed exactly as given, trailing blanks included) and
    // reads its columns.
    explicit CMySQLUtil(const std::string& table);
    ~CMySQLUtil() override = default;

    bool GetTableInfo(const std::string& table, FieldList& fields);
    // The answer text, "" when the call failed; a row count of 0 means no row window.
    std::string Query(const std::string& sql, long rowStart, long rowCount);
    std::uint32_t GetRowCount(const std::string& sql);
    // Any modifying statement; `answer` receives the answer, the error text or "timeout".
    bool Execute(const std::string& sql, std::string* answer);
    // The columns of `table` but the record id, keyed by position.
    bool GetColumnNames(const std::string& table, std::map<int, std::string>& names);
    // The browser's columns: those with a caption in [DB_TEXT] of `captionFile` and a non-zero
    // "<name>_IsVisible", into `captions` and `columns` under the same keys.
    bool InitColumns(const std::string& captionFile, const std::string& table,
                     std::map<int, std::string>& captions, std::map<int, std::string>& columns);

    // One page of rows for the browser: false when the request could not be
    // built, failed, or its answer could not be read; `rows` then stays as it was.
    bool LoadTablePage(const PageRequest& request, std::map<int, std::string>* columns,
                       std::map<std::string, std::string>* rows);
    std::uint32_t CountTableRows(const CountRequest& request);
    // Every row of the bound table, counted without a filter.
    std::uint32_t CountAll();

    const std::string& TableName() const { return m_table; }
    const FieldList& Fields() const { return m_fields; }

protected:
    // The object's transport: HttpPutGet to the request address with its wait.
    db::PostFn Post();

private:
    std::string m_table;
    FieldList m_fields;
};
