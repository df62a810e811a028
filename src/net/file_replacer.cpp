#include "net/file_replacer.h"

#include <utility>

#include "net/local_file.h"

CFileReplacer::CFileReplacer() : m_thread([this] { Run(); }) {}

CFileReplacer::~CFileReplacer() {
    {
        boost::unique_lock<boost::mutex> lock(m_lock);
        m_quit = true;
        m_changed.notify_all();
    }
    m_thread.join();
}

void CFileReplacer::Run() {
    boost::unique_lock<boost::mutex> lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [this] { return m_pending || m_quit; });
        if (!m_pending) return;  // quit with nothing left to write
        const std::string path = m_path;  // stays readable by PendingPath
        const std::string content = std::move(m_content);
        lock.unlock();
        std::string why;
        const bool ok = HoldsContent(path, content) || ReplaceFileAtomically(path, content, &why);
        lock.lock();
        m_lastOk = ok;
        m_lastWhy = std::move(why);
        m_pending = false;
        m_changed.notify_all();
    }
}

bool CFileReplacer::WaitIdle(boost::unique_lock<boost::mutex>& lock, std::string* why) {
    m_changed.wait(lock, [this] { return !m_pending; });
    if (m_lastOk) return true;
    if (why) *why = m_lastWhy;
    m_lastOk = true;  // reported once
    return false;
}

bool CFileReplacer::Replace(std::string path, std::string content, std::string* why) {
    boost::unique_lock<boost::mutex> lock(m_lock);
    if (!WaitIdle(lock, why)) return false;
    m_path = std::move(path);
    m_content = std::move(content);
    m_pending = true;
    m_changed.notify_all();
    return true;
}

bool CFileReplacer::Finish(std::string* why) {
    boost::unique_lock<boost::mutex> lock(m_lock);
    return WaitIdle(lock, why);
}

std::string CFileReplacer::PendingPath() {
    boost::lock_guard<boost::mutex> g(m_lock);
    return m_pending ? m_path : std::string();
}
