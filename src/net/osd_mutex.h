// The lock every shared queue of the HTTP client carries.
#pragma once

#include <boost/thread/mutex.hpp>

class COSDMutex {
public:
    COSDMutex() = default;
    virtual ~COSDMutex() = default;
    COSDMutex(const COSDMutex&) = delete;
    COSDMutex& operator=(const COSDMutex&) = delete;

    void Lock() { m_mutex.lock(); }
    void Unlock() { m_mutex.unlock(); }

    // BasicLockable, so boost::lock_guard and condition variables can use it.
    void lock() { Lock(); }
    void unlock() { Unlock(); }

private:
    boost::mutex m_mutex;
};
