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
    ReadJsonTree(text, tree);
    return true;
}

bool IsClsid(const std::string& name) {
    return strcasecmp(name.c_str(), "clsid") == 0;
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
            f.primaryKey = value.get_value<int>() == 0;
    }
    f.index = static_cast<std::int16_t>(position);
    return f;
}

bool HasName(const std::map<int, std::string>& columns, const std::string& name) {
    return std::any_of(columns.begin(), columns.end(),
                       [&](const auto& entry) { return entry.second == name; });
}

}  // namespace

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

int ReadRowCount(const std::string& answer) {
    try {
        pt::ptree tree;
        ParseJson(answer, tree);
        return tree.get<int>("AUTOCODE.total", 0);
    } catch (const pt::ptree_error&) {
        return 0;
    }
}

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

void ColumnNamesByPosition(const FieldList& fields, std::map<int, std::string>& names) {
    for (const auto& f : fields) {
        if (!IsClsid(f.name)) names[static_cast<int>(names.size())] = f.name;
    }
}
