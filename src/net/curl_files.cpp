// Transfers on the caller's thread: file downloads and plain GETs.
#include <cstdio>

#include "net/curl_util.h"
#include "net/local_file.h"
#include "support/crc_util.h"
#include "support/file_log_msg.h"

namespace {

CFileLogMsg* Log() {
    return CFileLogMsg::GetInstance();
}

}  // namespace

std::string CCurl_Util::DownloadUrl(const std::string& base, const std::string& remoteName) {
    boost::lock_guard<boost::mutex> g(m_configLock);
    if (base.empty()) return m_dataUrl + remoteName;
    m_dataUrl = base;  // stays the data address for later calls
    return m_dataUrl + "//" + remoteName;
}

bool CCurl_Util::HttpFileDownLoad(int timeout, bool /*secure*/, std::string base,
                                  std::string remoteName, std::string localPath,
                                  std::string* error) {
    const std::string url = DownloadUrl(base, remoteName);
    CurlEasy handle;
    return FetchFile(handle, timeout, url, localPath, 0, error);
}

// The body replaces localPath only after a 200 answer whose body arrived whole (and, when
// `crc` is not 0, matches it); until then any old copy stays as it was.
bool CCurl_Util::FetchFile(CurlEasy& handle, int timeout, const std::string& url,
                           const std::string& localPath, std::uint32_t crc, std::string* error) {
    std::string body;
    if (!FetchBody(handle, timeout, url, localPath, crc, body, error)) return false;
    return HoldsContent(localPath, body) || ReplaceFileAtomically(localPath, body, error);
}

// A 200 answer whose body arrived whole (and, when `crc` is not 0, matches it) into `body`.
bool CCurl_Util::FetchBody(CurlEasy& handle, int timeout, const std::string& url,
                           const std::string& localPath, std::uint32_t crc, std::string& body,
                           std::string* error) {
    if (!handle) return false;
    Log()->WriteLog(LOG_INFO, " CCurl_Util::HttpFileDownLoad:URL file:%s\r\n\r\n", url.c_str());
    Log()->WriteLog(LOG_INFO, " CCurl_Util::HttpFileDownLoad:Local File:%s\r\n\r\n",
                    localPath.c_str());
    const TlsSettings tls = CurrentTls();
    const AbortFlags abort{&m_stopping, nullptr};
    TransferResult result;
    net::PrepareTransfer(handle.get(), timeout, url, tls, &abort, result, nullptr);
    net::PerformTransfer(handle.get(), result);
    if (result.code != CURLE_OK) return false;
    if (result.status != 200) {
        Log()->WriteLog(LOG_INFO, " CCurl_Util::HttpFileDownLoad(200)::%s\r\n\r\n",
                        result.body.c_str());
        *error = result.body;
        return false;
    }
    if (!result.complete) {
        std::fprintf(stderr, "download of %s cut short\n", url.c_str());
        return false;
    }
    if (crc != 0) {
        const std::uint32_t got = CCrcUtil::GetInstance()->Crc32Update(
            0xFFFFFFFFu, reinterpret_cast<const unsigned char*>(result.body.data()),
            result.body.size());
        if (got != crc) {
            char text[160];
            std::snprintf(text, sizeof text,
                          "CRC mismatch of the downloaded file: %lu, expected %lu",
                          static_cast<unsigned long>(got), static_cast<unsigned long>(crc));
            *error = text;
            return false;
        }
    }
    body = std::move(result.body);
    return true;
}

bool CCurl_Util::HttpGet(int timeout, bool /*secure*/, std::string url, std::string* out,
                         std::string* error) {
    CurlEasy handle;
    if (!handle) return false;
    Log()->WriteLog(LOG_INFO, " CCurl_Util::HttpFileDownLoad:URL file:%s\r\n\r\n", url.c_str());
    const TlsSettings tls = CurrentTls();
    const AbortFlags abort{&m_stopping, nullptr};
    TransferResult result;
    net::PrepareTransfer(handle.get(), timeout, url, tls, &abort, result, nullptr);
    net::PerformTransfer(handle.get(), result);
    if (result.code != CURLE_OK) return false;
    if (result.status != 200) {
        Log()->WriteLog(LOG_INFO, " CCurl_Util::HttpFileDownLoad(200)::%s\r\n\r\n",
                        result.body.c_str());
        *error = result.body;
        return false;
    }
    *out = std::move(result.body);
    error->clear();
    return true;
}
