#pragma once
// Sliding-window counters per key (a phone number, a peer address), kept in memory and pruned as
// they age, so a flood of distinct keys cannot grow the service without bound.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vtxsvc {

class RateLimiter
{
public:
    explicit RateLimiter(int64_t windowSeconds)
        : m_window(windowSeconds)
    {}

    // Events of |key| within the window.
    size_t Count(const std::string& key);
    // Records an event unless |max| are within the window already; false when refused.
    bool Take(const std::string& key, size_t max);
    void Record(const std::string& key);

private:
    std::deque<int64_t>& EventsLocked(const std::string& key, int64_t now);
    int64_t m_window;
    std::mutex m_mutex;
    std::unordered_map<std::string, std::deque<int64_t>> m_events;
    int64_t m_lastSweep = 0;
};

} // namespace vtxsvc
