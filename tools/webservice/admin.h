// Administration from the command line: accounts and demo rows, written through bound
// statements on an unguarded connection (see OpenAdminDatabase).
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>

struct NewUser {
    std::string name;
    std::string password;  // kept as given: the tool compares it as text
    std::string email;
    std::string mobile;
    std::string serverFolder;  // user_server_folder: the account's data folder address
    std::string serverCfgFile;
};

namespace webservice {

// Adds an account under a fresh user_id (one above the largest, at least 1001).
bool AddUser(sqlite3* db, const NewUser& user, uint64_t& userId, std::string& error);

// Adds `count` device rows owned by `userId` (names numbered from `firstIndex`) in one
// transaction.
bool SeedDeviceRows(sqlite3* db, uint64_t userId, int count, int firstIndex, std::string& error);

// Adds `count` MQTT device rows owned by `userId`.
bool SeedMqttRows(sqlite3* db, uint64_t userId, int count, std::string& error);

// Number of rows of a tool table; -1 on error.
long long CountRows(sqlite3* db, const std::string& table);

}  // namespace webservice
