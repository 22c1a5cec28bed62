#pragma once
// One meeting started by the main window; ends or leaves it when destroyed while it still runs.

#include "sdk/CSDKLoggedInUIWorkFlow.h"

class HostMeeting
{
public:
    HostMeeting();
    ~HostMeeting();

    // kind 1 video, 2 voice; number 0 for a new instant meeting. 0 on success, -1 on any SDK error.
    int StartMeeting(int kind, UINT64 meetingNumber);

    CSDKLoggedInUIWorkFlow& Workflow() { return m_workflow; }

private:
    CSDKLoggedInUIWorkFlow m_workflow;
};
