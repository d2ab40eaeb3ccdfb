// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The hand-over from the worker threads to the writer thread. Bounded, so workers that read
// faster than the writer stores wait rather than hold every drawing read in memory.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace reg {

template <typename T>
class WorkQueue {
public:
    explicit WorkQueue(std::size_t capacity) : m_capacity(capacity) {}

    void push(T item) {
        std::unique_lock lock(m_mutex);
        m_notFull.wait(lock, [this] { return m_items.size() < m_capacity; });
        m_items.push_back(std::move(item));
        m_notEmpty.notify_one();
    }

    // The next item; nothing once the queue is closed and empty.
    std::optional<T> pop() {
        std::unique_lock lock(m_mutex);
        m_notEmpty.wait(lock, [this] { return !m_items.empty() || m_closed; });
        if (m_items.empty()) return std::nullopt;
        T item = std::move(m_items.front());
        m_items.pop_front();
        m_notFull.notify_one();
        return item;
    }

    // No more pushes: pop ends once the queue is empty.
    void close() {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_notEmpty.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_notFull;
    std::condition_variable m_notEmpty;
    std::deque<T> m_items;
    std::size_t m_capacity;
    bool m_closed = false;
};

}  // namespace reg
