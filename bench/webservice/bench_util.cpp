#include "bench_util.h"

namespace {
size_t Collect(char* data, size_t size, size_t count, void* sink) {
    static_cast<std::string*>(sink)->append(data, size * count);
    return size * count;
}
}  // namespace

HttpPeer::HttpPeer() : m_curl(curl_easy_init()) {}
HttpPeer::~HttpPeer() {
    curl_easy_cleanup(m_curl);
}

long HttpPeer::Perform(std::string& answer) {
    answer.clear();
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &answer);
    curl_easy_setopt(m_curl, CURLOPT_TIMEOUT, 30L);
    long status = 0;
    if (curl_easy_perform(m_curl) == CURLE_OK)
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

long HttpPeer::Post(const std::string& url, const std::string& body, std::string& answer) {
    curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(m_curl, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(m_curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    return Perform(answer);
}

long HttpPeer::Get(const std::string& url, std::string& answer) {
    curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(m_curl, CURLOPT_HTTPGET, 1L);
    return Perform(answer);
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
