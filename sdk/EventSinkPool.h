#pragma once
// The listeners of one SDK event interface. Events are copied to every listener in ascending pointer
// order; the lock is re-entrant so a listener may add or remove listeners from inside its callback.

#include <mutex>
#include <set>

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
        m_sinks.insert(sink);
    }

    void Remove(T* sink)
    {
        if (!sink)
            return;
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        m_sinks.erase(sink);
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
    }

    // Walks a copy, so listeners added during the walk wait for the next event. A listener removed
    // during the walk is skipped: its owner may already have deleted it.
    template <class Call> void ForEach(Call&& call)
    {
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        const std::set<T*> snapshot = m_sinks;
        for (T* sink : snapshot) {
            if (m_sinks.count(sink) != 0)
                call(sink);
        }
    }

private:
    std::recursive_mutex m_lock;
    std::set<T*> m_sinks;
};
