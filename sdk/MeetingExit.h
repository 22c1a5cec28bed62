#pragma once
// Quitting VTX while a meeting runs: the host ends the meeting, as the meeting window's end button
// does, anyone else leaves it, and the caller hears once the meeting is over, so that the cloud
// does not keep a meeting whose host has gone.

#include <QTimer>
#include <functional>
#include <memory>

class MeetingExit
{
public:
    MeetingExit();
    ~MeetingExit();
    MeetingExit(const MeetingExit&) = delete;
    MeetingExit& operator=(const MeetingExit&) = delete;

    // True while the SDK holds a meeting (connecting, waiting for the host, in it, reconnecting).
    static bool MeetingRunning();

    // Ends or leaves the running meeting; done runs once, from the event loop, when the SDK reports
    // the meeting over or after timeoutMs when the cloud does not answer. False (and done is never
    // called) when no meeting runs or the SDK refuses.
    bool Start(int timeoutMs, std::function<void()> done);

private:
    struct Listener;
    void Finish();
    void FinishSoon();

    QTimer m_deadline;
    std::function<void()> m_done;
    std::unique_ptr<Listener> m_listener;
};
