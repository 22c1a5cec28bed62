#pragma once
// What both meeting workflows ask of the meeting service before a request.

#include "orvosdk/orvo_sdk.h"
#include "sdk/SDKInterfaceWrap.h"

namespace sdkflow {

// Idle, failed and ended all mean there is nothing to leave and room to join.
inline bool NoMeetingRunning(ORVOSDK::IMeetingService* service)
{
    const ORVOSDK::MeetingStatus status = service->GetMeetingStatus();
    return status == ORVOSDK::MEETING_STATUS_IDLE || status == ORVOSDK::MEETING_STATUS_FAILED ||
           status == ORVOSDK::MEETING_STATUS_ENDED;
}

// A new meeting replaces one the SDK may still hold open.
inline void PrepareConfiguration(ORVOSDK::IMeetingService* service)
{
    if (ORVOSDK::IMeetingConfiguration* config = service->GetMeetingConfiguration())
        config->EnableAutoEndOtherMeetingWhenStartMeeting(true);
}

// Takes the meeting service on a workflow's first call and starts listening to it, once per
// workflow; false while the SDK offers none.
inline bool AcquireMeetingService(ORVOSDK::IMeetingService*& held, ORVOSDK::IMeetingServiceEvent* listener)
{
    if (held)
        return true;
    held = SDKInterfaceWrap::Instance().MeetingService();
    if (!held)
        return false;
    SDKInterfaceWrap::Instance().AddMeetingListener(listener);
    return true;
}

} // namespace sdkflow
