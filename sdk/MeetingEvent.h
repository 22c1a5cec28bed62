#pragma once
// The one listener of both meeting workflows: keeps what the client knows about the current meeting,
// tells the main window about the status changes it cares for, and words end and failure reasons.

#include "sdk/CSDKMeetingUIEvent.h"

class AuthUIEvent;

class MeetingEvent : public CSDKMeetingUIEvent
{
public:
    static MeetingEvent* Instance();

    void SetUIEvent(AuthUIEvent* listener) { m_listener = listener; }
    bool IsInMeeting() const { return m_inMeeting; }
    void SetInMeeting(bool inMeeting) { m_inMeeting = inMeeting; }
    // 1 video or 2 voice meeting started by this client, 0 otherwise.
    int MeetingKind() const { return m_meetingKind; }
    void SetMeetingKind(int kind) { m_meetingKind = kind; }

    // Language-pack keys of the reason tables; null outside them.
    static const char* EndReasonKeyName(int code);
    static const char* FailReasonKeyName(int code);
    // The texts of those keys (UTF-8); empty outside the tables.
    static const char* EndReasonKey(int code);
    static const char* FailReasonKey(int code);
    // The reason text for a status report: failure text for status 6, end text otherwise, none for code <= 0.
    static const char* ReasonText(int status, int code);

    // Gives the SDK's meeting windows the client's captions; called before every join and start.
    void ApplyMeetingTexts();

    void OnMeetingStatusChanged(int status, int code) override;
    void OnMeetingStatisticsWarning(int type) override;
    void OnMeetingSecureKey(const char* key, int len, ORVOSDK::IMeetingExternalSecureKeyHandler* handler) override;
    void OnMeetingParameter(const ORVOSDK::MeetingParameter* param) override;
    void OnDirectShareStatusUpdate(int status, ORVOSDK::IDirectShareViaMeetingIDOrPairingCodeHandler* handler) override;

    // Tests only.
    void ResetForTest();

private:
    MeetingEvent() = default;
    ~MeetingEvent() = default;

    AuthUIEvent* m_listener = nullptr;
    int m_meetingKind = 0;
    bool m_inMeeting = false;
};
