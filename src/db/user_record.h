// One row of the user table as the program holds it, the fixed statements of that table and
// the readers of their answers. Text members are zero-terminated arrays of fixed size; a value
// that does not fit is never cut: the row carrying it is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

struct UserRecord {
    char CLSID[256] = {};
    std::uint64_t user_id = 0;
    std::string gui_attribute;
    char username[41] = {};
    char password[513] = {};
    char email[256] = {};
    char mobnumber[257] = {};
    std::string user_server_folder;
    std::string gpsloc;
    char User_reg_date[40] = {};
    char server_cfg_file[2049] = {};
};

namespace db {

// Puts `value` into a fixed member; false (member untouched) when it does not fit with its
// terminating zero or holds a NUL byte.
bool SetUserText(char* member, std::size_t size, const std::string& value);
template <std::size_t N>
bool SetUserText(char (&member)[N], const std::string& value) {
    return SetUserText(member, N, value);
}

// The text of a fixed member, up to its zero or its end.
std::string UserText(const char* member, std::size_t size);
template <std::size_t N>
std::string UserText(const char (&member)[N]) {
    return UserText(member, N);
}

// " SELECT * FROM redsparrow_users where  <column>    <op>'<value>'; "; nothing when the
// column or operator is not a plain one or the value cannot be carried.
std::optional<std::string> FindUsersText(const std::string& column, const std::string& op,
                                         const std::string& value);

// The INSERT of one record, every column paired with its own member.
std::optional<std::string> InsertUserText(const UserRecord& user);

// Rows of a FindUsers answer into `users` under " %0.8ld " keys, the n-th row of the answer
// under n. False on a JSON fault or a "user_id" that is not an unsigned decimal number (rows
// stored before remain). A row with a value longer than its member is refused: left out (its
// key unused), reported on the standard error stream.
bool ReadUserRows(const std::string& answer, std::map<std::string, UserRecord>& users);

// An INSERT answer is accepted when it is JSON; otherwise the reason goes to the standard
// error stream ("JSON parsing error: ... at line N").
bool ReadInsertAnswer(const std::string& answer);

}  // namespace db
