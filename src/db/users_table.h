// The user table: the process-wide table object bound to "redsparrow_users " (with its
// trailing blank), which the login window searches and extends.
#pragma once

#include "db/mysql_util.h"
#include "db/user_record.h"

#include <map>
#include <string>

class CUsersTable : public CMySQLUtil {
public:
    // Created on first call, never destroyed.
    static CUsersTable* GetInstance();

    // Rows whose `column` compares by `op` with `value`, under keys " 00000001 ", ...; false
    // when the request fails, its answer cannot be read or no map is given.
    bool FindUsers(const std::string& column, const std::string& op, const std::string& value,
                   std::map<std::string, UserRecord>* users);
    // Stores one user; true only when the service took it. `answer` (may be null) receives
    // the answer or error text.
    bool InsertUser(const UserRecord& user, std::string* answer);

private:
    CUsersTable() : CMySQLUtil("redsparrow_users ") {}
    ~CUsersTable() override = default;
};
