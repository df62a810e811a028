#include "schema.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <map>

namespace webservice {

namespace {

// Every NOT NULL column carries a DEFAULT: the tool reads "default":"null" as "nullable".
const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS redsparrow_users (
  CLSID varchar(255) NOT NULL PRIMARY KEY,
  user_id int NOT NULL DEFAULT 0,
  gui_attribute text,
  username varchar(40) NOT NULL DEFAULT '',
  password varchar(512) NOT NULL DEFAULT '',
  email varchar(255),
  mobnumber varchar(256),
  user_server_folder varchar(1024),
  gpsloc varchar(1024),
  User_reg_date datetime,
  server_cfg_file varchar(2048)
);
CREATE INDEX IF NOT EXISTS redsparrow_users_user_id ON redsparrow_users(user_id);
CREATE TABLE IF NOT EXISTS Velkor_ESP32 (
  CLSID varchar(64) NOT NULL PRIMARY KEY,
  user_id int NOT NULL DEFAULT 0,
  device_name varchar(64) NOT NULL DEFAULT 'ESP32-S3',
  serial_number varchar(32) NOT NULL DEFAULT '',
  firmware_version varchar(32),
  notes text,
  can_channels int NOT NULL DEFAULT 2,
  supply_voltage float,
  last_seen datetime,
  wifi_enabled bit NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS Velkor_ESP32_user_id ON Velkor_ESP32(user_id);
CREATE TABLE IF NOT EXISTS Mqtt_device (
  CLSID varchar(64) NOT NULL PRIMARY KEY,
  user_id int NOT NULL DEFAULT 0,
  mac_address varchar(17) NOT NULL DEFAULT '',
  mqtt_server varchar(255),
  mqtt_port int NOT NULL DEFAULT 1883,
  mqtt_user varchar(64)
);
CREATE INDEX IF NOT EXISTS Mqtt_device_user_id ON Mqtt_device(user_id);
)sql";

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string Trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return "";
    return s.substr(begin, s.find_last_not_of(" \t\r\n") - begin + 1);
}

// Usual display width of a type declared without a size.
std::string DefaultWidth(const std::string& type) {
    static const std::map<std::string, std::string> widths = {
        {"int", "11"},      {"integer", "11"}, {"bigint", "20"}, {"float", "12"},
        {"double", "22"},   {"bit", "1"},      {"datetime", "19"}, {"text", "65535"},
        {"varchar", "255"},
    };
    const auto it = widths.find(type);
    return it == widths.end() ? "0" : it->second;
}

// "VARCHAR(41)" -> type "varchar", width "41".
void SplitDeclaredType(const std::string& declared, ColumnInfo& column) {
    const std::string lower = Lower(Trim(declared));
    const auto open = lower.find('(');
    column.type = Trim(lower.substr(0, open));
    if (open != std::string::npos) {
        const auto close = lower.find_first_of(",)", open);
        column.maxLength = Trim(lower.substr(open + 1, close - open - 1));
    }
    if (column.maxLength.empty()) column.maxLength = DefaultWidth(column.type);
}

// A declared default as its value: quotes removed, NULL as "null".
std::string DefaultText(const unsigned char* raw) {
    if (!raw) return "null";
    std::string text = reinterpret_cast<const char*>(raw);
    if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
        text = text.substr(1, text.size() - 2);
        for (auto pos = text.find("''"); pos != std::string::npos; pos = text.find("''", pos + 1))
            text.erase(pos, 1);
    } else if (strcasecmp(text.c_str(), "null") == 0) {
        text = "null";
    }
    return text;
}

}  // namespace

std::string ToolTableName(const std::string& name) {
    const std::string trimmed = Trim(name);
    for (const char* table : {kUsersTable, kDeviceTable, kMqttTable})
        if (strcasecmp(trimmed.c_str(), table) == 0) return table;
    return "";
}

bool CreateSchema(sqlite3* db, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(db, kSchema, nullptr, nullptr, &message) == SQLITE_OK) return true;
    error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}

bool ReadColumns(sqlite3* db, const std::string& table, std::vector<ColumnInfo>& columns,
                 std::string& error) {
    // Only called with a name from ToolTableName, so the text is one of three constants.
    const std::string sql = "PRAGMA table_info(\"" + table + "\")";
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        ColumnInfo column;
        column.name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
        const unsigned char* declared = sqlite3_column_text(stmt, 2);
        SplitDeclaredType(declared ? reinterpret_cast<const char*>(declared) : "", column);
        column.defaultText = DefaultText(sqlite3_column_text(stmt, 4));
        column.primaryKey = sqlite3_column_int(stmt, 5) != 0;
        columns.push_back(column);
    }
    if (rc != SQLITE_DONE) error = sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}

}  // namespace webservice
