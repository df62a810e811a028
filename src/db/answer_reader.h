// Readers of the service's JSON answers (Boost.PropertyTree). They never throw: a malformed
// answer gives false or 0, keeping what was read before the fault.
#pragma once

#include "db/field_info.h"

#include <cstdint>
#include <map>
#include <string>

namespace db {

// TABLEINFO: one FieldInfo per child of "AUTOCODE", appended to `fields` (not cleared first).
// A "primary_key" of 0 marks the key column; one that is not an integer fails the answer.
bool ReadTableInfo(const std::string& answer, FieldList& fields);

// COUNT: the unsigned 32-bit number at "AUTOCODE.total", 0 when absent or unreadable (a
// sign, a fraction or a value past 4294967295 is unreadable).
std::uint32_t ReadRowCount(const std::string& answer);

// Every column but the record id ("CLSID" in any letter case), keyed by position.
void ColumnNamesByPosition(const FieldList& fields, std::map<int, std::string>& names);

}  // namespace db

// QUERY (the browser's page reader, under its own name): rows into `rows` (cleared first), keyed
// "%0.8ld_<CLSID>" with the row counter, the other values each followed by ";" as the row text. New
// column names go into `columns` (when given) under its next position. False when the answer is not
// a readable row list; rows stored before the fault remain.
bool UpdateTableData(const std::string& answer, std::map<int, std::string>* columns,
                     std::map<std::string, std::string>* rows);
