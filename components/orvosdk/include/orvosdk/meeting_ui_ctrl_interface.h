#pragma once
// Orvo meeting SDK: the meeting window's buttons and views.

#include "orvosdk/orvo_sdk_def.h"

namespace ORVOSDK {

class IMeetingUIControllerEvent
{
public:
    // Set bHandled to true when the application shows its own invitation; the SDK then shows nothing.
    virtual void onInviteBtnClicked(bool& bHandled) = 0;
    virtual void onStartShareBtnClicked() = 0;
    virtual void onEndMeetingBtnClicked() = 0;
    virtual void onParticipantListBtnClicked() = 0;
    virtual void onCustomLiveStreamMenuClicked() = 0;
    virtual void onOrvoInviteDialogFailed() = 0;
    virtual void onCCBTNClicked() = 0;

protected:
    ~IMeetingUIControllerEvent() = default;
};

class IMeetingUIController
{
public:
    virtual SDKError SetEvent(IMeetingUIControllerEvent* pEvent) = 0;
    virtual SDKError ShowChatDlg(bool bShow) = 0;
    virtual SDKError EnterFullScreen() = 0;
    virtual SDKError ExitFullScreen() = 0;
    virtual SDKError SwitchToVideoWall() = 0;
    virtual SDKError SwitchToActiveSpeaker() = 0;
    virtual SDKError MoveFloatVideoWnd(int left, int top) = 0;
    virtual SDKError ShowParticipantsListWnd(bool bShow) = 0;
    virtual SDKError ShowBottomFloatToolbarWnd(bool bShow) = 0;
    // Native handle of the meeting window, 0 while none is shown.
    virtual SDKError GetMeetingUIWnd(unsigned long long& hFirstView, unsigned long long& hSecondView) = 0;
    virtual SDKError ShowInviteDlg() = 0;

protected:
    ~IMeetingUIController() = default;
};

} // namespace ORVOSDK
