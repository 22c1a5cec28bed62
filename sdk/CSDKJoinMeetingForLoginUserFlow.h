#pragma once
// Joins a meeting through the meeting service and passes its status changes on.

#include "orvosdk/orvo_sdk.h"

class CSDKMeetingUIEvent;

class CSDKJoinMeetingForLoginUserFlow : public ORVOSDK::IMeetingServiceEvent
{
public:
    CSDKJoinMeetingForLoginUserFlow() = default;
    ~CSDKJoinMeetingForLoginUserFlow();
    CSDKJoinMeetingForLoginUserFlow(const CSDKJoinMeetingForLoginUserFlow&) = delete;
    CSDKJoinMeetingForLoginUserFlow& operator=(const CSDKJoinMeetingForLoginUserFlow&) = delete;

    void SetUIEvent(CSDKMeetingUIEvent* listener) { m_listener = listener; }
    // 7 without SDK or while a meeting runs; otherwise the SDK's result.
    int Join(ORVOSDK::JoinParam& param);

    void onMeetingStatusChanged(ORVOSDK::MeetingStatus status, int iResult = 0) override;
    void onMeetingStatisticsWarningNotification(ORVOSDK::StatisticsWarningType type) override;
    void onMeetingSecureKeyNotification(const char* key,
                                        int len,
                                        ORVOSDK::IMeetingExternalSecureKeyHandler* pHandler) override;
    void onMeetingParameterNotification(const ORVOSDK::MeetingParameter* meeting_param) override;

private:
    bool EnsureService();

    CSDKMeetingUIEvent* m_listener = nullptr;
    ORVOSDK::IMeetingService* m_meetingService = nullptr;
};
