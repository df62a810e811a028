#include "web_service.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "error_page.h"
#include "file_store.h"

namespace {

using Clock = std::chrono::steady_clock;

// One line per request on standard error: time, kind, status, duration.
void LogRequest(bool quiet, const std::string& kind, int status, Clock::time_point start) {
    if (quiet) return;
    static std::mutex lock;
    const double ms =
        std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &tm);
    std::lock_guard<std::mutex> guard(lock);
    std::fprintf(stderr, "%s %.20s %d %.3f ms\n", stamp, kind.c_str(), status, ms);
}

void SendError(httplib::Response& res, const ServiceError& error) {
    res.status = error.status;
    res.set_content(webservice::ErrorPage(error), "text/html; charset=utf-8");
}

// Words for the statuses the HTTP layer itself answers (size limit, unknown path, ...).
ServiceError ErrorForStatus(int status) {
    switch (status) {
        case 413:
            return {413, "Request too large", "The request is larger than this service accepts."};
        case 404: return {404, "Not found", "There is nothing at this address."};
        case 405:
            return {405, "Method not allowed", "This address does not take that kind of request."};
        default:
            return {status, "Request failed",
                    "The service could not handle the request (HTTP " + std::to_string(status) +
                        ")."};
    }
}

}  // namespace

WebService::WebService(ServiceOptions options) : m_options(std::move(options)) {}

WebService::~WebService() { Stop(); }

std::string WebService::BaseUrl() const {
    return std::string(Secure() ? "https" : "http") + "://" + m_options.host + ":" +
           std::to_string(m_port);
}

bool WebService::Start(std::string& error) {
    if (!m_database.Open(m_options.database, m_options.connections, error)) return false;
    if (Secure())
        m_server = std::make_unique<httplib::SSLServer>(m_options.certFile.c_str(),
                                                        m_options.keyFile.c_str());
    else
        m_server = std::make_unique<httplib::Server>();
    if (!m_server->is_valid()) {
        error = "cannot load the certificate " + m_options.certFile + " or key " +
                m_options.keyFile;
        return false;
    }
    const size_t threads = static_cast<size_t>(std::max(1, m_options.threads));
    m_server->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    m_server->set_payload_max_length(m_options.bodyLimit);
    m_server->set_tcp_nodelay(true);  // headers and body go out as separate writes
    // A client keeps one connection per worker: let it serve many requests, not the library's 5.
    m_server->set_keep_alive_max_count(100000);
    InstallRoutes();
    m_port = m_options.port == 0 ? m_server->bind_to_any_port(m_options.host)
                                 : (m_server->bind_to_port(m_options.host, m_options.port)
                                        ? m_options.port
                                        : -1);
    if (m_port <= 0) {
        error = "cannot listen on " + m_options.host + ":" + std::to_string(m_options.port);
        return false;
    }
    m_listenEnded = false;
    m_listener = std::thread([this] {
        m_server->listen_after_bind();
        m_listenEnded = true;
    });
    // stop() is a no-op until the listener runs, so Stop right after Start would never end.
    while (!m_server->is_running() && !m_listenEnded)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (m_listenEnded) error = "the listener ended at once";
    return !m_listenEnded;
}

void WebService::Stop() {
    if (m_server) m_server->stop();
    if (m_listener.joinable()) m_listener.join();
}

void WebService::InstallRoutes() {
    const std::string requestPath = webservice::CollapseSlashes(m_options.requestPath);
    // The tool posts its record with libcurl's default form content type; reading the body
    // through a content reader keeps the HTTP library from applying its 8 KiB limit for form
    // bodies (the service's own body limit still holds through set_payload_max_length).
    m_server->Post(".*", [this, requestPath](const httplib::Request& req,
                                             httplib::Response& res,
                                             const httplib::ContentReader& content) {
        const auto start = Clock::now();
        std::string body;
        content([&body](const char* data, size_t length) {
            body.append(data, length);
            return true;
        });
        if (webservice::CollapseSlashes(req.path) != requestPath) {
            SendError(res, {404, "Unknown address",
                            "Database requests go to " + requestPath + ", not " + req.path + "."});
            LogRequest(m_options.quiet, "-", res.status, start);
            return;
        }
        CommandAnswer answer = webservice::RunDbCommand(m_database, body, m_options.limits);
        res.status = answer.status;
        res.set_content(std::move(answer.body), answer.IsError() ? "text/html; charset=utf-8"
                                                                 : "application/json");
        LogRequest(m_options.quiet, answer.kind, res.status, start);
    });
    m_server->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        const auto start = Clock::now();
        std::string file, content;
        ServiceError error;
        if (webservice::ResolveDataFile(m_options.dataFolder, req.path, file, error) &&
            webservice::ReadDataFile(file, m_options.fileLimit, content, error)) {
            res.set_content(std::move(content), "application/octet-stream");
            res.status = 200;
        } else {
            SendError(res, error);
        }
        LogRequest(m_options.quiet, "FILE", res.status, start);
    });
    using Handled = httplib::Server::HandlerResponse;
    m_server->set_error_handler(httplib::Server::HandlerWithResponse(
        [this](const httplib::Request&, httplib::Response& res) {
            if (!res.body.empty()) return Handled::Unhandled;
            SendError(res, ErrorForStatus(res.status));
            if (res.status == 413) LogRequest(m_options.quiet, "-", res.status, Clock::now());
            return Handled::Handled;
        }));
    m_server->set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            SendError(res, {500, "Service error", "The service failed to answer the request."});
        });
}
