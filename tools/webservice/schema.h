// The tool's three tables: their SQL definitions and the names requests may use.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

inline constexpr const char* kUsersTable = "redsparrow_users";
inline constexpr const char* kDeviceTable = "Velkor_ESP32";
inline constexpr const char* kMqttTable = "Mqtt_device";

// One column as TABLEINFO reports it.
struct ColumnInfo {
    std::string name;
    std::string type;       // declared type, lower case, without its size: "varchar"
    std::string maxLength;  // the N of varchar(N), or the usual width of the type
    std::string defaultText;  // declared default, "null" when there is none
    bool primaryKey = false;
};

namespace webservice {

// The table's own spelling when `name` (blanks around it ignored, letter case too) is one of
// the tool's tables; empty otherwise.
std::string ToolTableName(const std::string& name);

// Creates the tables and indexes that are missing; false with `error` on failure.
bool CreateSchema(sqlite3* db, std::string& error);

// The columns of a tool table in declaration order; false with `error` on failure.
bool ReadColumns(sqlite3* db, const std::string& table, std::vector<ColumnInfo>& columns,
                 std::string& error);

}  // namespace webservice
