// The database commands of the table layer over any transport: each builds one request
// record, hands its body to `post` and reads the answer. CMySQLUtil binds `post` to its own
// HTTP worker; tests bind it to whatever answers the body.
#pragma once

#include "db/field_info.h"
#include "db/query_builder.h"
#include "db/user_record.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace db {

// Posts one request body; true with the answer text, false with an error text or "timeout".
using PostFn = std::function<bool(const std::string& body, std::string* answer)>;

// The body of one command: kind "TABLEINFO", "QUERY", "COUNT" or "INSERT".
std::string RequestBody(const std::string& kind, const std::string& text);

bool GetTableInfo(const PostFn& post, const std::string& table, FieldList& fields);
// The answer text, "" when the call failed.
std::string Query(const PostFn& post, const std::string& sql, long rowStart, long rowCount);
std::uint32_t GetRowCount(const PostFn& post, const std::string& sql);
bool Execute(const PostFn& post, const std::string& sql, std::string* answer);
bool GetColumnNames(const PostFn& post, const std::string& table,
                    std::map<int, std::string>& names);

// One page into `rows` (and new names into `columns`); false when the request cannot be
// built, fails or its answer cannot be read, and `rows` is then left as it was.
bool LoadTablePage(const PostFn& post, const PageRequest& request,
                   std::map<int, std::string>* columns, std::map<std::string, std::string>* rows);
// The number of rows the count request matches; 0 when it cannot be built or fails.
std::uint32_t CountTableRows(const PostFn& post, const CountRequest& request);

bool FindUsers(const PostFn& post, const std::string& column, const std::string& op,
               const std::string& value, std::map<std::string, UserRecord>* users);
// True only when the service took the insert and answered JSON; `answer` (when given)
// receives the answer or error text.
bool InsertUser(const PostFn& post, const UserRecord& user, std::string* answer);

}  // namespace db
