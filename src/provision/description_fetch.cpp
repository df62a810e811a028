#include "provision/description_fetch.h"

#include "net/curl_transfer.h"

namespace provision {
namespace {

struct Sink {
    std::string* body;
    std::size_t limit;
};

// Takes the body as long as it stays within the limit; past it the transfer is aborted.
std::size_t BoundedWrite(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t n = size * count;
    if (sink->body->size() + n > sink->limit) return 0;
    sink->body->append(data, n);
    return n;
}

}  // namespace

DescriptionFetcher::DescriptionFetcher(FetchLimits limits)
    : m_limits(limits), m_handle(std::make_unique<CurlEasy>()) {}

DescriptionFetcher::~DescriptionFetcher() = default;

bool DescriptionFetcher::Fetch(const std::string& url, std::string& body) {
    CURL* h = m_handle->get();
    if (!h) return false;
    std::string received;
    Sink sink{&received, m_limits.maxBytes};
    curl_easy_reset(h);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(h, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, m_limits.timeoutMs);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, m_limits.connectTimeoutMs);
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_limits.maxBytes));
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &BoundedWrite);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    if (curl_easy_perform(h) != CURLE_OK) return false;
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) return false;
    body = std::move(received);
    return true;
}

}  // namespace provision
