// Shared pieces of the web service benchmarks: a kept-alive libcurl client and direct
// statements on the same database file.
#pragma once

#include <curl/curl.h>
#include <sqlite3.h>

#include <string>

// One connection to the service, reused between requests.
class HttpPeer {
public:
    HttpPeer();
    ~HttpPeer();
    HttpPeer(const HttpPeer&) = delete;
    HttpPeer& operator=(const HttpPeer&) = delete;
    // Status of a POST of `body` (0 on a transfer error); the answer goes to `answer`.
    long Post(const std::string& url, const std::string& body, std::string& answer);
    long Get(const std::string& url, std::string& answer);

private:
    long Perform(std::string& answer);
    CURL* m_curl;
};

// Runs `sql` directly, stepping through every row and reading each column as text (what the
// service does to answer); the number of rows, or -1 on error.
long DirectRun(sqlite3* db, const std::string& sql);
