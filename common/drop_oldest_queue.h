// A bounded hand-over queue between a receive thread and the window thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

namespace kyvo {

// Holds at most maxItems items and maxBytes bytes (the newest item always
// stays): a flood costs the oldest items, never unbounded memory, and the
// items lost are counted. The producer wakes the consumer only when the
// queue was empty, so at most one wake-up is pending at any time.
template <typename T> class DropOldestQueue
{
public:
    DropOldestQueue(std::size_t maxItems, std::size_t maxBytes) : m_maxItems(maxItems), m_maxBytes(maxBytes)
    {}

    // True when the queue was empty before: the consumer must be woken.
    bool push(T item, std::size_t bytes)
    {
        std::lock_guard lock(m_mutex);
        const bool wasEmpty = m_items.empty();
        m_items.push_back({std::move(item), bytes});
        m_bytes += bytes;
        while (m_items.size() > 1 && (m_items.size() > m_maxItems || m_bytes > m_maxBytes)) {
            m_bytes -= m_items.front().bytes;
            m_items.pop_front();
            ++m_dropped;
        }
        return wasEmpty;
    }

    // Everything queued, oldest first; the queue is empty afterwards.
    std::vector<T> takeAll()
    {
        std::deque<Entry> taken;
        {
            std::lock_guard lock(m_mutex);
            taken.swap(m_items);
            m_bytes = 0;
        }
        std::vector<T> out;
        out.reserve(taken.size());
        for (Entry &e : taken)
            out.push_back(std::move(e.item));
        return out;
    }

    std::uint64_t dropped() const
    {
        std::lock_guard lock(m_mutex);
        return m_dropped;
    }

private:
    struct Entry
    {
        T item;
        std::size_t bytes;
    };
    const std::size_t m_maxItems;
    const std::size_t m_maxBytes;
    mutable std::mutex m_mutex;
    std::deque<Entry> m_items;
    std::size_t m_bytes = 0;
    std::uint64_t m_dropped = 0;
};

} // namespace kyvo
