// The SQL texts of one browser page and of its row count. The browser never writes SQL: it
// hands over the parts of a request and these builders compose the exact texts the service
// and its logs expect. Values are escaped (sqltext::Quoted) and names and operators checked,
// so a builder answers nothing rather than a statement that would mean something else.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

// The fixed filter that restricts a page or a count (the owner condition).
struct FixedFilter {
    std::string column;  // not given ("" or "None"): no fixed filter
    std::string value;
    bool numeric = false;  // compared without quotes; the value must then be a number
};

struct PageRequest {
    std::string table;
    int rowStart = 0;
    std::uint16_t rowCount = 0;                           // 0: no row window
    const std::map<int, std::string>* columns = nullptr;  // null or empty: every column
    FixedFilter fixed;
    std::string searchColumn, searchOperator, searchValue;
    std::string orderColumn, orderDirection;
};

struct CountRequest {
    std::string table;
    std::string searchColumn, searchType, searchOperator, searchValue;
    FixedFilter fixed;
};

namespace db {

// "select ... from <table>" with its where, order and limit tail; nothing when a name,
// operator, direction or value cannot be placed safely.
std::optional<std::string> BuildSelectText(const PageRequest& request);

// "SELECT COUNT(*) as total FROM <table>" with its where tail; nothing as above.
std::optional<std::string> BuildCountText(const CountRequest& request);

// The query text of a QUERY request: the SQL alone, or followed by " LIMIT start, count "
// when count is not 0.
std::string WithRowWindow(const std::string& sql, long rowStart, long rowCount);

}  // namespace db
