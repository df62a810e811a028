// The reference web service: POSTs to the request path are database commands, GETs are files
// of the data folder; plain HTTP, or HTTPS when a certificate and key are given.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <thread>

#include "database.h"
#include "db_commands.h"

namespace httplib {
class Server;
}

struct ServiceOptions {
    std::string host = "127.0.0.1";
    int port = 0;  // 0: any free port
    std::string database;
    std::string dataFolder;
    std::string certFile;  // both given: HTTPS
    std::string keyFile;
    std::string requestPath = "//api//example//jsondata";  // slashes collapsed when compared
    size_t bodyLimit = 256u << 10;
    size_t fileLimit = 256u << 20;
    CommandLimits limits;
    int threads = 40;      // request threads (each keep-alive connection holds one)
    int connections = 8;   // pooled database connections
    bool quiet = false;    // no request log lines
};

class WebService {
public:
    explicit WebService(ServiceOptions options);
    ~WebService();
    WebService(const WebService&) = delete;
    WebService& operator=(const WebService&) = delete;

    // Opens the database, binds and starts serving on a thread of its own.
    bool Start(std::string& error);
    void Stop();
    int Port() const { return m_port; }
    bool Secure() const { return !m_options.certFile.empty(); }
    // "http://127.0.0.1:PORT" (or https).
    std::string BaseUrl() const;

private:
    void InstallRoutes();

    ServiceOptions m_options;
    Database m_database;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_listener;
    std::atomic<bool> m_listenEnded{false};
    int m_port = 0;
};
