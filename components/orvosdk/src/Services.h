#pragma once
// The SDK's service objects. Everything here runs on the event thread; only cloud requests and file
// writing happen on workers.

#include <QDateTime>
#include <QJsonObject>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SdkCore.h"
#include "orvosdk/orvo_sdk.h"

class QWidget;
class QTimer;

namespace orvo {

template <class T> class VectorList : public ORVOSDK::IList<T>
{
public:
    explicit VectorList(std::vector<T> items = {})
        : m_items(std::move(items))
    {}
    int GetCount() override { return int(m_items.size()); }
    T GetItem(unsigned int index) override { return index < m_items.size() ? m_items[index] : T(); }
    std::vector<T>& Items() { return m_items; }

private:
    std::vector<T> m_items;
};

// --- connection and authentication ---

class NetworkHelper : public ORVOSDK::INetworkConnectionHelper
{
public:
    ~NetworkHelper();
    ORVOSDK::SDKError RegisterNetworkConnectionHandler(ORVOSDK::INetworkConnectionHandler* pHandler) override;
    ORVOSDK::SDKError UnRegisterNetworkConnectionHandler() override;
    ORVOSDK::SDKError ConfigureProxy(const wchar_t* proxy) override;
    bool IsConnectionReady() override { return m_ready; }

private:
    void Probe(int attempt);

    ORVOSDK::INetworkConnectionHandler* m_handler = nullptr;
    bool m_ready = false;
    LifeToken m_life = std::make_shared<int>(0);
    int m_generation = 0;
};

class AccountInfo : public ORVOSDK::IAccountInfo
{
public:
    const wchar_t* GetDisplayName() override { return m_displayName.c_str(); }
    ORVOSDK::LoginType GetLoginType() override { return ORVOSDK::LoginType_Email; }
    const wchar_t* GetUserName() override { return m_userName.c_str(); }
    UINT64 GetPersonalMeetingNumber() override { return m_pmi; }

    std::wstring m_displayName;
    std::wstring m_userName;
    UINT64 m_pmi = 0;
};

class DirectShareHelper : public ORVOSDK::IDirectShareServiceHelper
{
public:
    ORVOSDK::SDKError SetEvent(ORVOSDK::IDirectShareServiceHelperEvent* pEvent) override;
    ORVOSDK::SDKError CanStartDirectShare() override { return ORVOSDK::SDKERR_MEETING_DONT_SUPPORT_FEATURE; }
    bool IsDirectShareInProgress() override { return false; }
    ORVOSDK::SDKError StartDirectShare() override { return ORVOSDK::SDKERR_MEETING_DONT_SUPPORT_FEATURE; }
    ORVOSDK::SDKError StopDirectShare() override { return ORVOSDK::SDKERR_WRONG_USAGE; }

private:
    ORVOSDK::IDirectShareServiceHelperEvent* m_event = nullptr;
};

class AuthService : public ORVOSDK::IAuthService
{
public:
    ORVOSDK::SDKError SetEvent(ORVOSDK::IAuthServiceEvent* pEvent) override;
    ORVOSDK::SDKError SDKAuth(ORVOSDK::AuthParam& authParam) override;
    ORVOSDK::AuthResult GetAuthResult() override { return m_authResult; }
    const wchar_t* GetSDKIdentity() override { return L"orvo-sdk-linux"; }
    ORVOSDK::SDKError Login(ORVOSDK::LoginParam& param) override;
    ORVOSDK::SDKError LogOut() override;
    ORVOSDK::LOGINSTATUS GetLoginStatus() override { return m_loginStatus; }
    ORVOSDK::IAccountInfo* GetAccountInfo() override;
    ORVOSDK::IDirectShareServiceHelper* GetDirectShareServiceHeler() override { return &m_directShare; }

private:
    ORVOSDK::IAuthServiceEvent* m_event = nullptr;
    ORVOSDK::AuthResult m_authResult = ORVOSDK::AUTHRET_NONE;
    ORVOSDK::LOGINSTATUS m_loginStatus = ORVOSDK::LOGIN_IDLE;
    bool m_authPending = false;
    AccountInfo m_account;
    DirectShareHelper m_directShare;
    LifeToken m_life = std::make_shared<int>(0);
};

// --- settings ---

class SettingService;

class GeneralSettings : public ORVOSDK::IGeneralSettingContext
{
public:
    ORVOSDK::SDKError EnableDualScreenMode(bool b) override { return Set(0, b); }
    bool IsDualScreenModeEnabled() override { return m_flags[0]; }
    ORVOSDK::SDKError EnableAutoFitToWindowWhenViewSharing(bool b) override { return Set(1, b); }
    bool IsAutoFitToWindowWhenViewSharingEnabled() override { return m_flags[1]; }
    ORVOSDK::SDKError EnableAutoFullScreenVideoWhenJoinMeeting(bool b) override { return Set(2, b); }
    bool IsAutoFullScreenVideoWhenJoinMeetingEnabled() override { return m_flags[2]; }
    ORVOSDK::SDKError EnableSplitScreenMode(bool b) override { return Set(3, b); }
    bool IsSplitScreenModeEnabled() override { return m_flags[3]; }
    ORVOSDK::SDKError EnableDisplayReminderWindowWhenExit(bool b) override { return Set(4, b); }
    bool IsDisplayReminderWindowWhenExitEnabled() override { return m_flags[4]; }
    ORVOSDK::SDKError EnableShowMyMeetingElapseTime(bool b) override { return Set(5, b); }
    bool IsShowMyMeetingElapseTimeEnabled() override { return m_flags[5]; }
    ORVOSDK::SDKError EnableAccelerateGPUWhenShare(bool b) override { return Set(6, b); }
    bool IsAccelerateGPUWhenShareEnabled() override { return m_flags[6]; }
    ORVOSDK::SDKError EnableRemoteControlAllApplications(bool b) override { return Set(7, b); }
    bool IsRemoteControlAllApplicationsEnabled() override { return m_flags[7]; }
    ORVOSDK::SDKError SetReactionSkinTone(int skinTone) override;
    int GetReactionSkinTone() override { return m_skinTone; }
    bool IsCurrentOSSupportAccelerateGPUWhenShare() override { return false; }
    ORVOSDK::SDKError EnableAutoCopyInviteLink(bool b) override { return Set(8, b); }
    bool IsAutoCopyInviteLinkEnabled() override { return m_flags[8]; }

    static constexpr int kCount = 9;
    static const char* Label(int index, bool chinese);
    bool m_flags[kCount] = {false, true, false, false, true, true, false, false, true};

private:
    ORVOSDK::SDKError Set(int index, bool value)
    {
        m_flags[index] = value;
        return ORVOSDK::SDKERR_SUCCESS;
    }
    int m_skinTone = 1;
};

class AudioSettings : public ORVOSDK::IAudioSettingContext
{
public:
    ORVOSDK::SDKError EnableAutoJoinAudio(bool b) override;
    bool IsAutoJoinAudioEnabled() override { return m_autoJoin; }
    bool m_autoJoin = true;
};

class VideoSettings : public ORVOSDK::IVideoSettingContext
{
public:
    ORVOSDK::SDKError EnableVideoMirrorEffect(bool b) override;
    bool IsVideoMirrorEffectEnabled() override { return m_mirror; }
    bool m_mirror = true;
};

class RecordingSettings : public ORVOSDK::IRecordingSettingContext
{
public:
    ORVOSDK::SDKError SetRecordingPath(const wchar_t* szPath) override;
    const wchar_t* GetRecordingPath() override;
    ORVOSDK::SDKError EnableSelectRecordFileLocationAfterMeeting(bool b) override;
    bool IsSelectRecordFileLocationAfterMeetingEnabled() override { return m_selectAfter; }

private:
    std::wstring m_path;
    bool m_selectAfter = false;
};

// The recording folder shared by the setting service and the recorder.
QString RecordingFolder();
void SetRecordingFolder(const QString& folder);

class StatisticSettings : public ORVOSDK::IStatisticSettingContext
{
public:
    ORVOSDK::SDKError QueryOverallStatisticInfo(int& cpuUsage, int& memoryUsage) override;
};

class AccessibilitySettings : public ORVOSDK::IAccessibilitySettingContext
{
public:
    ORVOSDK::SDKError EnableAlwaysShowMeetingControls(bool b) override;
    bool IsAlwaysShowMeetingControlsEnabled() override { return m_always; }
    bool m_always = false;
};

class SettingUIStrategy : public ORVOSDK::ISettingUIStrategy
{
public:
    void DisableAdvancedFeatures4GeneralSetting(bool b) override { m_noAdvanced = b; }
    void DisableAccountSettingTabPage(bool b) override { m_noAccount = b; }
    void ConfSettingDialogShownTabPage(ORVOSDK::SettingDlgShowTabPageOption option) override { m_pages = option; }
    void HideAutoCopyInviteLinkCheckBox(bool b) override { m_hideAutoCopy = b; }

    bool m_noAdvanced = false;
    bool m_noAccount = false;
    bool m_hideAutoCopy = false;
    ORVOSDK::SettingDlgShowTabPageOption m_pages{true, true, true, true, true, true,
                                                 true, true, true, true, true, true};
};

class SettingService : public ORVOSDK::ISettingService
{
public:
    ~SettingService();
    ORVOSDK::SDKError ShowSettingDlg(ORVOSDK::ShowSettingDlgParam& param) override;
    ORVOSDK::SDKError HideSettingDlg() override;
    ORVOSDK::IGeneralSettingContext* GetGeneralSettings() override { return &m_general; }
    ORVOSDK::IAudioSettingContext* GetAudioSettings() override { return &m_audio; }
    ORVOSDK::IVideoSettingContext* GetVideoSettings() override { return &m_video; }
    ORVOSDK::IRecordingSettingContext* GetRecordingSettings() override { return &m_recording; }
    ORVOSDK::IStatisticSettingContext* GetStatisticSettings() override { return &m_statistic; }
    ORVOSDK::IAccessibilitySettingContext* GetAccessibilitySettings() override { return &m_accessibility; }
    ORVOSDK::ISettingUIStrategy* GetSettingUIStrategy() override { return &m_strategy; }

private:
    QWidget* BuildDialog(QWidget* parent);

    GeneralSettings m_general;
    AudioSettings m_audio;
    VideoSettings m_video;
    RecordingSettings m_recording;
    StatisticSettings m_statistic;
    AccessibilitySettings m_accessibility;
    SettingUIStrategy m_strategy;
    QPointer<QWidget> m_dialog;
};

class CustomizedResourceHelper : public ORVOSDK::ICustomizedResourceHelper
{
public:
    ORVOSDK::SDKError AddCustomizedPictureResource(const wchar_t* strPNGID, const wchar_t* absolutePath) override;
    ORVOSDK::SDKError AddCustomizedStringResource(const wchar_t* strStringID, const wchar_t* text) override;
    ORVOSDK::SDKError SetSupportUrl(ORVOSDK::SupportUrlType type, const wchar_t* url) override;
    const wchar_t* GetSupportUrl(ORVOSDK::SupportUrlType type) override;

private:
    std::map<std::wstring, std::wstring> m_pictures;
    std::map<std::wstring, std::wstring> m_strings;
    std::wstring m_urls[3];
};

// --- scheduled meetings ---

// One meeting item as the cloud describes it.
struct ItemData
{
    UINT64 meetingId = 0;
    UINT64 number = 0;
    std::wstring topic;
    time_t startTime = 0;
    unsigned duration = 60;
    std::wstring timeZone = L"Asia/Shanghai";
    bool periodic = false;
    bool personal = false;
    bool hostVideo = true;
    bool participantVideo = true;
    int audioOption = ORVOSDK::SCHEDULE_AUDIO_BOTH;
    bool passwordEnabled = false;
    std::wstring password;
    bool joinBeforeHost = true;
    bool muteUponEntry = false;
    bool usePmi = false;
    bool autoRecording = false;
    std::wstring joinUrl;
    // Which options the account may change.
    bool modPassword = true, modJoinBeforeHost = true, modMute = true, modUsePmi = true, modAutoRecording = true;

    static ItemData FromJson(const QJsonObject& item);
};

class MeetingItemInfo : public ORVOSDK::IMeetingItemInfo
{
public:
    UINT64 GetMeetingUniqueID() override { return d.meetingId; }
    UINT64 GetMeetingNumber() override { return d.number; }
    const wchar_t* GetMeetingTopic() override { return d.topic.c_str(); }
    time_t GetStartTime() override { return d.startTime; }
    unsigned int GetDurationInMinutes() override { return d.duration; }
    bool IsPeriodicMeeting() override { return d.periodic; }
    bool IsPersonalMeeting() override { return d.personal; }
    bool IsHostVideoOn() override { return d.hostVideo; }
    bool IsParticipantVideoOn() override { return d.participantVideo; }
    bool IsPasswordEnabled(bool& m) override
    {
        m = d.modPassword;
        return d.passwordEnabled;
    }
    const wchar_t* GetMeetingPassword() override { return d.password.c_str(); }
    bool IsJoinBeforeHostEnabled(bool& m) override
    {
        m = d.modJoinBeforeHost;
        return d.joinBeforeHost;
    }
    bool IsMuteUponEntryEnabled(bool& m) override
    {
        m = d.modMute;
        return d.muteUponEntry;
    }
    bool IsUsePMIEnabled(bool& m) override
    {
        m = d.modUsePmi;
        return d.usePmi;
    }
    bool IsAutoRecordingEnabled(bool& m) override
    {
        m = d.modAutoRecording;
        return d.autoRecording;
    }
    const wchar_t* GetJoinMeetingUrl() override { return d.joinUrl.c_str(); }
    int GetAudioOption() override { return d.audioOption; }
    const wchar_t* GetTimeZone() override { return d.timeZone.c_str(); }

    ItemData d;
};

class ScheduleItem : public ORVOSDK::IScheduleMeetingItem
{
public:
    ORVOSDK::SDKError SetMeetingTopic(const wchar_t* topic) override;
    const wchar_t* GetMeetingTopic() override { return d.topic.c_str(); }
    ORVOSDK::SDKError SetStartTime(time_t startTime) override;
    time_t GetStartTime() override { return d.startTime; }
    ORVOSDK::SDKError SetDurationInMinutes(unsigned int duration) override;
    unsigned int GetDurationInMinutes() override { return d.duration; }
    ORVOSDK::SDKError SetAsPeriodicMeeting(bool b) override;
    bool IsPeriodicMeeting() override { return d.periodic; }
    ORVOSDK::SDKError SetTimeZone(const wchar_t* tz) override;
    const wchar_t* GetTimeZone() override { return d.timeZone.c_str(); }
    ORVOSDK::SDKError TurnHostVideoOn(bool b) override;
    bool IsHostVideoOn() override { return d.hostVideo; }
    ORVOSDK::SDKError TurnParticipantVideoOn(bool b) override;
    bool IsParticipantVideoOn() override { return d.participantVideo; }
    ORVOSDK::SDKError SetAudioOption(int option) override;
    int GetAudioOption() override { return d.audioOption; }
    ORVOSDK::SDKError EnablePassword(bool b) override;
    bool IsPasswordEnabled(bool& m) override
    {
        m = d.modPassword;
        return d.passwordEnabled;
    }
    ORVOSDK::SDKError SetMeetingPassword(const wchar_t* password) override;
    const wchar_t* GetMeetingPassword() override { return d.password.c_str(); }
    ORVOSDK::SDKError EnableJoinBeforeHost(bool b) override;
    bool IsJoinBeforeHostEnabled(bool& m) override
    {
        m = d.modJoinBeforeHost;
        return d.joinBeforeHost;
    }
    ORVOSDK::SDKError EnableMuteUponEntry(bool b) override;
    bool IsMuteUponEntryEnabled(bool& m) override
    {
        m = d.modMute;
        return d.muteUponEntry;
    }
    ORVOSDK::SDKError EnableUsePMI(bool b) override;
    bool IsUsePMIEnabled(bool& m) override
    {
        m = d.modUsePmi;
        return d.usePmi;
    }
    ORVOSDK::SDKError EnableAutoRecording(bool b) override;
    bool IsAutoRecordingEnabled(bool& m) override
    {
        m = d.modAutoRecording;
        return d.autoRecording;
    }
    UINT64 GetMeetingUniqueID() override { return d.meetingId; }

    // The request body: every value of a new item, the changed ones of an edit.
    QJsonObject ToJson() const;

    ItemData d;
    std::vector<std::string> changed;

private:
    void Mark(const char* field);
};

class PreMeetingService : public ORVOSDK::IPreMeetingService
{
public:
    ~PreMeetingService();
    ORVOSDK::IScheduleMeetingItem* CreateScheduleMeetingItem() override;
    void DestroyScheduleMeetingItem(ORVOSDK::IScheduleMeetingItem* pItem) override;
    ORVOSDK::IScheduleMeetingItem* CreateEditMeetingItem(UINT64 meetingUniqueID) override;
    void DestroyEditMeetingItem(ORVOSDK::IScheduleMeetingItem* pItem) override;
    ORVOSDK::SDKError SetEvent(ORVOSDK::IPreMeetingServiceEvent* pEvent) override;
    int GetListedMeetingCount() override { return m_listedCount; }
    ORVOSDK::SDKError ScheduleMeeting(ORVOSDK::IScheduleMeetingItem* pItem) override;
    bool IsRequestPending() override { return m_pending > 0; }
    ORVOSDK::SDKError EditMeeting(ORVOSDK::IScheduleMeetingItem* pItem) override;
    ORVOSDK::SDKError DeleteMeeting(UINT64 meetingUniqueID) override;
    ORVOSDK::SDKError ListMeeting() override;
    ORVOSDK::IMeetingItemInfo* GetMeetingItem(UINT64 meetingUniqueID) override;

private:
    ORVOSDK::SDKError CheckReady() const;
    ORVOSDK::SDKError Submit(ScheduleItem* item, bool edit);
    MeetingItemInfo* Remember(const ItemData& data);
    bool Owns(ORVOSDK::IScheduleMeetingItem* item) const;

    ORVOSDK::IPreMeetingServiceEvent* m_event = nullptr;
    std::map<UINT64, std::unique_ptr<MeetingItemInfo>> m_items; // kept for the service's life
    std::vector<std::unique_ptr<ScheduleItem>> m_drafts;
    int m_listedCount = 0;
    int m_pending = 0;
    LifeToken m_life = std::make_shared<int>(0);
};

// --- meetings ---

class MeetingService;

class MeetingInfo : public ORVOSDK::IMeetingInfo
{
public:
    UINT64 GetMeetingNumber() override { return m_number; }
    const wchar_t* GetMeetingID() override { return m_id.c_str(); }
    const wchar_t* GetMeetingTopic() override { return m_topic.c_str(); }
    const wchar_t* GetMeetingPassword() override { return m_password.c_str(); }
    ORVOSDK::MeetingType GetMeetingType() override { return ORVOSDK::MEETING_TYPE_NORMAL; }
    const wchar_t* GetInviteEmailTemplate() override { return m_inviteText.c_str(); }
    const wchar_t* GetInviteEmailTitle() override { return m_topic.c_str(); }
    const wchar_t* GetJoinMeetingUrl() override { return m_joinUrl.c_str(); }
    const wchar_t* GetMeetingHostTag() override { return m_hostName.c_str(); }
    bool IsHost() override { return m_isHost; }

    UINT64 m_number = 0;
    std::wstring m_id, m_topic, m_password, m_inviteText, m_joinUrl, m_hostName;
    bool m_isHost = false;
};

class MeetingConfiguration : public ORVOSDK::IMeetingConfiguration
{
public:
    void SetFloatVideoPos(int, int) override {}
    void SetBottomFloatToolbarWndVisibility(bool) override {}
    void EnableAutoEndOtherMeetingWhenStartMeeting(bool b) override { autoEndOther = b; }
    void SetSharingToolbarVisibility(bool) override {}
    void SetDirectShareMonitorID(const wchar_t*) override {}
    void SetMeetingUIPos(int left, int top) override
    {
        uiLeft = left;
        uiTop = top;
        hasUiPos = true;
    }
    void DisableWaitingForHostDialog(bool) override {}
    void HideMeetingInfoFromMeetingUITitle(bool b) override { hideInfoInTitle = b; }
    void SetMeetingIDForMeetingUITitle(UINT64) override {}
    void DisablePopupMeetingWrongPSWDlg(bool) override {}
    void EnableAutoAdjustSpeakerVolumeWhenJoinAudio(bool) override {}
    void EnableAutoAdjustMicVolumeWhenJoinAudio(bool) override {}
    void EnableApproveRemoteControlDlg(bool) override {}
    void EnableDeclineRemoteControlResponseDlg(bool) override {}
    void EnableLeaveMeetingOptionForHost(bool b) override { leaveOptionForHost = b; }
    void EnableInviteButtonOnMeetingUI(bool b) override { inviteButton = b; }
    void EnableInputMeetingPasswordDlg(bool) override {}
    void EnableInputMeetingScreenNameDlg(bool) override {}
    void RedirectWebinarNeedRegister(bool) override {}
    void RedirectEndOtherMeeting(bool) override {}
    void EnableForceAutoStartMyVideoWhenJoinMeeting(bool) override {}
    void EnableForceAutoStopMyVideoWhenJoinMeeting(bool) override {}
    void DisableAutoShowSelectJoinAudioDlgWhenJoinMeeting(bool) override {}
    void DisableShowJoinMeetingWnd(bool) override {}
    void DisableToolbarInviteButtonClickOriginAction(bool) override {}
    void SetShowAudioUseComputerSoundChkbox(bool) override {}
    void SetShowCallInTab(bool) override {}
    void SetShowCallMeTab(bool) override {}
    void DisableTopMostAttr4SettingDialog(bool) override {}
    void EnableGrabShareWithoutReminder(bool) override {}
    void EnableShowShareSwitchMultiToSingleConfirmDlg(bool) override {}
    void DisableFreeMeetingRemainTimeNotify(bool) override {}
    void SetUICustomizedString(ORVOSDK::SDKCustomizedStringType type, const wchar_t* text) override;
    void Reset() override;

    bool autoEndOther = false;
    bool hideInfoInTitle = false;
    bool leaveOptionForHost = true;
    bool inviteButton = true;
    bool hasUiPos = false;
    int uiLeft = 0, uiTop = 0;
};

class UIController : public ORVOSDK::IMeetingUIController
{
public:
    explicit UIController(MeetingService* owner)
        : m_owner(owner)
    {}
    ORVOSDK::SDKError SetEvent(ORVOSDK::IMeetingUIControllerEvent* pEvent) override;
    ORVOSDK::SDKError ShowChatDlg(bool) override;
    ORVOSDK::SDKError EnterFullScreen() override;
    ORVOSDK::SDKError ExitFullScreen() override;
    ORVOSDK::SDKError SwitchToVideoWall() override;
    ORVOSDK::SDKError SwitchToActiveSpeaker() override;
    ORVOSDK::SDKError MoveFloatVideoWnd(int, int) override;
    ORVOSDK::SDKError ShowParticipantsListWnd(bool) override;
    ORVOSDK::SDKError ShowBottomFloatToolbarWnd(bool) override;
    ORVOSDK::SDKError GetMeetingUIWnd(unsigned long long& first, unsigned long long& second) override;
    ORVOSDK::SDKError ShowInviteDlg() override;

    ORVOSDK::IMeetingUIControllerEvent* m_event = nullptr;

private:
    MeetingService* m_owner;
};

class ShareController : public ORVOSDK::IMeetingShareController
{
public:
    explicit ShareController(MeetingService* owner)
        : m_owner(owner)
    {}
    ORVOSDK::SDKError SetEvent(ORVOSDK::IMeetingShareCtrlEvent* pEvent) override;
    ORVOSDK::SDKError StartAppShare(void* hwnd) override;
    ORVOSDK::SDKError StartMonitorShare(const wchar_t* monitorID) override;
    ORVOSDK::SDKError StartWhiteBoardShare() override;
    ORVOSDK::SDKError StartPortionShare() override;
    ORVOSDK::SDKError StartShare() override;
    ORVOSDK::SDKError PauseCurrentSharing() override;
    ORVOSDK::SDKError ResumeCurrentSharing() override;
    bool IsShareLocked() override;
    bool IsSharingOut() override;
    ORVOSDK::SDKError StopShare() override;

    ORVOSDK::IMeetingShareCtrlEvent* m_event = nullptr;

private:
    MeetingService* m_owner;
};

struct Participant
{
    unsigned id = 0;
    std::wstring name;
    bool host = false;
    bool self = false;
};

class UserInfo : public ORVOSDK::IUserInfo
{
public:
    const wchar_t* GetUserName() override { return p.name.c_str(); }
    unsigned int GetUserID() override { return p.id; }
    bool IsHost() override { return p.host; }
    bool IsMySelf() override { return p.self; }
    ORVOSDK::UserRole GetUserRole() override { return p.host ? ORVOSDK::USERROLE_HOST : ORVOSDK::USERROLE_ATTENDEE; }
    Participant p;
};

class ParticipantsController : public ORVOSDK::IMeetingParticipantsController
{
public:
    explicit ParticipantsController(MeetingService* owner)
        : m_owner(owner)
    {}
    ORVOSDK::SDKError SetEvent(ORVOSDK::IMeetingParticipantsCtrlEvent* pEvent) override;
    ORVOSDK::IList<unsigned int>* GetParticipantsList() override;
    ORVOSDK::IUserInfo* GetUserByUserID(unsigned int userId) override;
    ORVOSDK::IUserInfo* GetMySelfUser() override;

    ORVOSDK::IMeetingParticipantsCtrlEvent* m_event = nullptr;

private:
    MeetingService* m_owner;
    VectorList<unsigned int> m_list;
    std::map<unsigned, std::unique_ptr<UserInfo>> m_users;
};

class ChatController : public ORVOSDK::IMeetingChatController
{
public:
    explicit ChatController(MeetingService* owner)
        : m_owner(owner)
    {}
    ORVOSDK::SDKError SetEvent(ORVOSDK::IMeetingChatCtrlEvent* pEvent) override;
    ORVOSDK::SDKError SendChatTo(unsigned int receiver, const wchar_t* content) override;
    bool IsChatAllowed() override;

    ORVOSDK::IMeetingChatCtrlEvent* m_event = nullptr;

private:
    MeetingService* m_owner;
};

class RecordingController : public ORVOSDK::IMeetingRecordingController
{
public:
    explicit RecordingController(MeetingService* owner)
        : m_owner(owner)
    {}
    ORVOSDK::SDKError SetEvent(ORVOSDK::IMeetingRecordingCtrlEvent* pEvent) override;
    ORVOSDK::SDKError StartRecording(time_t& startTimestamp) override;
    ORVOSDK::SDKError StopRecording(time_t& stopTimestamp) override;
    bool IsRecording() override;

    ORVOSDK::IMeetingRecordingCtrlEvent* m_event = nullptr;

private:
    MeetingService* m_owner;
};

class MeetingWindow;

class MeetingService : public ORVOSDK::IMeetingService
{
public:
    MeetingService();
    ~MeetingService();

    ORVOSDK::SDKError SetEvent(ORVOSDK::IMeetingServiceEvent* pEvent) override;
    ORVOSDK::SDKError HandleWebUriProtocolAction(const wchar_t* protocolAction) override;
    ORVOSDK::SDKError Join(ORVOSDK::JoinParam& joinParam) override;
    ORVOSDK::SDKError Start(ORVOSDK::StartParam& startParam) override;
    ORVOSDK::SDKError Leave(ORVOSDK::LeaveMeetingCmd leaveCmd) override;
    ORVOSDK::MeetingStatus GetMeetingStatus() override { return m_status; }
    ORVOSDK::SDKError LockMeeting() override;
    ORVOSDK::SDKError UnlockMeeting() override;
    bool IsMeetingLocked() override { return m_locked; }
    ORVOSDK::IMeetingInfo* GetMeetingInfo() override;
    int GetMeetingConnQuality() override;
    ORVOSDK::IMeetingVideoController* GetMeetingVideoController() override { return nullptr; }
    ORVOSDK::IMeetingAudioController* GetMeetingAudioController() override { return nullptr; }
    ORVOSDK::IMeetingConfiguration* GetMeetingConfiguration() override { return &m_config; }
    ORVOSDK::IMeetingUIController* GetUIController() override { return &m_ui; }
    ORVOSDK::IMeetingRecordingController* GetMeetingRecordingController() override { return &m_recordingCtrl; }
    ORVOSDK::IMeetingWaitingRoomController* GetMeetingWaitingRoomController() override { return nullptr; }
    ORVOSDK::IMeetingRemoteController* GetMeetingRemoteController() override { return nullptr; }
    ORVOSDK::IMeetingShareController* GetMeetingShareController() override { return &m_share; }
    ORVOSDK::IMeetingH323Helper* GetMeetingH323Helper() override { return nullptr; }
    ORVOSDK::IMeetingPhoneHelper* GetMeetingPhoneHelper() override { return nullptr; }
    ORVOSDK::IMeetingChatController* GetMeetingChatController() override { return &m_chat; }
    ORVOSDK::IMeetingBOController* GetMeetingBOController() override { return nullptr; }
    ORVOSDK::IMeetingLiveStreamController* GetMeetingLiveStreamController() override { return nullptr; }
    ORVOSDK::IMeetingWebinarController* GetMeetingWebinarController() override { return nullptr; }
    ORVOSDK::IClosedCaptionController* GetMeetingClosedCaptionController() override { return nullptr; }
    ORVOSDK::IMeetingParticipantsController* GetMeetingParticipantsController() override { return &m_participants; }

    // Used by the controllers and the meeting window.
    bool InMeeting() const { return m_status == ORVOSDK::MEETING_STATUS_INMEETING; }
    bool IsHost() const { return m_info.m_isHost; }
    const MeetingInfo& Info() const { return m_info; }
    const std::vector<Participant>& Participants() const { return m_people; }
    unsigned SelfId() const { return m_selfId; }
    QDateTime StartedAt() const { return m_startedAt; }
    bool ShareLocked() const { return m_shareLocked; }
    bool SharingOut() const { return m_sharingOut; }
    bool Recording() const { return m_recording; }
    ORVOSDK::SDKError RequestShare(bool on);
    ORVOSDK::SDKError SetRecording(bool on);
    ORVOSDK::SDKError SetShareLock(bool locked);
    void InviteClicked();
    void ShowOwnInvite();
    MeetingWindow* Window() const;

    UIController m_ui{this};
    ShareController m_share{this};
    ParticipantsController m_participants{this};
    ChatController m_chat{this};
    RecordingController m_recordingCtrl{this};

private:
    void SetStatus(ORVOSDK::MeetingStatus status, int code);
    void PostStatus(ORVOSDK::MeetingStatus status, int code);
    void Enter(const QJsonObject& data);
    void Finish(int endReason);
    ORVOSDK::SDKError SendEntry(const CloudRequest& request);
    void FailWith(const CloudReply& reply);
    void Poll();
    void ApplyState(const QJsonObject& state);
    CloudRequest MeetingCall(const char* action, QJsonObject body) const;

    ORVOSDK::IMeetingServiceEvent* m_event = nullptr;
    ORVOSDK::MeetingStatus m_status = ORVOSDK::MEETING_STATUS_IDLE;
    MeetingConfiguration m_config;
    MeetingInfo m_info;
    QString m_participantToken;
    unsigned m_selfId = 0;
    std::vector<Participant> m_people;
    bool m_locked = false;
    bool m_shareLocked = false;
    bool m_sharingOut = false;
    bool m_recording = false;
    bool m_recorded = false;
    bool m_leaving = false;
    bool m_pollInFlight = false;
    int m_pollFailures = 0;
    QDateTime m_startedAt;
    QTimer* m_pollTimer = nullptr;
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_inviteBox;
    LifeToken m_life = std::make_shared<int>(0);
    LifeToken m_session; // one per meeting, so answers of an earlier meeting are dropped
};

// Writes the local recording of a finished meeting and shows the conversion window meanwhile.
void WriteRecording(const QString& topic, UINT64 number, const QDateTime& startedAt);

} // namespace orvo
