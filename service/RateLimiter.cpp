#include "service/RateLimiter.h"

#include "service/Util.h"

namespace vtxsvc {

std::deque<int64_t>& RateLimiter::EventsLocked(const std::string& key, int64_t now)
{
    if (now - m_lastSweep >= m_window) {
        m_lastSweep = now;
        for (auto it = m_events.begin(); it != m_events.end();) {
            if (it->second.empty() || it->second.back() <= now - m_window)
                it = m_events.erase(it);
            else
                ++it;
        }
    }
    auto& events = m_events[key];
    while (!events.empty() && events.front() <= now - m_window)
        events.pop_front();
    return events;
}

size_t RateLimiter::Count(const std::string& key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return EventsLocked(key, NowSeconds()).size();
}

bool RateLimiter::Take(const std::string& key, size_t max)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int64_t now = NowSeconds();
    auto& events = EventsLocked(key, now);
    if (events.size() >= max)
        return false;
    events.push_back(now);
    return true;
}

void RateLimiter::Record(const std::string& key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int64_t now = NowSeconds();
    EventsLocked(key, now).push_back(now);
}

} // namespace vtxsvc
