#include "bench_util.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

BenchDir::BenchDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "velkor-bench-XXXXXX").string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) throw std::runtime_error("mkdtemp failed");
    m_path = name.data();
}

BenchDir::~BenchDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

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
