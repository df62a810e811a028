#include "bench_util.h"

long DirectRun(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return -1;
    long rows = 0;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        ++rows;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) sqlite3_column_text(stmt, i);
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? rows : -1;
}
