// A manual-reset event: once set it stays set, waking every waiter, until reset; and the
// short look for a signal that a waiter makes before it sleeps.
#pragma once

#include <chrono>
#include <thread>

#include <boost/thread/condition_variable.hpp>
#include <boost/thread/locks.hpp>
#include <boost/thread/mutex.hpp>

// Polls `ready` for up to `spin`, yielding the processor between looks; true once it holds.
// Waking a sleeping thread costs tens of microseconds on a virtual machine, a good part of
// what a request on a reused connection takes, so a waiter that expects its signal within
// microseconds looks for it this way first.
namespace net {
template <typename Ready>
bool SpinUntil(Ready ready, std::chrono::microseconds spin) {
    const auto end = std::chrono::steady_clock::now() + spin;
    do {
        if (ready()) return true;
        std::this_thread::yield();
    } while (std::chrono::steady_clock::now() < end);
    return ready();
}
}  // namespace net

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
