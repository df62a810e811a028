// Replaces downloaded files on a thread of its own, so the download service fetches the next
// file while the last one is being written: creating and renaming a file costs a journaled
// disk a few hundred microseconds, as much as fetching it over a local network. A file that
// already holds the downloaded bytes is left as it is.
#pragma once

#include <string>

#include <boost/thread/condition_variable.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

class CFileReplacer {
public:
    CFileReplacer();
    // Completes the pending write, then ends the thread.
    ~CFileReplacer();
    CFileReplacer(const CFileReplacer&) = delete;
    CFileReplacer& operator=(const CFileReplacer&) = delete;

    // Waits for the pending write, then hands this one to the thread (replacing `path`
    // atomically). False, and nothing handed over, when the pending write failed: its
    // reason goes to *why.
    bool Replace(std::string path, std::string content, std::string* why);

    // Waits for the pending write; false with its reason in *why when it failed.
    bool Finish(std::string* why);

    // The path of the write not yet finished, or "".
    std::string PendingPath();

private:
    void Run();
    bool WaitIdle(boost::unique_lock<boost::mutex>& lock, std::string* why);

    boost::mutex m_lock;
    boost::condition_variable m_changed;
    bool m_pending = false;  // a write handed over and not yet done
    bool m_quit = false;
    std::string m_path;
    std::string m_content;
    bool m_lastOk = true;  // outcome of the last finished write, until reported
    std::string m_lastWhy;
    boost::thread m_thread;  // last: started once the state above exists
};
