// Shared piece of the web service benchmarks: direct statements on the service's database file.
#pragma once

#include <sqlite3.h>

#include <string>

// Runs `sql` directly, stepping through every row and reading each column as text (what the
// service does to answer); the number of rows, or -1 on error.
long DirectRun(sqlite3* db, const std::string& sql);
