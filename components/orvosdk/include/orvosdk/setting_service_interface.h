#pragma once
// Orvo meeting SDK: the settings dialog and the settings behind it.

#include "orvosdk/orvo_sdk_def.h"

namespace ORVOSDK {

struct ShowSettingDlgParam
{
    unsigned long long hParent; // native handle of the owner window, 0 for none
    int top;
    int left;
    unsigned long long hSettingWnd; // out: native handle of the dialog
    bool bShow;
};

class IGeneralSettingContext
{
public:
    virtual SDKError EnableDualScreenMode(bool bEnable) = 0;
    virtual bool IsDualScreenModeEnabled() = 0;
    virtual SDKError EnableAutoFitToWindowWhenViewSharing(bool bEnable) = 0;
    virtual bool IsAutoFitToWindowWhenViewSharingEnabled() = 0;
    virtual SDKError EnableAutoFullScreenVideoWhenJoinMeeting(bool bEnable) = 0;
    virtual bool IsAutoFullScreenVideoWhenJoinMeetingEnabled() = 0;
    virtual SDKError EnableSplitScreenMode(bool bEnable) = 0;
    virtual bool IsSplitScreenModeEnabled() = 0;
    virtual SDKError EnableDisplayReminderWindowWhenExit(bool bEnable) = 0;
    virtual bool IsDisplayReminderWindowWhenExitEnabled() = 0;
    virtual SDKError EnableShowMyMeetingElapseTime(bool bEnable) = 0;
    virtual bool IsShowMyMeetingElapseTimeEnabled() = 0;
    virtual SDKError EnableAccelerateGPUWhenShare(bool bEnable) = 0;
    virtual bool IsAccelerateGPUWhenShareEnabled() = 0;
    virtual SDKError EnableRemoteControlAllApplications(bool bEnable) = 0;
    virtual bool IsRemoteControlAllApplicationsEnabled() = 0;
    virtual SDKError SetReactionSkinTone(int skinTone) = 0;
    virtual int GetReactionSkinTone() = 0;
    virtual bool IsCurrentOSSupportAccelerateGPUWhenShare() = 0;
    // Copies the invitation link to the clipboard when a meeting starts.
    virtual SDKError EnableAutoCopyInviteLink(bool bEnable) = 0;
    virtual bool IsAutoCopyInviteLinkEnabled() = 0;

protected:
    ~IGeneralSettingContext() = default;
};

class IAudioSettingContext
{
public:
    virtual SDKError EnableAutoJoinAudio(bool bEnable) = 0;
    virtual bool IsAutoJoinAudioEnabled() = 0;

protected:
    ~IAudioSettingContext() = default;
};

class IVideoSettingContext
{
public:
    virtual SDKError EnableVideoMirrorEffect(bool bEnable) = 0;
    virtual bool IsVideoMirrorEffectEnabled() = 0;

protected:
    ~IVideoSettingContext() = default;
};

class IRecordingSettingContext
{
public:
    // The folder is created when the first recording is written into it.
    virtual SDKError SetRecordingPath(const wchar_t* szPath) = 0;
    virtual const wchar_t* GetRecordingPath() = 0;
    virtual SDKError EnableSelectRecordFileLocationAfterMeeting(bool bEnable) = 0;
    virtual bool IsSelectRecordFileLocationAfterMeetingEnabled() = 0;

protected:
    ~IRecordingSettingContext() = default;
};

class IStatisticSettingContext
{
public:
    virtual SDKError QueryOverallStatisticInfo(int& cpuUsage, int& memoryUsage) = 0;

protected:
    ~IStatisticSettingContext() = default;
};

class IAccessibilitySettingContext
{
public:
    virtual SDKError EnableAlwaysShowMeetingControls(bool bEnable) = 0;
    virtual bool IsAlwaysShowMeetingControlsEnabled() = 0;

protected:
    ~IAccessibilitySettingContext() = default;
};

// Which pages the settings dialog shows; one byte each, in the dialog's order.
struct SettingDlgShowTabPageOption
{
    bool bShowGeneral;
    bool bShowVideo;
    bool bShowAudio;
    bool bShowVirtualBackGround;
    bool bShowRecording;
    bool bShowAdvancedFeature;
    bool bShowStatistics;
    bool bShowFeedback;
    bool bShowKeyboardShortcuts;
    bool bShowAccessibility;
    bool bShowVideoFilter;
    bool bShowAccount;
};

class ISettingUIStrategy
{
public:
    virtual void DisableAdvancedFeatures4GeneralSetting(bool bDisable) = 0;
    virtual void DisableAccountSettingTabPage(bool bDisable) = 0;
    virtual void ConfSettingDialogShownTabPage(SettingDlgShowTabPageOption showOption) = 0;
    virtual void HideAutoCopyInviteLinkCheckBox(bool bHide) = 0;

protected:
    ~ISettingUIStrategy() = default;
};

class ISettingService
{
public:
    virtual SDKError ShowSettingDlg(ShowSettingDlgParam& param) = 0;
    virtual SDKError HideSettingDlg() = 0;
    virtual IGeneralSettingContext* GetGeneralSettings() = 0;
    virtual IAudioSettingContext* GetAudioSettings() = 0;
    virtual IVideoSettingContext* GetVideoSettings() = 0;
    virtual IRecordingSettingContext* GetRecordingSettings() = 0;
    virtual IStatisticSettingContext* GetStatisticSettings() = 0;
    virtual IAccessibilitySettingContext* GetAccessibilitySettings() = 0;
    virtual ISettingUIStrategy* GetSettingUIStrategy() = 0;

protected:
    ~ISettingService() = default;
};

} // namespace ORVOSDK
