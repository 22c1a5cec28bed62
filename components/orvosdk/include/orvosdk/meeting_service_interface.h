#pragma once
// Orvo meeting SDK: joining, starting, leaving and ending meetings, and the in-meeting controllers.

#include "orvosdk/orvo_sdk_def.h"

namespace ORVOSDK {

enum MeetingStatus
{
    MEETING_STATUS_IDLE = 0,
    MEETING_STATUS_CONNECTING,
    MEETING_STATUS_WAITINGFORHOST,
    MEETING_STATUS_INMEETING,
    MEETING_STATUS_DISCONNECTING,
    MEETING_STATUS_RECONNECTING,
    MEETING_STATUS_FAILED,
    MEETING_STATUS_ENDED,
    MEETING_STATUS_UNKNOW,
    MEETING_STATUS_LOCKED,
};

// Code sent with MEETING_STATUS_FAILED.
enum MeetingFailCode
{
    MEETING_SUCCESS = 0,
    MEETING_FAIL_NETWORK_ERR = 1,
    MEETING_FAIL_RECONNECT_ERR = 2,
    MEETING_FAIL_MMR_ERR = 3,
    MEETING_FAIL_PASSWORD_ERR = 4,
    MEETING_FAIL_SESSION_ERR = 5,
    MEETING_FAIL_MEETING_OVER = 6,
    MEETING_FAIL_MEETING_NOT_START = 7,
    MEETING_FAIL_MEETING_NOT_EXIST = 8,
    MEETING_FAIL_MEETING_USER_FULL = 9,
    MEETING_FAIL_CLIENT_INCOMPATIBLE = 10,
    MEETING_FAIL_NO_MMR = 11,
    MEETING_FAIL_CONFLOCKED = 12,
    MEETING_FAIL_MEETING_RESTRICTED = 13,
    MEETING_FAIL_MEETING_RESTRICTED_JBH = 14,
    MEETING_FAIL_CANNOT_EMIT_WEBREQUEST = 15,
    MEETING_FAIL_CANNOT_START_TOKENEXPIRE = 16,
    SESSION_VIDEO_ERR = 17,
    SESSION_AUDIO_AUTOSTARTERR = 18,
    MEETING_FAIL_REGISTERWEBINAR_FULL = 19,
    MEETING_FAIL_REGISTERWEBINAR_HOSTREGISTER = 20,
    MEETING_FAIL_REGISTERWEBINAR_PANELISTREGISTER = 21,
    MEETING_FAIL_REGISTERWEBINAR_DENIED_EMAIL = 22,
    MEETING_FAIL_ENFORCE_LOGIN = 23,
    CONF_FAIL_ZC_CERTIFICATE_CHANGED = 24,
    CONF_FAIL_VANITY_NOT_EXIST = 27,
    CONF_FAIL_JOIN_WEBINAR_WITHSAMEEMAIL = 28,
    CONF_FAIL_DISALLOW_HOST_MEETING = 29,
    CONF_FAIL_WRITE_CONFIG_FILE = 50,
    CONF_FAIL_FORBID_TO_JOIN_INTERNAL_MEETING = 60,
    CONF_FAIL_REMOVED_BY_HOST = 61,
};

// Code sent with MEETING_STATUS_ENDED (and the other statuses except FAILED).
enum MeetingEndReason
{
    EndMeetingReason_None = 0,
    EndMeetingReason_KickByHost = 1,
    EndMeetingReason_EndByHost = 2,
    EndMeetingReason_JBHTimeOut = 3,
    EndMeetingReason_NoAttendee = 4,
    EndMeetingReason_HostStartAnotherMeeting = 5,
    EndMeetingReason_FreeMeetingTimeOut = 6,
    EndMeetingReason_NetworkBroken = 7,
};

enum SDKUserType
{
    SDK_UT_NORMALUSER = 100,    // signed in with LoginParam
    SDK_UT_WITHOUT_LOGIN = 101, // anonymous participant
};

enum LeaveMeetingCmd
{
    LEAVE_MEETING = 0,
    END_MEETING = 1,
};

struct JoinParam
{
    SDKUserType userType;
    UINT64 meetingNumber;
    const wchar_t* vanityID;
    const wchar_t* userName;
    const wchar_t* psw;
    void* hDirectShareAppWnd;
    const wchar_t* userToken;
    const wchar_t* participantId;
    const wchar_t* webinarToken;
    bool isVideoOff;
    bool isAudioOff;
    bool isDirectShareDesktop;
};

struct StartParam
{
    SDKUserType userType;
    UINT64 meetingNumber; // 0 starts an instant meeting with a new number
    const wchar_t* vanityID;
    void* hDirectShareAppWnd;
    const wchar_t* participantId;
    bool isVideoOff;
    bool isAudioOff;
    bool isDirectShareDesktop;
};

enum StatisticsWarningType
{
    Statistics_Warning_None = 0,
    Statistics_Warning_Network_Quality_Bad,
    Statistics_Warning_Busy_System,
};

enum MeetingType
{
    MEETING_TYPE_NONE = 0,
    MEETING_TYPE_NORMAL,
    MEETING_TYPE_WEBINAR,
    MEETING_TYPE_BREAKOUTROOM,
};

struct MeetingParameter
{
    MeetingType meeting_type;
    bool is_view_only;
    UINT64 meeting_number;
    const wchar_t* meeting_topic;
    const wchar_t* meeting_host;
};

class IMeetingExternalSecureKeyHandler
{
public:
    virtual void Cancel() = 0;

protected:
    ~IMeetingExternalSecureKeyHandler() = default;
};

class IMeetingServiceEvent
{
public:
    virtual void onMeetingStatusChanged(MeetingStatus status, int iResult = 0) = 0;
    virtual void onMeetingStatisticsWarningNotification(StatisticsWarningType type) = 0;
    virtual void
    onMeetingSecureKeyNotification(const char* key, int len, IMeetingExternalSecureKeyHandler* pHandler) = 0;
    virtual void onMeetingParameterNotification(const MeetingParameter* meeting_param) = 0;

protected:
    ~IMeetingServiceEvent() = default;
};

// Valid while the meeting runs.
class IMeetingInfo
{
public:
    virtual UINT64 GetMeetingNumber() = 0;
    virtual const wchar_t* GetMeetingID() = 0;
    virtual const wchar_t* GetMeetingTopic() = 0;
    virtual const wchar_t* GetMeetingPassword() = 0;
    virtual MeetingType GetMeetingType() = 0;
    virtual const wchar_t* GetInviteEmailTemplate() = 0;
    virtual const wchar_t* GetInviteEmailTitle() = 0;
    virtual const wchar_t* GetJoinMeetingUrl() = 0;
    virtual const wchar_t* GetMeetingHostTag() = 0;
    virtual bool IsHost() = 0;

protected:
    ~IMeetingInfo() = default;
};

// Captions of the SDK's meeting windows that an application may replace.
enum SDKCustomizedStringType
{
    SDK_Customized_LiveStream_MenuString_LiveOn_String = 0,
    SDK_Customized_LiveStream_MenuString_LiveView_String,
    SDK_Customized_LiveStream_MenuString_LiveStop_String,
    SDK_Customized_LiveStream_MenuString_CopyURL_String,
    SDK_Customized_Title_App,                // application name shown in the meeting window
    SDK_Customized_Title_OrvoVideo,          // meeting window title, licensed account
    SDK_Customized_Title_FreeOrvoVideo,      // meeting window title, free account
    SDK_Customized_Title_ViewOnly_OrvoVideo, // view-only meeting window title, licensed account
    SDK_Customized_Title_ViewOnly_FreeOrvoVideo,
};

// Options of the next meeting; they stay set until Reset.
class IMeetingConfiguration
{
public:
    virtual void SetFloatVideoPos(int left, int top) = 0;
    virtual void SetBottomFloatToolbarWndVisibility(bool bShow) = 0;
    virtual void EnableAutoEndOtherMeetingWhenStartMeeting(bool bEnable) = 0;
    virtual void SetSharingToolbarVisibility(bool bShow) = 0;
    virtual void SetDirectShareMonitorID(const wchar_t* monitorID) = 0;
    virtual void SetMeetingUIPos(int left, int top) = 0;
    virtual void DisableWaitingForHostDialog(bool bDisable) = 0;
    virtual void HideMeetingInfoFromMeetingUITitle(bool bHide) = 0;
    virtual void SetMeetingIDForMeetingUITitle(UINT64 meetingNumber) = 0;
    virtual void DisablePopupMeetingWrongPSWDlg(bool bDisable) = 0;
    virtual void EnableAutoAdjustSpeakerVolumeWhenJoinAudio(bool bEnable) = 0;
    virtual void EnableAutoAdjustMicVolumeWhenJoinAudio(bool bEnable) = 0;
    virtual void EnableApproveRemoteControlDlg(bool bEnable) = 0;
    virtual void EnableDeclineRemoteControlResponseDlg(bool bEnable) = 0;
    virtual void EnableLeaveMeetingOptionForHost(bool bEnable) = 0;
    virtual void EnableInviteButtonOnMeetingUI(bool bEnable) = 0;
    virtual void EnableInputMeetingPasswordDlg(bool bEnable) = 0;
    virtual void EnableInputMeetingScreenNameDlg(bool bEnable) = 0;
    virtual void RedirectWebinarNeedRegister(bool bRedirect) = 0;
    virtual void RedirectEndOtherMeeting(bool bRedirect) = 0;
    virtual void EnableForceAutoStartMyVideoWhenJoinMeeting(bool bEnable) = 0;
    virtual void EnableForceAutoStopMyVideoWhenJoinMeeting(bool bEnable) = 0;
    virtual void DisableAutoShowSelectJoinAudioDlgWhenJoinMeeting(bool bDisable) = 0;
    virtual void DisableShowJoinMeetingWnd(bool bDisable) = 0;
    virtual void DisableToolbarInviteButtonClickOriginAction(bool bDisable) = 0;
    virtual void SetShowAudioUseComputerSoundChkbox(bool bShow) = 0;
    virtual void SetShowCallInTab(bool bShow) = 0;
    virtual void SetShowCallMeTab(bool bShow) = 0;
    virtual void DisableTopMostAttr4SettingDialog(bool bDisable) = 0;
    virtual void EnableGrabShareWithoutReminder(bool bEnable) = 0;
    virtual void EnableShowShareSwitchMultiToSingleConfirmDlg(bool bEnable) = 0;
    virtual void DisableFreeMeetingRemainTimeNotify(bool bDisable) = 0;
    // Replaces a caption of the meeting windows; null or empty restores the SDK's own text.
    virtual void SetUICustomizedString(SDKCustomizedStringType type, const wchar_t* text) = 0;
    virtual void Reset() = 0;

protected:
    ~IMeetingConfiguration() = default;
};

class IMeetingUIController;
class IMeetingShareController;
class IMeetingChatController;
class IMeetingParticipantsController;
class IMeetingAudioController;
class IMeetingVideoController;
class IMeetingRecordingController;
class IClosedCaptionController;
// Declared for the layout of IMeetingService; this release returns null for them.
class IMeetingWaitingRoomController;
class IMeetingRemoteController;
class IMeetingH323Helper;
class IMeetingPhoneHelper;
class IMeetingBOController;
class IMeetingLiveStreamController;
class IMeetingWebinarController;

class IMeetingService
{
public:
    virtual SDKError SetEvent(IMeetingServiceEvent* pEvent) = 0;
    virtual SDKError HandleWebUriProtocolAction(const wchar_t* protocolAction) = 0;
    // Both answer at once with the request's acceptance; progress comes as status events.
    virtual SDKError Join(JoinParam& joinParam) = 0;
    virtual SDKError Start(StartParam& startParam) = 0;
    virtual SDKError Leave(LeaveMeetingCmd leaveCmd) = 0;
    virtual MeetingStatus GetMeetingStatus() = 0;
    virtual SDKError LockMeeting() = 0;
    virtual SDKError UnlockMeeting() = 0;
    virtual bool IsMeetingLocked() = 0;
    virtual IMeetingInfo* GetMeetingInfo() = 0;
    virtual int GetMeetingConnQuality() = 0;
    virtual IMeetingVideoController* GetMeetingVideoController() = 0;
    virtual IMeetingAudioController* GetMeetingAudioController() = 0;
    virtual IMeetingConfiguration* GetMeetingConfiguration() = 0;
    virtual IMeetingUIController* GetUIController() = 0;
    virtual IMeetingRecordingController* GetMeetingRecordingController() = 0;
    virtual IMeetingWaitingRoomController* GetMeetingWaitingRoomController() = 0;
    virtual IMeetingRemoteController* GetMeetingRemoteController() = 0;
    virtual IMeetingShareController* GetMeetingShareController() = 0;
    virtual IMeetingH323Helper* GetMeetingH323Helper() = 0;
    virtual IMeetingPhoneHelper* GetMeetingPhoneHelper() = 0;
    virtual IMeetingChatController* GetMeetingChatController() = 0;
    virtual IMeetingBOController* GetMeetingBOController() = 0;
    virtual IMeetingLiveStreamController* GetMeetingLiveStreamController() = 0;
    virtual IMeetingWebinarController* GetMeetingWebinarController() = 0;
    virtual IClosedCaptionController* GetMeetingClosedCaptionController() = 0;
    virtual IMeetingParticipantsController* GetMeetingParticipantsController() = 0;

protected:
    ~IMeetingService() = default;
};

} // namespace ORVOSDK
