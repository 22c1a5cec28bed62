#pragma once
// Orvo meeting SDK: screen sharing in a running meeting.

#include "orvosdk/orvo_sdk_def.h"

namespace ORVOSDK {

enum SharingStatus
{
    Sharing_Self_Send_Begin = 0,
    Sharing_Self_Send_End,
    Sharing_Other_Share_Begin,
    Sharing_Other_Share_End,
    Sharing_View_Other_Sharing,
    Sharing_Pause,
    Sharing_Resume,
};

class IShareSwitchMultiToSingleConfirmHandler
{
public:
    virtual SDKError Cancel() = 0;
    virtual SDKError Confirm() = 0;

protected:
    ~IShareSwitchMultiToSingleConfirmHandler() = default;
};

class IMeetingShareCtrlEvent
{
public:
    virtual void onSharingStatus(SharingStatus status, unsigned int userId) = 0;
    // The host locked (true) or unlocked sharing for participants.
    virtual void onLockShareStatus(bool bLocked) = 0;
    virtual void onShareContentNotification(unsigned int userId, const wchar_t* sourceName) = 0;
    virtual void onMultiShareSwitchToSingleShareNeedConfirm(IShareSwitchMultiToSingleConfirmHandler* handler) = 0;

protected:
    ~IMeetingShareCtrlEvent() = default;
};

class IMeetingShareController
{
public:
    virtual SDKError SetEvent(IMeetingShareCtrlEvent* pEvent) = 0;
    virtual SDKError StartAppShare(void* hwndSharedApp) = 0;
    // monitorID is the display's device name as the windowing system reports it.
    virtual SDKError StartMonitorShare(const wchar_t* monitorID) = 0;
    virtual SDKError StartWhiteBoardShare() = 0;
    virtual SDKError StartPortionShare() = 0;
    // Shares the primary display, as the meeting window's Share button does.
    virtual SDKError StartShare() = 0;
    virtual SDKError PauseCurrentSharing() = 0;
    virtual SDKError ResumeCurrentSharing() = 0;
    virtual bool IsShareLocked() = 0;
    virtual bool IsSharingOut() = 0;
    virtual SDKError StopShare() = 0;

protected:
    ~IMeetingShareController() = default;
};

} // namespace ORVOSDK
