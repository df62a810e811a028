// A FIFO shared between threads: every access takes the queue's own lock, and no operation
// takes a second queue's lock while holding this one.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>

#include "net/osd_mutex.h"

template <typename T>
class CSafeQueue {
public:
    CSafeQueue() : m_mutex(std::make_unique<COSDMutex>()) {}
    CSafeQueue(const CSafeQueue&) = delete;
    CSafeQueue& operator=(const CSafeQueue&) = delete;

    void Push(T value) {
        Guard g(*m_mutex);
        m_items.push_back(std::move(value));
    }

    // The oldest element, removed; a default-constructed one when the queue is empty.
    T Pop() {
        Guard g(*m_mutex);
        if (m_items.empty()) return T();
        T front = std::move(m_items.front());
        m_items.pop_front();
        return front;
    }

    // Moves the oldest element into `out`; false (and `out` untouched) when empty.
    bool TryPop(T& out) {
        Guard g(*m_mutex);
        if (m_items.empty()) return false;
        out = std::move(m_items.front());
        m_items.pop_front();
        return true;
    }

    // Moves the oldest element for which `match` holds into `out`; false when none does.
    template <typename Match>
    bool TakeFirst(Match match, T& out) {
        Guard g(*m_mutex);
        for (auto it = m_items.begin(); it != m_items.end(); ++it) {
            if (!match(*it)) continue;
            out = std::move(*it);
            m_items.erase(it);
            return true;
        }
        return false;
    }

    std::size_t Size() const {
        Guard g(*m_mutex);
        return m_items.size();
    }

    void Clear() {
        Guard g(*m_mutex);
        m_items.clear();
    }

private:
    struct Guard {
        explicit Guard(COSDMutex& m) : mutex(m) { mutex.Lock(); }
        ~Guard() { mutex.Unlock(); }
        COSDMutex& mutex;
    };

    std::deque<T> m_items;
    std::unique_ptr<COSDMutex> m_mutex;  // heap-held, so the queue's address never matters
};
