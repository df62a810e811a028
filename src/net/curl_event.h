// A manual-reset event: once set it stays set, waking every waiter, until reset.
#pragma once

#include <boost/thread/condition_variable.hpp>
#include <boost/thread/locks.hpp>
#include <boost/thread/mutex.hpp>

class CEvent {
public:
    void Set() {
        boost::lock_guard<boost::mutex> g(m_mutex);
        m_set = true;
        m_cond.notify_all();
    }

    void Reset() {
        boost::lock_guard<boost::mutex> g(m_mutex);
        m_set = false;
    }

    // Returns once the event is set (it stays set).
    void Wait() {
        boost::unique_lock<boost::mutex> lock(m_mutex);
        m_cond.wait(lock, [this] { return m_set; });
    }

private:
    boost::mutex m_mutex;
    boost::condition_variable m_cond;
    bool m_set = false;
};
