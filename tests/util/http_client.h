// A plain libcurl client for tests and benchmarks that talk to our services on loopback: the
// reference against which our own HTTP client is measured, and the way tests send exactly
// the bytes they mean.
#pragma once

#include <string>

namespace testutil {

struct HttpAnswer {
    long status = 0;  // 0 when no answer came (connection or transfer error, time-out)
    std::string body;
};

// One libcurl handle, reused between requests so that its connection stays open. Requests go
// the way the tool sends them: the body as POSTFIELDS (libcurl's default form content type,
// no headers of our own), the path exactly as written (no dot-segment clean-up), HTTP/1.1,
// 30 s at most per request. The peer's certificate is not verified, unless a CA file is given:
// then it must be signed by that file's certificate and name the host, as the tool checks its
// server's (so that a benchmark over HTTPS compares like with like).
class HttpClient {
public:
    explicit HttpClient(const std::string& caFile = "");
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    HttpAnswer Post(const std::string& url, const std::string& body);
    HttpAnswer Get(const std::string& url);

private:
    HttpAnswer Perform(const std::string& url);

    void* m_handle;  // CURL*
};

}  // namespace testutil
