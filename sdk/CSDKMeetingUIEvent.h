#pragma once
// Our listener of the meeting workflows; MeetingEvent implements it.

#include "orvosdk/orvo_sdk.h"

class CSDKMeetingUIEvent
{
public:
    virtual void OnMeetingStatusChanged(int status, int code) = 0;
    virtual void OnMeetingStatisticsWarning(int type) = 0;
    virtual void OnMeetingSecureKey(const char* key, int len, ORVOSDK::IMeetingExternalSecureKeyHandler* handler) = 0;
    virtual void OnMeetingParameter(const ORVOSDK::MeetingParameter* param) = 0;
    virtual void OnDirectShareStatusUpdate(int status,
                                           ORVOSDK::IDirectShareViaMeetingIDOrPairingCodeHandler* handler) = 0;

protected:
    ~CSDKMeetingUIEvent() = default;
};
