#pragma once
// The pre-meeting results as the windows receive them; result 1 (kPreMeetingSuccess) means success.

#include <QString>
#include <vector>

#include "orvosdk/orvo_sdk.h"

const int kPreMeetingSuccess = 1;

// One meeting of the signed-in user's list, as the windows show it.
struct ListedMeeting
{
    UINT64 number = 0;
    UINT64 uniqueId = 0;
    QString topic;
    bool personal = false; // the user's personal meeting room
};

class CSDKSheduleMeetingUIEvent
{
public:
    virtual void OnListMeeting(int result, const std::vector<UINT64>& meetingIds) = 0;
    virtual void OnScheduleOrEditMeeting(int result, UINT64 meetingId) = 0;
    virtual void OnDeleteMeeting(int result) = 0;

protected:
    ~CSDKSheduleMeetingUIEvent() = default;
};
