// The download service: one thread works through the queued files in order, fetching each
// that is missing, has no known CRC or fails its CRC check; the first failure ends the run.
#include <cstdio>

#include "net/curl_util.h"
#include "net/download_run.h"
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

// The queued files, taken whole: files queued during a run wait for the next one.
std::vector<std::pair<std::string, DownloadItem>> CCurl_Util::TakeDownloadList() {
    std::vector<std::pair<std::string, DownloadItem>> list;
    boost::lock_guard<boost::mutex> g(m_listLock);
    list.swap(m_downloadList);
    return list;
}

void CCurl_Util::PushProgress(long total, long count) {
    char progress[96];
    std::snprintf(progress, sizeof progress, "Download:(%ld  - %ld = %ld)", total, count,
                  total - count);
    m_progressQueue.Push(progress);
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
    const auto list = TakeDownloadList();
    CurlEasy handle;  // one handle for the whole run, so its connection is reused
    CDownloadRun run;
    long count = 0;
    for (const auto& [key, item] : list) {
        if (m_stopping) break;
        PushProgress(static_cast<long>(list.size()), ++count);
        if (!run.Settle(item.localPath)) break;  // its copy listed before could not be written
        if (!NeedsDownload(item)) continue;
        std::string body, error;
        if (!FetchBody(handle, 5000, GetDataUrl() + key, item.localPath, item.crc, body, &error)) {
            run.FetchFailed(key, std::move(error));
            break;
        }
        if (!run.Write(key, item.localPath, std::move(body))) break;
    }
    run.Finish();  // every file handed over is on disk, or its failure is logged
    m_progressQueue.Clear();
    m_downloadRunning = false;
}
