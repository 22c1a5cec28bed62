#pragma once
// Starts, leaves and ends meetings for the signed-in user and passes the meeting events on.

#include "orvosdk/orvo_sdk.h"

class CSDKMeetingUIEvent;

class CSDKLoggedInUIWorkFlow : public ORVOSDK::IMeetingServiceEvent, public ORVOSDK::IDirectShareServiceHelperEvent
{
public:
    CSDKLoggedInUIWorkFlow() = default;
    ~CSDKLoggedInUIWorkFlow();
    CSDKLoggedInUIWorkFlow(const CSDKLoggedInUIWorkFlow&) = delete;
    CSDKLoggedInUIWorkFlow& operator=(const CSDKLoggedInUIWorkFlow&) = delete;

    void SetUIEvent(CSDKMeetingUIEvent* listener) { m_listener = listener; }
    // 7 without SDK; otherwise the SDK's result.
    int StartMeeting(ORVOSDK::StartParam& param);
    // 7 without SDK or when no meeting runs; otherwise the SDK's result.
    int LeaveMeeting();
    int EndMeeting();

    void onMeetingStatusChanged(ORVOSDK::MeetingStatus status, int iResult = 0) override;
    void onMeetingStatisticsWarningNotification(ORVOSDK::StatisticsWarningType type) override;
    void onMeetingSecureKeyNotification(const char* key,
                                        int len,
                                        ORVOSDK::IMeetingExternalSecureKeyHandler* pHandler) override;
    void onMeetingParameterNotification(const ORVOSDK::MeetingParameter* meeting_param) override;

    void OnDirectShareStatusUpdate(ORVOSDK::DirectShareStatus status,
                                   ORVOSDK::IDirectShareViaMeetingIDOrPairingCodeHandler* handler) override;

private:
    bool EnsureService();
    int Leave(ORVOSDK::LeaveMeetingCmd cmd);

    CSDKMeetingUIEvent* m_listener = nullptr;
    ORVOSDK::IMeetingService* m_meetingService = nullptr;
};
