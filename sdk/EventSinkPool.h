#pragma once
// The listeners of one SDK event interface. Events are copied to every listener in ascending pointer
// order; the lock is re-entrant so a listener may add or remove listeners from inside its callback.

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <set>
#include <vector>

template <class T> class EventSinkPool
{
public:
    EventSinkPool() = default;
    EventSinkPool(const EventSinkPool&) = delete;
    EventSinkPool& operator=(const EventSinkPool&) = delete;
    virtual ~EventSinkPool()
    {
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        m_sinks.clear();
    }

    void Add(T* sink)
    {
        if (!sink)
            return;
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        if (m_sinks.insert(sink).second)
            Changed();
    }

    void Remove(T* sink)
    {
        if (!sink)
            return;
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        if (m_sinks.erase(sink) != 0)
            Changed();
    }

    bool Contains(T* sink)
    {
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        return m_sinks.count(sink) != 0;
    }

    size_t Size()
    {
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        return m_sinks.size();
    }

    void Clear()
    {
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        m_sinks.clear();
        Changed();
    }

    // Walks a copy, so listeners added during the walk wait for the next event. A listener removed
    // during the walk is skipped: its owner may already have deleted it.
    template <class Call> void ForEach(Call&& call)
    {
        // Most pools have no listener at all; they cost no lock.
        if (m_count.load(std::memory_order_acquire) == 0)
            return;
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        // The copy lives on the stack for the usual handful of listeners: an event costs no allocation.
        std::array<T*, kInlineSinks> inlineCopy;
        std::vector<T*> heapCopy;
        T** copy = inlineCopy.data();
        const size_t count = m_ordered.size();
        if (count > kInlineSinks) {
            heapCopy = m_ordered;
            copy = heapCopy.data();
        } else {
            std::copy(m_ordered.begin(), m_ordered.end(), copy);
        }
        const unsigned long long generation = m_generation;
        for (size_t i = 0; i < count; ++i) {
            if (m_generation != generation && m_sinks.count(copy[i]) == 0)
                continue;
            call(copy[i]);
        }
    }

private:
    static constexpr size_t kInlineSinks = 8;

    // Called under the lock after every change of the set.
    void Changed()
    {
        ++m_generation;
        m_ordered.assign(m_sinks.begin(), m_sinks.end());
        m_count.store(m_sinks.size(), std::memory_order_release);
    }

    std::recursive_mutex m_lock;
    std::set<T*> m_sinks;
    std::vector<T*> m_ordered;           // the set flattened, so an event walks an array
    unsigned long long m_generation = 0; // changes with every addition and removal
    std::atomic<size_t> m_count{0};
};
