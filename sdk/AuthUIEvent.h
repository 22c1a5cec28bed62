#pragma once
// What the SDK layer reports to the main window: authentication, sign-in and meeting status.

#include <QString>

// The meeting statuses the windows tell apart, with the SDK's values.
enum MeetingStatusValue
{
    MeetingConnecting = 1,
    MeetingInProgress = 3,
    MeetingFailed = 6,
    MeetingEnded = 7
};

class AuthUIEvent
{
public:
    // 1 authenticated, 2 authentication refused (fatal), 4 the cloud did not answer and the SDK layer
    // tries again by itself (1 follows once it answers).
    virtual void OnAuthResult(int result) = 0;
    // 2 signed in (with the account's display name), 3 sign-in failed (empty name).
    virtual void OnLoginResult(int status, const QString& displayName) = 0;
    virtual void OnMeetingStatus(int status, int code) = 0;

protected:
    ~AuthUIEvent() = default;
};
