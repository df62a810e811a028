#include "support/file_log_msg.h"

#include <fcntl.h>

#include <cstdio>
#include <ctime>

#include "platform/paths.h"

namespace {

std::time_t SystemNow() {
    return std::time(nullptr);
}

std::time_t (*g_now)() = SystemNow;

}  // namespace

void CFileLogMsg::SetClockForTesting(std::time_t (*now)()) {
    g_now = now ? now : SystemNow;
}

CFileLogMsg* CFileLogMsg::GetInstance() {
    static CFileLogMsg* instance = [] {
        auto* log = new CFileLogMsg();
        log->WriteLog(LOG_ALL,
                      "CFileLogMsg::GetInstance:(Build Date:%s, Build Time:%s) Fw Version <%s>",
                      __DATE__, __TIME__, "1.0.0.0");
        return log;
    }();
    return instance;
}

CFileLogMsg::CFileLogMsg() {
    const std::string folder = platform::ModuleDirectory() + platform::kNativeSep + "QRYCODE_Log";
    if (!platform::IsDirectory(folder)) return;

    std::time_t now = g_now();
    std::tm local{};
    localtime_r(&now, &local);
    char date[32];
    std::snprintf(date, sizeof date, "%d_%02d_%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    m_path = folder + platform::kNativeSep + "QRYCODE_Log_" + date + ".txt";
    // Opened for writing, created when missing, never truncated: a second start on the same
    // day leaves the file as it is.
    m_fd = open(m_path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    WriteLog(LOG_INFO, "%s", "QRYCODE_Log Data");
}

void CFileLogMsg::WriteLog(int /*level*/, const char* /*format*/, ...) {}
