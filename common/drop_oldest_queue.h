// Bounded hand-over queues between a receive thread and the window thread.
#pragma once

#include "common/inbound.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

namespace kyvo {

// At most maxItems items and maxBytes bytes (the newest item always stays);
// beyond that the oldest go and are counted. Not locked: the queue below holds the lock.
template <typename T> class BoundedLane
{
public:
    BoundedLane(std::size_t maxItems, std::size_t maxBytes) : m_maxItems(maxItems), m_maxBytes(maxBytes) {}

    void push(T item, std::size_t bytes)
    {
        m_items.push_back({std::move(item), bytes});
        m_bytes += bytes;
        while (m_items.size() > 1 && (m_items.size() > m_maxItems || m_bytes > m_maxBytes)) {
            m_bytes -= m_items.front().bytes;
            m_items.pop_front();
            ++m_dropped;
        }
    }
    // Appends everything to out, oldest first; the lane is empty afterwards.
    void moveTo(std::vector<T> &out)
    {
        for (Entry &e : m_items)
            out.push_back(std::move(e.item));
        m_items.clear();
        m_bytes = 0;
    }
    bool empty() const { return m_items.empty(); }
    std::size_t size() const { return m_items.size(); }
    std::uint64_t dropped() const { return m_dropped; }

private:
    struct Entry
    {
        T item;
        std::size_t bytes;
    };
    const std::size_t m_maxItems;
    const std::size_t m_maxBytes;
    std::deque<Entry> m_items;
    std::size_t m_bytes = 0;
    std::uint64_t m_dropped = 0;
};

// Two bounded lanes: a flood costs the oldest items, never unbounded memory,
// and answers have a lane of their own, so a flood of other datagrams cannot
// push them out; the consumer takes them first. The producer wakes the
// consumer only when both lanes were empty, so at most one wake-up is
// pending while the consumer empties both.
template <typename T> class AnswerFirstQueue
{
public:
    struct Limits
    {
        std::size_t items, bytes;
    };
    AnswerFirstQueue(Limits answers, Limits others)
        : m_answers(answers.items, answers.bytes), m_others(others.items, others.bytes)
    {}

    // kind is Answer or Other. True when the queue was empty before.
    bool push(T item, std::size_t bytes, Inbound kind)
    {
        std::lock_guard lock(m_mutex);
        const bool wasEmpty = m_answers.empty() && m_others.empty();
        (kind == Inbound::Answer ? m_answers : m_others).push(std::move(item), bytes);
        return wasEmpty;
    }

    // The answers, then the others, each oldest first; both lanes are empty afterwards.
    std::vector<T> takeAll()
    {
        std::vector<T> out;
        std::lock_guard lock(m_mutex);
        out.reserve(m_answers.size() + m_others.size());
        m_answers.moveTo(out);
        m_others.moveTo(out);
        return out;
    }
    // Only the answers (the others stay for the next takeAll).
    std::vector<T> takeAnswers()
    {
        std::vector<T> out;
        std::lock_guard lock(m_mutex);
        m_answers.moveTo(out);
        return out;
    }

    std::uint64_t droppedAnswers() const
    {
        std::lock_guard lock(m_mutex);
        return m_answers.dropped();
    }
    std::uint64_t droppedOthers() const
    {
        std::lock_guard lock(m_mutex);
        return m_others.dropped();
    }

private:
    mutable std::mutex m_mutex;
    BoundedLane<T> m_answers, m_others;
};

} // namespace kyvo
