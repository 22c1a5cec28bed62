#include "FakeSdk.h"

#include <algorithm>

#include "sdk/MeetingEvent.h"
#include "sdk/OrvoAuth.h"
#include "sdk/SDKEntryPoints.h"
#include "sdk/SDKInterfaceWrap.h"

using namespace ORVOSDK;

namespace fakesdk {

State& state()
{
    static State s;
    return s;
}

int count(const std::string& call)
{
    return int(std::count(state().calls.begin(), state().calls.end(), call));
}

namespace {

void log(const std::string& call)
{
    state().calls.push_back(call);
}

struct ScheduleItemFake : IScheduleMeetingItem
{
    std::wstring topic;
    SDKError SetMeetingTopic(const wchar_t* t) override
    {
        topic = t ? t : L"";
        return SDKERR_SUCCESS;
    }
    const wchar_t* GetMeetingTopic() override { return topic.c_str(); }
    SDKError SetStartTime(time_t) override { return SDKERR_SUCCESS; }
    time_t GetStartTime() override { return 0; }
    SDKError SetDurationInMinutes(unsigned int) override { return SDKERR_SUCCESS; }
    unsigned int GetDurationInMinutes() override { return 0; }
    SDKError SetAsPeriodicMeeting(bool) override { return SDKERR_SUCCESS; }
    bool IsPeriodicMeeting() override { return false; }
    SDKError SetTimeZone(const wchar_t*) override { return SDKERR_SUCCESS; }
    const wchar_t* GetTimeZone() override { return L""; }
    SDKError TurnHostVideoOn(bool) override { return SDKERR_SUCCESS; }
    bool IsHostVideoOn() override { return false; }
    SDKError TurnParticipantVideoOn(bool) override { return SDKERR_SUCCESS; }
    bool IsParticipantVideoOn() override { return false; }
    SDKError SetAudioOption(int) override { return SDKERR_SUCCESS; }
    int GetAudioOption() override { return 0; }
    SDKError EnablePassword(bool) override { return SDKERR_SUCCESS; }
    bool IsPasswordEnabled(bool& m) override
    {
        m = true;
        return false;
    }
    SDKError SetMeetingPassword(const wchar_t*) override { return SDKERR_SUCCESS; }
    const wchar_t* GetMeetingPassword() override { return L""; }
    SDKError EnableJoinBeforeHost(bool) override { return SDKERR_SUCCESS; }
    bool IsJoinBeforeHostEnabled(bool& m) override
    {
        m = true;
        return false;
    }
    SDKError EnableMuteUponEntry(bool) override { return SDKERR_SUCCESS; }
    bool IsMuteUponEntryEnabled(bool& m) override
    {
        m = true;
        return false;
    }
    SDKError EnableUsePMI(bool) override { return SDKERR_SUCCESS; }
    bool IsUsePMIEnabled(bool& m) override
    {
        m = true;
        return false;
    }
    SDKError EnableAutoRecording(bool) override { return SDKERR_SUCCESS; }
    bool IsAutoRecordingEnabled(bool& m) override
    {
        m = true;
        return false;
    }
    UINT64 GetMeetingUniqueID() override { return 0; }
};

} // namespace

struct ConfigurationFake : IMeetingConfiguration
{
    void SetFloatVideoPos(int, int) override {}
    void SetBottomFloatToolbarWndVisibility(bool) override {}
    void EnableAutoEndOtherMeetingWhenStartMeeting(bool on) override
    {
        log(on ? "config.autoEnd(true)" : "config.autoEnd(false)");
    }
    void SetSharingToolbarVisibility(bool) override {}
    void SetDirectShareMonitorID(const wchar_t*) override {}
    void SetMeetingUIPos(int, int) override {}
    void DisableWaitingForHostDialog(bool) override {}
    void HideMeetingInfoFromMeetingUITitle(bool) override {}
    void SetMeetingIDForMeetingUITitle(UINT64) override {}
    void DisablePopupMeetingWrongPSWDlg(bool) override {}
    void EnableAutoAdjustSpeakerVolumeWhenJoinAudio(bool) override {}
    void EnableAutoAdjustMicVolumeWhenJoinAudio(bool) override {}
    void EnableApproveRemoteControlDlg(bool) override {}
    void EnableDeclineRemoteControlResponseDlg(bool) override {}
    void EnableLeaveMeetingOptionForHost(bool) override {}
    void EnableInviteButtonOnMeetingUI(bool) override {}
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
    void SetUICustomizedString(SDKCustomizedStringType type, const wchar_t* text) override
    {
        log("config.caption");
        state().captions.emplace_back(int(type), text ? text : L"");
    }
    void Reset() override {}
};

struct MeetingServiceFake : IMeetingService
{
    ConfigurationFake config;
    SDKError SetEvent(IMeetingServiceEvent* e) override
    {
        log("meeting.SetEvent");
        state().meetingSink = e;
        return SDKERR_SUCCESS;
    }
    SDKError HandleWebUriProtocolAction(const wchar_t*) override { return SDKERR_NO_IMPL; }
    SDKError Join(JoinParam& p) override
    {
        log("meeting.Join");
        state().lastJoin = p;
        state().lastJoinName = p.userName ? p.userName : L"";
        return state().joinResult;
    }
    SDKError Start(StartParam& p) override
    {
        log("meeting.Start");
        state().lastStart = p;
        return state().startResult;
    }
    SDKError Leave(LeaveMeetingCmd cmd) override
    {
        log(cmd == END_MEETING ? "meeting.End" : "meeting.Leave");
        return SDKERR_SUCCESS;
    }
    MeetingStatus GetMeetingStatus() override { return state().meetingStatus; }
    SDKError LockMeeting() override { return SDKERR_NO_IMPL; }
    SDKError UnlockMeeting() override { return SDKERR_NO_IMPL; }
    bool IsMeetingLocked() override { return false; }
    IMeetingInfo* GetMeetingInfo() override { return nullptr; }
    int GetMeetingConnQuality() override { return 0; }
    IMeetingVideoController* GetMeetingVideoController() override { return nullptr; }
    IMeetingAudioController* GetMeetingAudioController() override { return nullptr; }
    IMeetingConfiguration* GetMeetingConfiguration() override { return state().withConfiguration ? &config : nullptr; }
    IMeetingUIController* GetUIController() override { return nullptr; }
    IMeetingRecordingController* GetMeetingRecordingController() override { return nullptr; }
    IMeetingWaitingRoomController* GetMeetingWaitingRoomController() override { return nullptr; }
    IMeetingRemoteController* GetMeetingRemoteController() override { return nullptr; }
    IMeetingShareController* GetMeetingShareController() override { return nullptr; }
    IMeetingH323Helper* GetMeetingH323Helper() override { return nullptr; }
    IMeetingPhoneHelper* GetMeetingPhoneHelper() override { return nullptr; }
    IMeetingChatController* GetMeetingChatController() override
    {
        log("meeting.GetChat");
        return nullptr;
    }
    IMeetingBOController* GetMeetingBOController() override { return nullptr; }
    IMeetingLiveStreamController* GetMeetingLiveStreamController() override { return nullptr; }
    IMeetingWebinarController* GetMeetingWebinarController() override { return nullptr; }
    IClosedCaptionController* GetMeetingClosedCaptionController() override { return nullptr; }
    IMeetingParticipantsController* GetMeetingParticipantsController() override
    {
        log("meeting.GetParticipants");
        return nullptr;
    }
};

struct AuthServiceFake : IAuthService
{
    SDKError SetEvent(IAuthServiceEvent* e) override
    {
        log("auth.SetEvent");
        state().authSink = e;
        return SDKERR_SUCCESS;
    }
    SDKError SDKAuth(AuthParam& p) override
    {
        log("auth.SDKAuth");
        state().lastAuthKey = p.appKey ? p.appKey : L"";
        return SDKERR_SUCCESS;
    }
    AuthResult GetAuthResult() override { return AUTHRET_NONE; }
    const wchar_t* GetSDKIdentity() override { return L""; }
    SDKError Login(LoginParam& p) override
    {
        log("auth.Login");
        state().lastLoginUser = p.userName ? p.userName : L"";
        return SDKERR_SUCCESS;
    }
    SDKError LogOut() override
    {
        log("auth.LogOut");
        return SDKERR_SUCCESS;
    }
    LOGINSTATUS GetLoginStatus() override { return LOGIN_IDLE; }
    IAccountInfo* GetAccountInfo() override { return nullptr; }
    IDirectShareServiceHelper* GetDirectShareServiceHeler() override { return nullptr; }
};

struct PreMeetingServiceFake : IPreMeetingService
{
    IScheduleMeetingItem* CreateScheduleMeetingItem() override
    {
        log("pre.CreateSchedule");
        if (!state().preMeetingCreatesItems)
            return nullptr;
        ++state().scheduleItemsAlive;
        return new ScheduleItemFake;
    }
    void DestroyScheduleMeetingItem(IScheduleMeetingItem* item) override
    {
        log("pre.DestroySchedule");
        --state().scheduleItemsAlive;
        delete static_cast<ScheduleItemFake*>(item);
    }
    IScheduleMeetingItem* CreateEditMeetingItem(UINT64) override
    {
        log("pre.CreateEdit");
        ++state().editItemsAlive;
        return new ScheduleItemFake;
    }
    void DestroyEditMeetingItem(IScheduleMeetingItem* item) override
    {
        log("pre.DestroyEdit");
        --state().editItemsAlive;
        delete static_cast<ScheduleItemFake*>(item);
    }
    SDKError SetEvent(IPreMeetingServiceEvent* e) override
    {
        log("pre.SetEvent");
        state().preMeetingSink = e;
        return SDKERR_SUCCESS;
    }
    int GetListedMeetingCount() override { return 0; }
    SDKError ScheduleMeeting(IScheduleMeetingItem* item) override
    {
        log(item ? "pre.Schedule" : "pre.Schedule(null)");
        return SDKERR_SUCCESS;
    }
    bool IsRequestPending() override { return false; }
    SDKError EditMeeting(IScheduleMeetingItem*) override
    {
        log("pre.Edit");
        return SDKERR_SUCCESS;
    }
    SDKError DeleteMeeting(UINT64) override { return SDKERR_SUCCESS; }
    SDKError ListMeeting() override
    {
        log("pre.List");
        return SDKERR_SUCCESS;
    }
    IMeetingItemInfo* GetMeetingItem(UINT64) override { return nullptr; }
};

struct NetworkHelperFake : INetworkConnectionHelper
{
    SDKError RegisterNetworkConnectionHandler(INetworkConnectionHandler* h) override
    {
        log("net.Register");
        state().connectionHandler = h;
        return SDKERR_SUCCESS;
    }
    SDKError UnRegisterNetworkConnectionHandler() override
    {
        log("net.Unregister");
        state().connectionHandler = nullptr;
        return SDKERR_SUCCESS;
    }
    SDKError ConfigureProxy(const wchar_t*) override { return SDKERR_NO_IMPL; }
    bool IsConnectionReady() override { return true; }
};

struct SettingServiceFake : ISettingService
{
    SDKError ShowSettingDlg(ShowSettingDlgParam&) override { return SDKERR_NO_IMPL; }
    SDKError HideSettingDlg() override { return SDKERR_NO_IMPL; }
    IGeneralSettingContext* GetGeneralSettings() override { return nullptr; }
    IAudioSettingContext* GetAudioSettings() override { return nullptr; }
    IVideoSettingContext* GetVideoSettings() override { return nullptr; }
    IRecordingSettingContext* GetRecordingSettings() override { return nullptr; }
    IStatisticSettingContext* GetStatisticSettings() override { return nullptr; }
    IAccessibilitySettingContext* GetAccessibilitySettings() override { return nullptr; }
    ISettingUIStrategy* GetSettingUIStrategy() override { return nullptr; }
};

namespace {

SDKError fInit(InitParam& p)
{
    log("InitSDK");
    state().lastInit = p;
    state().lastInitDomain = p.strWebDomain ? p.strWebDomain : L"";
    return state().initResult;
}
SDKError fCleanup()
{
    log("CleanUPSDK");
    return SDKERR_SUCCESS;
}
template <class Fake, class I> SDKError create(const char* name, I** out)
{
    log(std::string("Create") + name);
    *out = new Fake;
    return SDKERR_SUCCESS;
}
template <class Fake, class I> SDKError destroy(const char* name, I* p)
{
    log(std::string("Destroy") + name);
    delete static_cast<Fake*>(p);
    return SDKERR_SUCCESS;
}

SDKError cAuth(IAuthService** p)
{
    return create<AuthServiceFake>("Auth", p);
}
SDKError dAuth(IAuthService* p)
{
    return destroy<AuthServiceFake>("Auth", p);
}
SDKError cMeeting(IMeetingService** p)
{
    return create<MeetingServiceFake>("Meeting", p);
}
SDKError dMeeting(IMeetingService* p)
{
    return destroy<MeetingServiceFake>("Meeting", p);
}
SDKError cPre(IPreMeetingService** p)
{
    return create<PreMeetingServiceFake>("PreMeeting", p);
}
SDKError dPre(IPreMeetingService* p)
{
    return destroy<PreMeetingServiceFake>("PreMeeting", p);
}
SDKError cSetting(ISettingService** p)
{
    return create<SettingServiceFake>("Setting", p);
}
SDKError dSetting(ISettingService* p)
{
    return destroy<SettingServiceFake>("Setting", p);
}
SDKError cNet(INetworkConnectionHelper** p)
{
    return create<NetworkHelperFake>("Network", p);
}
SDKError dNet(INetworkConnectionHelper* p)
{
    return destroy<NetworkHelperFake>("Network", p);
}
SDKError cRes(ICustomizedResourceHelper** p)
{
    log("RetrieveCustomizedResourceHelper");
    *p = nullptr;
    return SDKERR_NO_IMPL;
}

} // namespace

void install()
{
    state() = State{};
    SDKEntries() = SDKEntryPoints{fInit, fCleanup, cAuth,    dAuth, cMeeting, dMeeting, cPre,
                                  dPre,  cSetting, dSetting, cNet,  dNet,     cRes};
    SDKInterfaceWrap::Instance().ResetForTest();
    OrvoAuth::Instance()->ResetForTest();
    MeetingEvent::Instance()->ResetForTest();
}

void uninstall()
{
    // Services the test created are freed through the fakes before the real exports come back.
    SDKInterfaceWrap::Instance().Shutdown();
    SDKInterfaceWrap::Instance().ResetForTest();
    OrvoAuth::Instance()->ResetForTest();
    MeetingEvent::Instance()->ResetForTest();
    SDKEntries() = RealSDKEntries();
}

} // namespace fakesdk
