#include "http_client.h"

#include <curl/curl.h>

#include <mutex>
#include <stdexcept>

namespace testutil {

namespace {

size_t Collect(char* data, size_t size, size_t count, void* sink) {
    static_cast<std::string*>(sink)->append(data, size * count);
    return size * count;
}

// curl_easy_init would initialise libcurl itself, but not safely from several threads at once.
void* NewHandle() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
    return curl_easy_init();
}

}  // namespace

HttpClient::HttpClient(const std::string& caFile) : m_handle(NewHandle()) {
    if (!m_handle) throw std::runtime_error("curl_easy_init failed");
    curl_easy_setopt(m_handle, CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, &Collect);
    if (caFile.empty()) {
        curl_easy_setopt(m_handle, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(m_handle, CURLOPT_SSL_VERIFYHOST, 0L);
    } else {
        curl_easy_setopt(m_handle, CURLOPT_CAINFO, caFile.c_str());
    }
    curl_easy_setopt(m_handle, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(m_handle, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
}

HttpClient::~HttpClient() {
    curl_easy_cleanup(m_handle);
}

HttpAnswer HttpClient::Post(const std::string& url, const std::string& body) {
    curl_easy_setopt(m_handle, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(m_handle, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    return Perform(url);
}

HttpAnswer HttpClient::Get(const std::string& url) {
    curl_easy_setopt(m_handle, CURLOPT_HTTPGET, 1L);
    return Perform(url);
}

HttpAnswer HttpClient::Perform(const std::string& url) {
    HttpAnswer answer;
    curl_easy_setopt(m_handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, &answer.body);
    if (curl_easy_perform(m_handle) == CURLE_OK)
        curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &answer.status);
    return answer;
}

}  // namespace testutil
