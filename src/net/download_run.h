// The bookkeeping of one download service run: the writer that puts each fetched file on disk
// while the next one is fetched, which file it holds, and the run's first failure (which file,
// and why), logged when the run ends.
#pragma once

#include <string>

#include "net/file_replacer.h"

class CDownloadRun {
public:
    // Before the file at `path` is checked: when the writer still holds a write to that same
    // path (a file listed twice), waits for it. False when that write failed.
    bool Settle(const std::string& path);

    // Hands the fetched file `key` to the writer. False when the write before it failed.
    bool Write(const std::string& key, std::string path, std::string content);

    // The fetch of `key` failed; `why` is empty when there is nothing to tell (a transfer that
    // broke off), and the failure is then not logged.
    void FetchFailed(const std::string& key, std::string why);

    // Waits for the last write, then logs the run's first failure when it has a reason.
    void Finish();

    // The run's first failure: which file, and why ("" when there was nothing to tell).
    bool Failed() const { return m_failed; }
    const std::string& FailedKey() const { return m_failedKey; }
    const std::string& Why() const { return m_why; }

private:
    // Records the failure of `key` unless the run already has one: the first one ends it.
    void Fail(const std::string& key, std::string why);

    CFileReplacer m_writer;
    std::string m_writingKey;  // the file the writer holds, while it may still be writing it
    bool m_failed = false;
    std::string m_failedKey;
    std::string m_why;
};
