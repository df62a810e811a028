// One column of a server table as its TABLEINFO answer describes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FieldInfo {
    std::string name;
    int max_length = 0;
    std::string type;            // "varchar", "text", "longvarchar" or a numeric type name
    bool defaultIsNull = false;  // the column's default is null
    std::string value;           // working text of the record editor, empty when built
    bool primaryKey = false;
    std::int16_t index = 0;  // position in its list
};

// The columns of one table, in the answer's order.
using FieldList = std::vector<FieldInfo>;
