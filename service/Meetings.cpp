#include "service/Meetings.h"

#include <algorithm>

#include "service/Util.h"

namespace vtxsvc {

namespace {
constexpr int64_t kFinishedKeepMillis = 10 * 60 * 1000;
constexpr int64_t kPruneEveryMillis = 1000;
} // namespace

struct MeetingRegistry::Participant
{
    std::string token;
    int id = 0;
    std::string displayName;
    int64_t accountId = 0;
    bool isHost = false;
    std::string state = "running";
    int endReason = kEndNone;
    int64_t lastSeen = 0;
    int64_t finishedAt = 0;
    std::shared_ptr<Meeting> meeting;
};

struct MeetingRegistry::Meeting
{
    MeetingDescription description;
    bool locked = false;
    bool shareLocked = false;
    int sharing = 0;
    int host = 0;
    int nextId = 1;
    bool ended = false;
    std::vector<std::shared_ptr<Participant>> people; // running participants only
};

MeetingRegistry::~MeetingRegistry()
{
    // Running meetings and their participants point at each other; cut the links.
    for (auto& entry : m_byToken)
        entry.second->meeting.reset();
    for (auto& entry : m_running)
        entry.second->people.clear();
}

void MeetingRegistry::SetCapacity(int capacity)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_capacity = std::max(1, capacity);
}

int MeetingRegistry::Capacity() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_capacity;
}

bool MeetingRegistry::IsRunning(int64_t number)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    PruneLocked();
    return m_running.count(number) != 0;
}

Entry MeetingRegistry::AddLocked(const std::shared_ptr<Meeting>& meeting,
                                 const std::string& displayName,
                                 int64_t accountId,
                                 bool isHost)
{
    auto p = std::make_shared<Participant>();
    p->token = RandomToken(16);
    p->id = meeting->nextId++;
    p->displayName = displayName;
    p->accountId = accountId;
    p->isHost = isHost;
    p->lastSeen = NowMillisMonotonic();
    p->meeting = meeting;
    if (isHost) {
        for (auto& other : meeting->people)
            other->isHost = false;
        meeting->host = p->id;
    }
    meeting->people.push_back(p);
    m_byToken[p->token] = p;

    Entry e;
    e.token = p->token;
    e.id = p->id;
    e.isHost = isHost;
    e.number = meeting->description.number;
    e.topic = meeting->description.topic;
    e.password = meeting->description.password;
    return e;
}

Entry MeetingRegistry::Start(const MeetingDescription& description, const std::string& displayName, int64_t accountId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    PruneLocked();
    auto it = m_running.find(description.number);
    if (it == m_running.end()) {
        auto meeting = std::make_shared<Meeting>();
        meeting->description = description;
        it = m_running.emplace(description.number, meeting).first;
    }
    return AddLocked(it->second, displayName, accountId, true);
}

int MeetingRegistry::Join(int64_t number,
                          const MeetingDescription* description,
                          bool startWithoutHost,
                          const std::string& password,
                          const std::string& displayName,
                          int64_t accountId,
                          Entry& entry)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    PruneLocked();
    auto it = m_running.find(number);
    if (it == m_running.end()) {
        if (!description)
            return kFailUnknownNumber;
        const bool owner = accountId != 0 && accountId == description->ownerId;
        if (!owner && !startWithoutHost)
            return kFailNotStarted;
        if (!owner && !description->password.empty() && password != description->password)
            return kFailWrongPassword;
        auto meeting = std::make_shared<Meeting>();
        meeting->description = *description;
        m_running.emplace(number, meeting);
        entry = AddLocked(meeting, displayName, accountId, owner);
        return 0;
    }
    Meeting& m = *it->second;
    const bool owner = accountId != 0 && accountId == m.description.ownerId;
    if (!owner) {
        if (!m.description.password.empty() && password != m.description.password)
            return kFailWrongPassword;
        if (m.locked)
            return kFailLocked;
        if (static_cast<int>(m.people.size()) >= m_capacity)
            return kFailFull;
    }
    entry = AddLocked(it->second, displayName, accountId, owner && m.host == 0);
    return 0;
}

std::shared_ptr<MeetingRegistry::Participant> MeetingRegistry::FindLocked(int64_t number, const std::string& token)
{
    auto it = m_byToken.find(token);
    if (it == m_byToken.end() || it->second->meeting->description.number != number)
        return nullptr;
    return it->second;
}

void MeetingRegistry::FinishLocked(Meeting& meeting, const Participant* ender)
{
    const int64_t now = NowMillisMonotonic();
    for (auto& p : meeting.people) {
        p->state = "ended";
        p->endReason = (ender && p.get() != ender) ? kEndByHost : kEndNone;
        p->finishedAt = now;
    }
    meeting.people.clear(); // breaks the meeting <-> participant cycle
    meeting.ended = true;
    meeting.sharing = 0;
    auto it = m_running.find(meeting.description.number);
    if (it != m_running.end() && it->second.get() == &meeting)
        m_running.erase(it);
}

void MeetingRegistry::PruneLocked()
{
    const int64_t now = NowMillisMonotonic();
    if (now - m_lastPrune < kPruneEveryMillis)
        return;
    m_lastPrune = now;
    std::vector<std::shared_ptr<Meeting>> emptied;
    for (auto it = m_byToken.begin(); it != m_byToken.end();) {
        Participant& p = *it->second;
        if (p.state == "running" && now - p.lastSeen > m_idleLimitMillis) {
            // A client that stopped polling has crashed or lost its network.
            Meeting& m = *p.meeting;
            p.state = "left";
            p.finishedAt = now;
            m.people.erase(std::remove(m.people.begin(), m.people.end(), it->second), m.people.end());
            if (m.host == p.id)
                m.host = 0;
            if (m.sharing == p.id)
                m.sharing = 0;
            if (m.people.empty())
                emptied.push_back(p.meeting);
        }
        if (p.state != "running" && now - p.finishedAt > kFinishedKeepMillis) {
            it->second->meeting.reset();
            it = m_byToken.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& m : emptied)
        if (!m->ended)
            FinishLocked(*m, nullptr);
}

int MeetingRegistry::State(int64_t number, const std::string& token, MeetingState& state)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    PruneLocked();
    auto p = FindLocked(number, token);
    if (!p)
        return 404;
    const Meeting& m = *p->meeting;
    if (p->state == "running")
        p->lastSeen = NowMillisMonotonic();
    state.state = p->state;
    state.endReason = p->endReason;
    state.number = m.description.number;
    state.topic = m.description.topic;
    state.locked = m.locked;
    state.shareLocked = m.shareLocked;
    state.sharing = m.sharing;
    state.host = m.host;
    state.me = p->id;
    state.participants.clear();
    for (const auto& other : m.people)
        state.participants.push_back({other->id, other->displayName, other->isHost});
    return 0;
}

int MeetingRegistry::Leave(int64_t number, const std::string& token)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    PruneLocked();
    auto p = FindLocked(number, token);
    if (!p)
        return 404;
    if (p->state != "running")
        return 0; // leaving twice is harmless
    Meeting& m = *p->meeting;
    p->state = "left";
    p->finishedAt = NowMillisMonotonic();
    m.people.erase(std::remove(m.people.begin(), m.people.end(), p), m.people.end());
    if (m.host == p->id)
        m.host = 0;
    if (m.sharing == p->id)
        m.sharing = 0;
    if (m.people.empty())
        FinishLocked(m, nullptr);
    return 0;
}

int MeetingRegistry::End(int64_t number, const std::string& token)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    PruneLocked();
    auto p = FindLocked(number, token);
    if (!p)
        return 404;
    if (p->state != "running" || !p->isHost)
        return 403;
    FinishLocked(*p->meeting, p.get());
    return 0;
}

int MeetingRegistry::Lock(int64_t number, const std::string& token, bool locked)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto p = FindLocked(number, token);
    if (!p)
        return 404;
    if (p->state != "running" || !p->isHost)
        return 403;
    p->meeting->locked = locked;
    return 0;
}

int MeetingRegistry::ShareLock(int64_t number, const std::string& token, bool locked)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto p = FindLocked(number, token);
    if (!p)
        return 404;
    if (p->state != "running" || !p->isHost)
        return 403;
    Meeting& m = *p->meeting;
    m.shareLocked = locked;
    if (locked && m.sharing != 0 && m.sharing != m.host)
        m.sharing = 0; // the host took the screen back
    return 0;
}

int MeetingRegistry::Share(int64_t number, const std::string& token, bool sharing, int& sharer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto p = FindLocked(number, token);
    if (!p)
        return 404;
    Meeting& m = *p->meeting;
    if (p->state != "running")
        return 403;
    if (sharing) {
        if (m.shareLocked && !p->isHost)
            return 403;
        m.sharing = p->id;
    } else if (m.sharing == p->id) {
        m.sharing = 0;
    }
    sharer = m.sharing;
    return 0;
}

int MeetingRegistry::Remove(int64_t number, const std::string& token, int target)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto p = FindLocked(number, token);
    if (!p)
        return 404;
    if (p->state != "running" || !p->isHost || target == p->id)
        return 403;
    Meeting& m = *p->meeting;
    auto it = std::find_if(m.people.begin(), m.people.end(), [target](const auto& o) { return o->id == target; });
    if (it == m.people.end())
        return 404;
    auto victim = *it;
    victim->state = "removed";
    victim->endReason = kEndRemovedByHost;
    victim->finishedAt = NowMillisMonotonic();
    m.people.erase(it);
    if (m.sharing == victim->id)
        m.sharing = 0;
    return 0;
}

} // namespace vtxsvc
