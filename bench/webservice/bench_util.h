// Shared pieces of the web service benchmarks: a temporary folder and direct statements on the
// same database file.
#pragma once

#include <sqlite3.h>

#include <string>

// A folder removed with its content at the end.
class BenchDir {
public:
    BenchDir();
    ~BenchDir();
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// Runs `sql` directly, stepping through every row and reading each column as text (what the
// service does to answer); the number of rows, or -1 on error.
long DirectRun(sqlite3* db, const std::string& sql);
