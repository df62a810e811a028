// The process-wide logger. Its file is opt-in: only when a folder QRYCODE_Log stands beside
// the executable is one empty file per day opened (created when missing, never truncated).
// Entries are accepted and discarded: nothing is formatted or written.
#pragma once

#include <ctime>
#include <string>

enum LogLevel : int {
    LOG_DEBUG = 0x01,
    LOG_INFO = 0x02,
    LOG_NOTICE = 0x04,
    LOG_WARNING = 0x08,
    LOG_ERROR = 0x10,
    LOG_SEVERE = 0x20,
    LOG_FATAL = 0x40,
    LOG_NONE = 0x80,
    LOG_ALL = 0xFFFF,
};

class CFileLogMsg {
public:
    // The instance; the first call opens the day's file when the log folder exists.
    static CFileLogMsg* GetInstance();

    // Accepts one entry and discards it; the values are never read.
    void WriteLog(int level, const char* format, ...);

    // Path of the day's file, empty when no file is held (the folder was missing).
    const std::string& FilePath() const { return m_path; }

    // The clock whose local date names the file (std::time unless a test sets its own;
    // nullptr restores it). Takes effect for an instance not yet created.
    static void SetClockForTesting(std::time_t (*now)());

    CFileLogMsg(const CFileLogMsg&) = delete;
    CFileLogMsg& operator=(const CFileLogMsg&) = delete;

private:
    CFileLogMsg();
    ~CFileLogMsg() = default;  // never destroyed: the handle stays open until process exit

    std::string m_path;
    int m_fd = -1;
};
