#pragma once
// Meetings that are running now. They live in memory only: a restart ends them all,
// as it would for a real cloud losing its media servers.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vtxsvc {

// Failure reasons and end reasons in the SDK's numbering.
enum JoinFailure : int
{
    kFailWrongPassword = 4,
    kFailNotStarted = 7,
    kFailUnknownNumber = 8,
    kFailFull = 9,
    kFailLocked = 12
};
enum EndReason : int
{
    kEndNone = 0,
    kEndRemovedByHost = 1,
    kEndByHost = 2
};

struct ParticipantView
{
    int id = 0;
    std::string displayName;
    bool isHost = false;
};

struct MeetingState
{
    std::string state; // running, ended, removed, left
    int endReason = 0;
    int64_t number = 0;
    std::string topic;
    bool locked = false;
    bool shareLocked = false;
    int sharing = 0;
    int host = 0;
    int me = 0;
    std::vector<ParticipantView> participants;
};

struct MeetingDescription
{
    int64_t number = 0;
    int64_t itemId = 0;  // 0 for an instant meeting
    int64_t ownerId = 0; // account that may start, end and manage it
    std::string topic;
    std::string password; // empty = no password
};

struct Entry
{
    std::string token; // secret participant token
    int id = 0;        // public participant number
    bool isHost = false;
    int64_t number = 0;
    std::string topic;
    std::string password;
};

class MeetingRegistry
{
public:
    MeetingRegistry() = default;
    ~MeetingRegistry();
    MeetingRegistry(const MeetingRegistry&) = delete;
    MeetingRegistry& operator=(const MeetingRegistry&) = delete;

    void SetCapacity(int capacity);
    int Capacity() const;
    void SetIdleLimitMillis(int64_t millis) { m_idleLimitMillis = millis; }

    bool IsRunning(int64_t number);
    // Starts (or re-enters) the owner's meeting. Returns the host's entry.
    Entry Start(const MeetingDescription& meeting, const std::string& displayName, int64_t accountId);
    // 0 with |entry| filled, or a JoinFailure. |description| is null when no item has the number;
    // |startWithoutHost| lets the first participant open a not started meeting.
    int Join(int64_t number,
             const MeetingDescription* description,
             bool startWithoutHost,
             const std::string& password,
             const std::string& displayName,
             int64_t accountId,
             Entry& entry);

    // All return 0, 403 (not allowed) or 404 (unknown participant or meeting).
    int State(int64_t number, const std::string& token, MeetingState& state);
    int Leave(int64_t number, const std::string& token);
    int End(int64_t number, const std::string& token);
    int Lock(int64_t number, const std::string& token, bool locked);
    int ShareLock(int64_t number, const std::string& token, bool locked);
    int Share(int64_t number, const std::string& token, bool sharing, int& sharer);
    int Remove(int64_t number, const std::string& token, int target);

private:
    struct Participant;
    struct Meeting;
    void PruneLocked();
    std::shared_ptr<Participant> FindLocked(int64_t number, const std::string& token);
    Entry
    AddLocked(const std::shared_ptr<Meeting>& meeting, const std::string& displayName, int64_t accountId, bool isHost);
    void FinishLocked(Meeting& meeting, const Participant* ender);

    mutable std::mutex m_mutex;
    int m_capacity = 100;
    int64_t m_idleLimitMillis = 60000;
    int64_t m_lastPrune = 0;
    std::map<int64_t, std::shared_ptr<Meeting>> m_running;
    std::map<std::string, std::shared_ptr<Participant>> m_byToken;
};

} // namespace vtxsvc
