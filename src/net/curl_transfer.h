// The libcurl plumbing shared by every transfer of the HTTP client: the process-wide
// initialisation, an owned easy handle that keeps its connections between transfers, the
// options every transfer sets, and the error text of a non-200 answer.
#pragma once

#include <atomic>
#include <string>

#include <curl/curl.h>

struct TlsSettings {
    bool verify = true;  // peer certificate and host name
    std::string caFile;  // PEM bundle to trust instead of the system's; empty: the system's
};

// One easy handle with one owner. Reset before each transfer, it keeps its live connections
// and TLS session cache, so a second request to the same server needs no new handshake.
class CurlEasy {
public:
    CurlEasy();
    ~CurlEasy();
    CurlEasy(const CurlEasy&) = delete;
    CurlEasy& operator=(const CurlEasy&) = delete;

    CURL* get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    CURL* m_handle;
};

// What stops a running transfer at libcurl's next progress call (at least once a second, also
// while the peer sends nothing): either flag turning true. A null flag never does.
struct AbortFlags {
    const std::atomic<bool>* stopping = nullptr;  // the client is going away
    const std::atomic<bool>* givenUp = nullptr;   // nobody waits for this transfer any more
};

struct TransferResult {
    CURLcode code = CURLE_OK;
    long status = 0;
    std::string body;
    bool complete = true;  // the body is as long as the announced length
};

namespace net {

// libcurl's global initialisation (CURL_GLOBAL_ALL), once per process; never undone.
void CurlGlobalInitOnce();

// Resets `handle` and sets what every transfer uses: time-out in seconds, write callback into
// result.body, HTTP/1.1, the URL, TLS verification, no signals; `abort` (which must outlive
// the transfer) stops it early. POSTs `body` when `post` is given.
void PrepareTransfer(CURL* handle, int timeoutSeconds, const std::string& url,
                     const TlsSettings& tls, const AbortFlags* abort, TransferResult& result,
                     const std::string* post);

// Performs a prepared transfer; prints "curl_easy_perform() failed: ..." on failure.
void PerformTransfer(CURL* handle, TransferResult& result);

// The text shown for a non-200 answer: up to three child texts of the page's "container"
// element, each followed by CR LF, or "Known Error From Remote Server!" without one.
std::string ErrorTextFromPage(const std::string& page);

}  // namespace net
