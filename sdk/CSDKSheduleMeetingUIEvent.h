#pragma once
// The pre-meeting results as the main window receives them; result 1 means success.

#include "orvosdk/orvo_sdk.h"

class CSDKSheduleMeetingUIEvent
{
public:
    virtual void OnListMeeting(int result, ORVOSDK::IList<UINT64>* meetingIds) = 0;
    virtual void OnScheduleOrEditMeeting(int result, UINT64 meetingId) = 0;
    virtual void OnDeleteMeeting(int result) = 0;

protected:
    ~CSDKSheduleMeetingUIEvent() = default;
};
