// A small HTTP(S) server on an ephemeral loopback port for the client's tests: answers that
// echo, error pages, slow answers, files, cut-off bodies, a gate that holds an answer back,
// and a log of every path it was asked for.
#pragma once

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace testutil {

// A self-signed certificate for 127.0.0.1 (and its key) made with the openssl tool.
struct TestCertificate {
    explicit TestCertificate(const std::string& folder);
    std::string certFile;
    std::string keyFile;
};

class LoopbackServer {
public:
    // Plain HTTP, or HTTPS with the given certificate.
    LoopbackServer();
    explicit LoopbackServer(const TestCertificate& cert);
    ~LoopbackServer();

    std::string Url() const;  // "http://127.0.0.1:PORT" (or https)
    int Port() const { return m_port; }

    // GET <path> answers 200 with `content` (path as the client sends it, slashes kept).
    void SetFile(const std::string& path, const std::string& content);
    // Paths asked for so far, in order.
    std::vector<std::string> Requests() const;
    // GET /gate answers 404 "held" only once Open() was called.
    void OpenGate();

    // Routes: POST /echo -> "echo:" + body; POST /slow?ms=N -> the same after N ms;
    // POST /page500 -> 500 with a container of two paragraphs; POST /plain500 -> 500 without;
    // GET /cut -> announces 100000 bytes and drops the connection after 1000.
private:
    void Routes();
    void Start();

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    bool m_secure = false;
    mutable std::mutex m_mutex;
    std::condition_variable m_gateCond;
    bool m_gateOpen = false;
    std::map<std::string, std::string> m_files;
    std::vector<std::string> m_requests;
};

}  // namespace testutil
