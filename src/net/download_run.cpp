#include "net/download_run.h"

#include <utility>

#include "support/file_log_msg.h"

bool CDownloadRun::Settle(const std::string& path) {
    if (m_writer.PendingPath() != path) return true;
    std::string why;
    if (m_writer.Finish(&why)) return true;
    Fail(m_writingKey, std::move(why));
    return false;
}

bool CDownloadRun::Write(const std::string& key, std::string path, std::string content) {
    std::string why;
    if (!m_writer.Replace(std::move(path), std::move(content), &why)) {
        Fail(m_writingKey, std::move(why));
        return false;
    }
    m_writingKey = key;
    return true;
}

void CDownloadRun::FetchFailed(const std::string& key, std::string why) {
    Fail(key, std::move(why));
}

void CDownloadRun::Fail(const std::string& key, std::string why) {
    if (m_failed) return;
    m_failed = true;
    m_failedKey = key;
    m_why = std::move(why);
}

void CDownloadRun::Finish() {
    std::string why;
    if (!m_writer.Finish(&why)) Fail(m_writingKey, std::move(why));
    if (!m_failed || m_why.empty()) return;
    CFileLogMsg* log = CFileLogMsg::GetInstance();
    log->WriteLog(LOG_INFO, "CCurl_Util::HttpDowloadService::{File Not Found}%s",
                  m_failedKey.c_str());
    log->WriteLog(LOG_INFO, "CCurl_Util::HttpDowloadService::%s", m_why.c_str());
}
