// The reference web service for the table layer's end-to-end tests and benchmark: started in
// this process on an ephemeral loopback port, on a copy of a seeded SQLite database.
#pragma once

#include <memory>
#include <string>

class WebService;

namespace dbpeer {

// User "ann" (user_id 1001) owns `rows` rows of Velkor_ESP32; user 5 owns 1,000 more with the
// same names. Built once per row count under `cacheDir` and reused; returns its path.
std::string SeededDatabase(const std::string& cacheDir, int rows);

class ServicePeer {
public:
    // Serves a copy of `database` made in `folder` (which also holds the data folder).
    ServicePeer(const std::string& database, const std::string& folder, int statementMs = 5000);
    ~ServicePeer();
    ServicePeer(const ServicePeer&) = delete;
    ServicePeer& operator=(const ServicePeer&) = delete;

    std::string BaseUrl() const;
    std::string PostUrl() const { return BaseUrl() + "//api//example//jsondata"; }
    const std::string& DatabasePath() const { return m_database; }

private:
    std::string m_database;
    std::unique_ptr<WebService> m_service;
};

// The program folder of a client: AppConfig.ini pointing at `baseUrl` with the given wait
// (x 100 ms), and the executable's path set there.
void WriteClientConfig(const std::string& folder, const std::string& baseUrl,
                       const std::string& respWait);

// A listening socket that never answers: requests to it wait until their time-out.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    std::string BaseUrl() const;

private:
    int m_fd = -1;
    int m_port = 0;
};

}  // namespace dbpeer
