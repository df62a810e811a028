#include "db/answer_reader.h"

#include "db/json_tree.h"

#include "support/file_log_msg.h"

#include <strings.h>
#include <algorithm>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace pt = boost::property_tree;

namespace {

bool ParseJson(const std::string& text, pt::ptree& tree) {
    db::ReadJsonTree(text, tree);
    return true;
}

bool IsClsid(const std::string& name) {
    return strcasecmp(name.c_str(), "clsid") == 0;
}

// The "primary_key" member read as an integer the way the tree's own reader does (blanks
// around it allowed); one that is not an integer fails the answer.
int KeyFlag(const pt::ptree& value) {
    std::istringstream in(value.data());
    int flag = 0;
    in >> flag;
    if (!in.eof()) in >> std::ws;
    if (in.fail() || in.get() != std::char_traits<char>::eof())
        throw pt::ptree_bad_data("primary_key is not an integer", value.data());
    return flag;
}

FieldInfo ReadField(const pt::ptree& column, std::size_t position) {
    FieldInfo f;
    for (const auto& [key, value] : column) {
        if (key == "name")
            f.name = value.data();
        else if (key == "max_length")
            f.max_length = static_cast<int>(std::atol(value.data().c_str()));
        else if (key == "type")
            f.type = value.data();
        else if (key == "default")
            f.defaultIsNull = value.data() == "null";
        else if (key == "primary_key")
            f.primaryKey = KeyFlag(value) == 0;
    }
    f.index = static_cast<std::int16_t>(position);
    return f;
}

// Decimal digits only, no sign, at most 4294967295.
bool ParseTotal(const std::string& text, std::uint32_t& total) {
    if (text.empty() || text.size() > 10) return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (v > UINT32_MAX) return false;
    total = static_cast<std::uint32_t>(v);
    return true;
}

bool HasName(const std::map<int, std::string>& columns, const std::string& name) {
    return std::any_of(columns.begin(), columns.end(),
                       [&](const auto& entry) { return entry.second == name; });
}

}  // namespace

namespace db {

bool ReadTableInfo(const std::string& answer, FieldList& fields) {
    try {
        pt::ptree tree;
        ParseJson(answer, tree);
        for (const auto& [key, column] : tree.get_child("AUTOCODE"))
            fields.push_back(ReadField(column, fields.size()));
        return true;
    } catch (const pt::ptree_error&) {
        return false;
    }
}

std::uint32_t ReadRowCount(const std::string& answer) {
    try {
        pt::ptree tree;
        ParseJson(answer, tree);
        const auto text = tree.get_optional<std::string>("AUTOCODE.total");
        std::uint32_t total = 0;
        return text && ParseTotal(*text, total) ? total : 0;
    } catch (const pt::ptree_error&) {
        return 0;
    }
}

void ColumnNamesByPosition(const FieldList& fields, std::map<int, std::string>& names) {
    for (const auto& f : fields) {
        if (!IsClsid(f.name)) names[static_cast<int>(names.size())] = f.name;
    }
}

}  // namespace db

bool UpdateTableData(const std::string& answer, std::map<int, std::string>* columns,
                     std::map<std::string, std::string>* rows) {
    if (!rows) return false;
    rows->clear();
    try {
        pt::ptree tree;
        ParseJson(answer, tree);
        long counter = 0;
        for (const auto& [unused, row] : tree.get_child("AUTOCODE")) {
            std::string key, text;
            for (const auto& [name, value] : row) {
                const bool clsid = IsClsid(name);
                if (columns && !clsid && !HasName(*columns, name))
                    (*columns)[static_cast<int>(columns->size())] = name;
                if (clsid) {
                    char number[32];
                    std::snprintf(number, sizeof number, "%08ld", ++counter);
                    key += number + ("_" + value.data());
                } else {
                    text += value.data() + ";";
                }
            }
            (*rows)[key] = text;
            CFileLogMsg::GetInstance()->WriteLog(LOG_INFO,
                                                 " CMySQLUtil::UpdateTableData::[%s]{%s}\r\n\r\n",
                                                 key.c_str(), text.c_str());
        }
        return true;
    } catch (const pt::ptree_error&) {
        return false;
    }
}
