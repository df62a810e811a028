#include "admin.h"

#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "platform/uuid.h"
#include "schema.h"

namespace webservice {

namespace {

using StmtPtr = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

StmtPtr PrepareOrFail(sqlite3* db, const char* sql, std::string& error) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) error = sqlite3_errmsg(db);
    return StmtPtr(stmt, &sqlite3_finalize);
}

void BindTexts(sqlite3_stmt* stmt, int first, const std::vector<std::string>& texts) {
    for (size_t i = 0; i < texts.size(); ++i)
        sqlite3_bind_text(stmt, first + static_cast<int>(i), texts[i].c_str(), -1,
                          SQLITE_TRANSIENT);
}

bool StepDone(sqlite3* db, sqlite3_stmt* stmt, std::string& error) {
    if (sqlite3_step(stmt) == SQLITE_DONE) return true;
    error = sqlite3_errmsg(db);
    return false;
}

bool Exec(sqlite3* db, const char* sql, std::string& error) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    error = sqlite3_errmsg(db);
    return false;
}

std::string NowText() {
    char text[32];
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

}  // namespace

bool AddUser(sqlite3* db, const NewUser& user, uint64_t& userId, std::string& error) {
    StmtPtr next = PrepareOrFail(
        db, "SELECT MAX(1000, IFNULL(MAX(user_id), 0)) + 1 FROM redsparrow_users", error);
    if (!next || sqlite3_step(next.get()) != SQLITE_ROW) {
        if (error.empty()) error = sqlite3_errmsg(db);
        return false;
    }
    userId = static_cast<uint64_t>(sqlite3_column_int64(next.get(), 0));
    StmtPtr insert = PrepareOrFail(
        db,
        "INSERT INTO redsparrow_users (CLSID, user_id, gui_attribute, username, password, email,"
        " mobnumber, user_server_folder, gpsloc, User_reg_date, server_cfg_file)"
        " VALUES (?1, ?2, '', ?3, ?4, ?5, ?6, ?7, '', ?8, ?9)",
        error);
    if (!insert) return false;
    sqlite3_bind_text(insert.get(), 1, platform::NewUuidText().c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert.get(), 2, static_cast<sqlite3_int64>(userId));
    BindTexts(insert.get(), 3, {user.name, user.password, user.email, user.mobile,
                                user.serverFolder, NowText(), user.serverCfgFile});
    return StepDone(db, insert.get(), error);
}

bool SeedDeviceRows(sqlite3* db, uint64_t userId, int count, int firstIndex, std::string& error) {
    if (!Exec(db, "BEGIN", error)) return false;
    StmtPtr insert = PrepareOrFail(
        db,
        "INSERT INTO Velkor_ESP32 (CLSID, user_id, device_name, serial_number, firmware_version,"
        " notes, can_channels, supply_voltage, last_seen, wifi_enabled)"
        " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)",
        error);
    bool ok = insert != nullptr;
    for (int i = 0; ok && i < count; ++i) {
        const int n = firstIndex + i;
        char name[64], serial[32], version[32], seen[32];
        std::snprintf(name, sizeof name, "Workshop interface %d", n);
        std::snprintf(serial, sizeof serial, "VK%08d", n);
        std::snprintf(version, sizeof version, "1.2.%d-%d", n % 10, n % 2 ? 2025 : 2024);
        std::snprintf(seen, sizeof seen, "2026-%02d-%02d 08:%02d:00", n % 12 + 1, n % 28 + 1,
                      n % 60);
        sqlite3_reset(insert.get());
        sqlite3_bind_text(insert.get(), 1, platform::NewUuidText().c_str(), -1,
                          SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert.get(), 2, static_cast<sqlite3_int64>(userId));
        BindTexts(insert.get(), 3, {name, serial, version});
        if (n % 3) BindTexts(insert.get(), 6, {"Bay " + std::to_string(n % 7 + 1)});
        else sqlite3_bind_null(insert.get(), 6);
        sqlite3_bind_int(insert.get(), 7, n % 2 ? 2 : 4);
        sqlite3_bind_double(insert.get(), 8, 11.5 + (n % 30) / 10.0);
        BindTexts(insert.get(), 9, {seen});
        sqlite3_bind_int(insert.get(), 10, n % 2);
        ok = StepDone(db, insert.get(), error);
    }
    std::string ignored;
    return Exec(db, ok ? "COMMIT" : "ROLLBACK", ok ? error : ignored) && ok;
}

bool SeedMqttRows(sqlite3* db, uint64_t userId, int count, std::string& error) {
    StmtPtr insert = PrepareOrFail(
        db,
        "INSERT INTO Mqtt_device (CLSID, user_id, mac_address, mqtt_server, mqtt_port, mqtt_user)"
        " VALUES (?1, ?2, ?3, 'mqtt.workshop.lan', 1883, ?4)",
        error);
    for (int i = 0; insert && i < count; ++i) {
        char mac[24];
        std::snprintf(mac, sizeof mac, "24:0A:C4:00:%02X:%02X", (i >> 8) & 0xff, i & 0xff);
        sqlite3_reset(insert.get());
        sqlite3_bind_text(insert.get(), 1, platform::NewUuidText().c_str(), -1,
                          SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert.get(), 2, static_cast<sqlite3_int64>(userId));
        BindTexts(insert.get(), 3, {mac, "bench" + std::to_string(i + 1)});
        if (!StepDone(db, insert.get(), error)) return false;
    }
    return insert != nullptr;
}

long long CountRows(sqlite3* db, const std::string& table) {
    const std::string name = ToolTableName(table);
    if (name.empty()) return -1;
    std::string error;
    StmtPtr stmt = PrepareOrFail(db, ("SELECT COUNT(*) FROM " + name).c_str(), error);
    if (!stmt || sqlite3_step(stmt.get()) != SQLITE_ROW) return -1;
    return sqlite3_column_int64(stmt.get(), 0);
}

}  // namespace webservice
