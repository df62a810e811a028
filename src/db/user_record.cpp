#include "db/user_record.h"

#include "db/json_tree.h"
#include "db/sql_text.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>

namespace pt = boost::property_tree;

namespace db {

bool SetUserText(char* member, std::size_t size, const std::string& value) {
    if (value.size() >= size || value.find('\0') != std::string::npos) return false;
    std::memcpy(member, value.c_str(), value.size() + 1);
    return true;
}

std::string UserText(const char* member, std::size_t size) {
    return std::string(member, strnlen(member, size));
}

std::optional<std::string> FindUsersText(const std::string& column, const std::string& op,
                                         const std::string& value) {
    auto q = sqltext::Quoted(value);
    if (!sqltext::IsIdentifier(column) || !sqltext::IsComparison(op) || !q) return std::nullopt;
    return " SELECT * FROM redsparrow_users where  " + column + "    " + op + *q + "; ";
}

std::optional<std::string> InsertUserText(const UserRecord& u) {
    const std::string texts[] = {
        UserText(u.CLSID),    UserText(u.username),      UserText(u.password),
        UserText(u.email),    UserText(u.mobnumber),     u.gpsloc,
        u.user_server_folder, UserText(u.User_reg_date), UserText(u.server_cfg_file)};
    std::string q[9];
    for (int i = 0; i < 9; ++i) {
        auto quoted = sqltext::Quoted(texts[i]);
        if (!quoted) return std::nullopt;
        q[i] = *quoted;
    }
    return " INSERT INTO redsparrow_users( CLSID, user_id, username, password, email, "
           "mobnumber, gpsloc, user_server_folder, User_reg_date, server_cfg_file)  values( " +
           q[0] + "," + std::to_string(u.user_id) + ",  " + q[1] + "," + q[2] + "," + q[3] + "," +
           q[4] + "," + q[5] + "," + q[6] + "," + q[7] + "," + q[8] + ") ";
}

namespace {

// Strict unsigned decimal: digits only, no sign, no overflow.
bool ParseUserId(const std::string& text, std::uint64_t& id) {
    if (text.empty() || text.size() > 20) return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        std::uint64_t d = static_cast<std::uint64_t>(c - '0');
        if (v > (UINT64_MAX - d) / 10) return false;
        v = v * 10 + d;
    }
    id = v;
    return true;
}

// Copies one answer member into the record; false names a value too long for its member.
bool SetMember(UserRecord& u, const std::string& name, const std::string& v) {
    if (name == "CLSID") return SetUserText(u.CLSID, v);
    if (name == "gui_attribute")
        u.gui_attribute = v;
    else if (name == "username")
        return SetUserText(u.username, v);
    else if (name == "password")
        return SetUserText(u.password, v);
    else if (name == "email")
        return SetUserText(u.email, v);
    else if (name == "mobnumber")
        return SetUserText(u.mobnumber, v);
    else if (name == "user_server_folder")
        u.user_server_folder = v;
    else if (name == "gpsloc")
        u.gpsloc = v;
    else if (name == "server_cfg_file")
        return SetUserText(u.server_cfg_file, v);
    return true;
}

}  // namespace

bool ReadUserRows(const std::string& answer, std::map<std::string, UserRecord>& users) {
    try {
        pt::ptree tree;
        ReadJsonTree(answer, tree);
        // Every row of the answer has its number, so a key names the same row as the answer's
        // order does; a refused row leaves its number unused.
        long position = 0;
        for (const auto& [unused, row] : tree.get_child("AUTOCODE")) {
            ++position;
            UserRecord u;
            bool fits = true;
            for (const auto& [name, value] : row) {
                if (name == "user_id") {
                    if (!ParseUserId(value.data(), u.user_id)) return false;
                } else if (!SetMember(u, name, value.data())) {
                    std::cerr << "FindUsers: row " << position << " refused: its " << name
                              << " is longer than the record holds\n";
                    fits = false;
                }
            }
            if (!fits) continue;
            char key[32];
            std::snprintf(key, sizeof key, " %08ld ", position);
            users[key] = u;
        }
        return true;
    } catch (const pt::ptree_error&) {
        return false;
    }
}

bool ReadInsertAnswer(const std::string& answer) {
    try {
        pt::ptree tree;
        ReadJsonTree(answer, tree);
        return true;
    } catch (const pt::json_parser_error& e) {
        std::cerr << "JSON parsing error: " << e.message() << " at line " << e.line() << "\n";
    } catch (const pt::ptree_bad_path& e) {
        std::cerr << "Error accessing path: " << e.what() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "An unexpected error occurred: " << e.what() << "\n";
    }
    return false;
}

}  // namespace db
