#pragma once
// Helpers of the tests that run libsdk against a meeting cloud.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <utility>
#include <vector>

#include "sdk/AuthUIEvent.h"

namespace sdktest {

// Runs the event loop until pred holds or the deadline passes.
template <class Pred> bool WaitFor(Pred pred, int ms = 30000)
{
    QDeadlineTimer deadline(ms);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

struct UiRecorder : AuthUIEvent
{
    std::vector<int> auth;
    std::vector<std::pair<int, QString>> login;
    std::vector<std::pair<int, int>> meeting;
    void OnAuthResult(int r) override { auth.push_back(r); }
    void OnLoginResult(int s, const QString& n) override { login.emplace_back(s, n); }
    void OnMeetingStatus(int s, int c) override { meeting.emplace_back(s, c); }

    bool Saw(int status, int code = -1) const
    {
        for (const auto& m : meeting)
            if (m.first == status && (code < 0 || m.second == code))
                return true;
        return false;
    }
};

} // namespace sdktest
