// The download service: one thread works through the queued files in order, fetching each
// that is missing, has no known CRC or fails its CRC check; the first failure ends the run.
#include <cstdio>

#include "net/curl_util.h"
#include "net/file_replacer.h"
#include "net/local_file.h"
#include "platform/paths.h"
#include "support/file_log_msg.h"

namespace {

CFileLogMsg* Log() {
    return CFileLogMsg::GetInstance();
}

}  // namespace

void CCurl_Util::AddDownloadItem(std::string key, DownloadItem item) {
    boost::lock_guard<boost::mutex> g(m_listLock);
    m_downloadList.emplace_back(std::move(key), std::move(item));
}

bool CCurl_Util::StartDownloadService() {
    boost::lock_guard<boost::mutex> g(m_listLock);
    if (m_downloadList.empty() || m_downloadRunning) return false;
    if (m_downloadThread.joinable()) m_downloadThread.join();  // the last run has ended
    m_downloadRunning = true;  // so a poll right after the start sees the run
    m_downloadThread = boost::thread(CDowloadServiceThreadAdapter(this));
    return true;
}

bool CCurl_Util::GetDownloadProgress(std::string* text) {
    if (!m_downloadRunning) return false;
    text->clear();
    m_progressQueue.TryPop(*text);
    return true;
}

bool CCurl_Util::NeedsDownload(const DownloadItem& item) {
    if (!platform::PathExists(item.localPath)) return true;
    if (item.crc == 0) return true;
    std::uint32_t local = 0;
    const bool readable = FileCrc32(item.localPath, local);
    if (readable && local == item.crc) {
        Log()->WriteLog(LOG_INFO,
                        "CCurl_Util::HttpDowloadService::{File(%s)CRC Matched}Remote:%lu-Local:%lu",
                        item.localPath.c_str(), static_cast<unsigned long>(item.crc),
                        static_cast<unsigned long>(local));
        return false;
    }
    Log()->WriteLog(LOG_INFO,
                    "CCurl_Util::HttpDowloadService::{File(%s)CRC MisMatched}Remote:%lu-Local:%lu",
                    item.localPath.c_str(), static_cast<unsigned long>(item.crc),
                    static_cast<unsigned long>(local));
    return true;
}

void CCurl_Util::HttpDowloadService() {
    m_downloadRunning = true;
    std::vector<std::pair<std::string, DownloadItem>> list;
    {
        // Taken whole: files queued during this run wait for the next one.
        boost::lock_guard<boost::mutex> g(m_listLock);
        list.swap(m_downloadList);
    }
    CurlEasy handle;  // one handle for the whole run, so its connection is reused
    CFileReplacer writer;  // writes each file while the next one is fetched
    std::string writingKey;  // the file the writer has, while it may still be writing it
    const long total = static_cast<long>(list.size());
    long count = 0;
    std::string failedKey, error;
    for (const auto& [key, item] : list) {
        if (m_stopping) break;
        ++count;
        char progress[96];
        std::snprintf(progress, sizeof progress, "Download:(%ld  - %ld = %ld)", total, count,
                      total - count);
        m_progressQueue.Push(progress);
        // The same file listed twice is checked only once its first copy is on disk.
        if (writer.PendingPath() == item.localPath && !writer.Finish(&error)) {
            failedKey = writingKey;
            break;
        }
        if (!NeedsDownload(item)) continue;
        std::string body;
        if (!FetchBody(handle, 5000, GetDataUrl() + key, item.localPath, item.crc, body,
                       &error)) {
            failedKey = key;
            break;
        }
        if (!writer.Replace(item.localPath, std::move(body), &error)) {
            failedKey = writingKey;  // the file before this one could not be written
            break;
        }
        writingKey = key;
    }
    // Every file handed to the writer is on disk (or known failed) before the run ends.
    std::string writeError;
    if (!writer.Finish(&writeError) && failedKey.empty()) {
        failedKey = writingKey;
        error = writeError;
    }
    if (!failedKey.empty() && !error.empty()) {
        Log()->WriteLog(LOG_INFO, "CCurl_Util::HttpDowloadService::{File Not Found}%s",
                        failedKey.c_str());
        Log()->WriteLog(LOG_INFO, "CCurl_Util::HttpDowloadService::%s", error.c_str());
    }
    m_progressQueue.Clear();
    m_downloadRunning = false;
}
