#include "net/curl_transfer.h"

#include <cstdio>
#include <mutex>

#include "net/curl_util.h"
#include "net/html_parser.h"

void net::CurlGlobalInitOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

CurlEasy::CurlEasy() : m_handle((net::CurlGlobalInitOnce(), curl_easy_init())) {}

CurlEasy::~CurlEasy() {
    if (m_handle) curl_easy_cleanup(m_handle);
}

namespace {

bool IsSet(const std::atomic<bool>* flag) {
    return flag && flag->load();
}

int AbortWhenSet(void* flags, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* abort = static_cast<const AbortFlags*>(flags);
    return IsSet(abort->stopping) || IsSet(abort->givenUp) ? 1 : 0;
}

}  // namespace

namespace net {

void PrepareTransfer(CURL* handle, int timeoutSeconds, const std::string& url,
                     const TlsSettings& tls, const AbortFlags* abort, TransferResult& result,
                     const std::string* post) {
    curl_easy_reset(handle);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, static_cast<long>(timeoutSeconds));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &CCurl_Util::CurlWriteCallback);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &result.body);
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    if (post) {
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(post->size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, post->c_str());
    }
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, tls.verify ? 1L : 0L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, tls.verify ? 2L : 0L);
    if (!tls.caFile.empty()) curl_easy_setopt(handle, CURLOPT_CAINFO, tls.caFile.c_str());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);  // worker threads: no SIGALRM time-outs
    if (abort) {
        curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &AbortWhenSet);
        curl_easy_setopt(handle, CURLOPT_XFERINFODATA, abort);
        curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    }
}

void PerformTransfer(CURL* handle, TransferResult& result) {
    result.code = curl_easy_perform(handle);
    if (result.code != CURLE_OK) {
        std::fprintf(stderr, "curl_easy_perform() failed: %s\n", curl_easy_strerror(result.code));
        return;
    }
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &result.status);
    curl_off_t announced = -1;
    curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    result.complete = announced < 0 || static_cast<curl_off_t>(result.body.size()) == announced;
}

std::string ErrorTextFromPage(const std::string& page) {
    auto document = HtmlParser().Parse(page.data(), page.size());
    auto container = document->GetElementById("container");
    if (!container) return "Known Error From Remote Server!";
    std::string text;
    for (std::size_t i = 0; i < container->children.size() && i < 3; ++i) {
        const std::string part = container->children[i]->GetText();
        if (!part.empty()) text += part + "\r\n";
    }
    return text;
}

}  // namespace net
