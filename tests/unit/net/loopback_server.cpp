#include "loopback_server.h"

#include <httplib.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace testutil {

TestCertificate::TestCertificate(const std::string& folder)
    : certFile(folder + "/cert.pem"), keyFile(folder + "/key.pem") {
    const std::string cmd =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
        "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
        keyFile + " -out " + certFile + " >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) throw std::runtime_error("openssl req failed");
}

LoopbackServer::LoopbackServer() : m_server(std::make_unique<httplib::Server>()) {
    Start();
}

LoopbackServer::LoopbackServer(const TestCertificate& cert)
    : m_server(std::make_unique<httplib::SSLServer>(cert.certFile.c_str(), cert.keyFile.c_str())),
      m_secure(true) {
    Start();
}

LoopbackServer::~LoopbackServer() {
    OpenGate();
    m_server->stop();
    if (m_thread.joinable()) m_thread.join();
}

void LoopbackServer::Start() {
    m_server->set_keep_alive_max_count(100000);
    m_server->set_tcp_nodelay(true);  // else small answers wait for delayed ACKs
    Routes();
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0) throw std::runtime_error("cannot bind a loopback port");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    while (!m_server->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::string LoopbackServer::Url() const {
    return std::string(m_secure ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port);
}

void LoopbackServer::SetFile(const std::string& path, const std::string& content) {
    std::lock_guard<std::mutex> g(m_mutex);
    m_files[path] = content;
}

std::vector<std::string> LoopbackServer::Requests() const {
    std::lock_guard<std::mutex> g(m_mutex);
    return m_requests;
}

void LoopbackServer::OpenGate() {
    std::lock_guard<std::mutex> g(m_mutex);
    m_gateOpen = true;
    m_gateCond.notify_all();
}

void LoopbackServer::Routes() {
    using httplib::Request;
    using httplib::Response;
    m_server->set_pre_routing_handler([this](const Request& req, Response&) {
        std::lock_guard<std::mutex> g(m_mutex);
        m_requests.push_back(req.path);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    m_server->Post("/echo", [](const Request& req, Response& res) {
        res.set_content("echo:" + req.body, "text/plain");
    });
    m_server->Post("/slow", [](const Request& req, Response& res) {
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::stoi(req.get_param_value("ms"))));
        res.set_content("echo:" + req.body, "text/plain");
    });
    m_server->Post("/page500", [](const Request&, Response& res) {
        res.status = 500;
        res.set_content(
            "<html><body><div id=\"container\"><p>Bad query</p><p>near \"FORM\"</p></div>"
            "</body></html>",
            "text/html");
    });
    m_server->Post("/plain500", [](const Request&, Response& res) {
        res.status = 500;
        res.set_content("<html><body><h1>Internal Server Error</h1></body></html>", "text/html");
    });
    m_server->Get("/cut", [](const Request&, Response& res) {
        res.set_content_provider(100000, "application/octet-stream",
                                 [](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset > 0) return false;  // drop the connection
                                     std::string part(1000, 'x');
                                     sink.write(part.data(), part.size());
                                     return true;
                                 });
    });
    m_server->Get("/gate", [this](const Request&, Response& res) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_gateCond.wait(lock, [this] { return m_gateOpen; });
        res.status = 404;
        res.set_content("held", "text/plain");
    });
    m_server->Get(".*", [this](const Request& req, Response& res) {
        std::lock_guard<std::mutex> g(m_mutex);
        auto it = m_files.find(req.path);
        if (it == m_files.end()) {
            res.status = 404;
            res.set_content("no such file: " + req.path, "text/plain");
        } else {
            res.set_content(it->second, "application/octet-stream");
        }
    });
}

}  // namespace testutil
