#include "db/query_builder.h"

#include "db/sql_text.h"

#include <cstdio>

namespace db {

using sqltext::IsGiven;

namespace {

// The request's parts, checked and turned into the texts S, O, FF and J of the page query.
struct Pieces {
    bool opGiven = false, searchGiven = false;
    bool orderColGiven = false, dirGiven = false;
    bool fixedGiven = false, numeric = false;
    std::string S, O, FF, J, L;
};

std::optional<std::string> FixedText(const FixedFilter& f) {
    if (!sqltext::IsIdentifier(f.column)) return std::nullopt;
    if (f.numeric) {
        if (!sqltext::IsNumber(f.value)) return std::nullopt;
        return f.column + "=" + f.value;
    }
    auto q = sqltext::Quoted(f.value);
    if (!q) return std::nullopt;
    return f.column + "=" + *q;
}

std::optional<Pieces> MakePieces(const PageRequest& r) {
    Pieces p;
    p.opGiven = IsGiven(r.searchOperator);
    if (p.opGiven && !sqltext::IsComparison(r.searchOperator)) return std::nullopt;
    // A search needs its operator; without one the column is ignored.
    p.searchGiven = IsGiven(r.searchColumn) && p.opGiven;
    if (p.searchGiven) {
        auto q = sqltext::Quoted(r.searchValue);
        if (!sqltext::IsIdentifier(r.searchColumn) || !q) return std::nullopt;
        p.S = r.searchColumn + r.searchOperator + *q;
    }
    p.orderColGiven = IsGiven(r.orderColumn);
    p.dirGiven = IsGiven(r.orderDirection);
    if (p.orderColGiven && !sqltext::IsIdentifier(r.orderColumn)) return std::nullopt;
    if (p.dirGiven && !sqltext::IsDirection(r.orderDirection)) return std::nullopt;
    // A direction without a column cannot be ordered by.
    if (!p.orderColGiven) p.dirGiven = false;
    p.O = r.orderColumn + " " + (p.dirGiven ? r.orderDirection : "") + " ";
    p.fixedGiven = IsGiven(r.fixed.column);
    p.numeric = r.fixed.numeric;
    if (p.fixedGiven) {
        auto ff = FixedText(r.fixed);
        if (!ff) return std::nullopt;
        p.FF = *ff;
        p.J = p.numeric ? "  and " : " and ";
    }
    if (r.rowCount != 0) {
        char buf[64];
        std::snprintf(buf, sizeof buf, " LIMIT %ld, %d ", static_cast<long>(r.rowStart),
                      static_cast<int>(r.rowCount));
        p.L = buf;
    }
    return p;
}

std::string TailWithoutFilter(const Pieces& p, bool window) {
    const bool both = p.orderColGiven && p.dirGiven;
    if (window) {
        if (p.opGiven && p.searchGiven)
            return both ? " where " + p.S + " " + "  ORDER BY " + p.O + p.L
                        : " where " + p.S + " " + p.L;
        if (p.opGiven) return both ? " ORDER BY " + p.O + p.L : p.L;
        if (both) return " ORDER BY " + p.O + p.L;
        return p.orderColGiven ? p.L : " " + p.L;
    }
    if (p.searchGiven) return both ? " where " + p.S + " ORDER BY " + p.O : " where " + p.S + ";";
    return both ? " ORDER BY " + p.O : "";
}

std::string TailWithFilter(const Pieces& p, bool window) {
    const std::string gap = p.numeric ? "  " : " ";
    const std::string where = " where " + p.FF;
    if (window) {
        if (p.opGiven && p.searchGiven)
            return p.dirGiven ? where + p.J + p.S + " " + " ORDER BY " + p.O + p.L
                              : where + p.J + p.S + " " + p.L;
        return p.dirGiven ? where + " " + " ORDER BY " + p.O + p.L : where + gap + p.L;
    }
    if (p.searchGiven) {
        return p.orderColGiven && p.dirGiven ? where + p.J + p.S + " ORDER BY " + p.O
                                             : where + p.J + p.S + " ";
    }
    return p.orderColGiven ? where + gap + "  ORDER BY " + p.O : where + gap;
}

std::optional<std::string> Head(const PageRequest& r) {
    if (!r.columns || r.columns->empty()) return std::string("select * from ");
    std::string head = "select clsid , ";
    for (const auto& [key, name] : *r.columns) {
        if (!sqltext::IsIdentifier(name)) return std::nullopt;
        head += name + " , ";
    }
    head.erase(head.rfind(','));
    return head + " from ";
}

}  // namespace

std::optional<std::string> BuildSelectText(const PageRequest& r) {
    if (!sqltext::IsTableName(r.table)) return std::nullopt;
    auto head = Head(r);
    auto p = MakePieces(r);
    if (!head || !p) return std::nullopt;
    const bool window = r.rowCount != 0;
    return *head + r.table +
           (p->fixedGiven ? TailWithFilter(*p, window) : TailWithoutFilter(*p, window));
}

std::optional<std::string> BuildCountText(const CountRequest& r) {
    if (!sqltext::IsTableName(r.table)) return std::nullopt;
    std::string sql = "SELECT COUNT(*) as total FROM " + r.table;
    const bool opGiven = IsGiven(r.searchOperator);
    if (opGiven && !sqltext::IsComparison(r.searchOperator)) return std::nullopt;
    const bool search = IsGiven(r.searchColumn) && opGiven;
    const bool fixed = IsGiven(r.fixed.column);
    std::string cond;
    if (search) {
        if (!sqltext::IsIdentifier(r.searchColumn)) return std::nullopt;
        cond = r.searchColumn + (fixed ? " " : "") + r.searchOperator;
        // Numbers on numeric columns stand bare; anything else is compared as quoted text,
        // as the page query compares it.
        if (!sqltext::IsTextType(r.searchType) && sqltext::IsNumber(r.searchValue)) {
            cond += r.searchValue;
        } else {
            auto q = sqltext::Quoted(r.searchValue);
            if (!q) return std::nullopt;
            cond += " " + *q;
        }
    }
    if (fixed) {
        auto ff = FixedText(r.fixed);
        if (!ff) return std::nullopt;
        cond = search ? cond + " and " + *ff : *ff;
    }
    if (!cond.empty()) sql += " where " + cond;
    return sql;
}

std::string WithRowWindow(const std::string& sql, long rowStart, long rowCount) {
    if (rowCount == 0) return sql;
    char buf[64];
    std::snprintf(buf, sizeof buf, " LIMIT %ld, %ld ", rowStart, rowCount);
    return sql + buf;
}

}  // namespace db
