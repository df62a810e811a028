#include "db/users_table.h"

CUsersTable* CUsersTable::GetInstance() {
    static CUsersTable* instance = new CUsersTable();
    return instance;
}

bool CUsersTable::FindUsers(const std::string& column, const std::string& op,
                            const std::string& value, std::map<std::string, UserRecord>* users) {
    return db::FindUsers(Post(), column, op, value, users);
}

bool CUsersTable::InsertUser(const UserRecord& user, std::string* answer) {
    return db::InsertUser(Post(), user, answer);
}
