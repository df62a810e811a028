// An in-process stand-in for the web service's database command: it reads a request body
// back, runs its SQL on an in-memory SQLite database and answers in the service's JSON
// shapes. Lets the statement builders be checked for meaning, not only for text.
#pragma once

#include "db/table_requests.h"

#include <sqlite3.h>
#include <string>
#include <vector>

class SqlitePeer {
public:
    SqlitePeer();
    ~SqlitePeer();
    SqlitePeer(const SqlitePeer&) = delete;
    SqlitePeer& operator=(const SqlitePeer&) = delete;

    // Runs statements directly (fixtures); fails the test on an error.
    void Exec(const std::string& sql);
    // All rows of a query, each row's values joined by '|' (NULL reads "NULL").
    std::vector<std::string> Rows(const std::string& sql);

    // A transport answering request bodies; every SQL text received is kept in Received().
    db::PostFn Post();
    const std::vector<std::string>& Received() const { return m_received; }

private:
    bool Answer(const std::string& body, std::string* answer);

    sqlite3* m_db = nullptr;
    std::vector<std::string> m_received;
};
