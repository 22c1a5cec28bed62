#include "sdk/SDKInterfaceWrap.h"

#include "sdk/SDKEntryPoints.h"

using namespace ORVOSDK;

SDKInterfaceWrap& SDKInterfaceWrap::Instance()
{
    static SDKInterfaceWrap instance;
    return instance;
}

SDKInterfaceWrap::~SDKInterfaceWrap()
{
    if (m_initialized)
        Shutdown();
}

int SDKInterfaceWrap::Initialize(InitParam& param)
{
    if (m_initialized)
        return 0;
    const SDKError err = SDKEntries().InitSDK(param);
    m_initialized = (err == SDKERR_SUCCESS);
    return err;
}

int SDKInterfaceWrap::Shutdown()
{
    if (!m_initialized)
        return 2;
    const SDKEntryPoints& sdk = SDKEntries();
    if (m_authService) {
        sdk.DestroyAuthService(m_authService);
        m_authService = nullptr;
    }
    if (m_settingService) {
        sdk.DestroySettingService(m_settingService);
        m_settingService = nullptr;
    }
    if (m_meetingService) {
        // The controllers belong to the meeting service and die with it.
        m_chatController = nullptr;
        m_participantsController = nullptr;
        sdk.DestroyMeetingService(m_meetingService);
        m_meetingService = nullptr;
    }
    if (m_networkHelper) {
        sdk.DestroyNetworkConnectionHelper(m_networkHelper);
        m_networkHelper = nullptr;
    }
    if (m_preMeetingService) {
        sdk.DestroyPreMeetingService(m_preMeetingService);
        m_preMeetingService = nullptr;
    }
    sdk.CleanUPSDK();
    m_initialized = false;
    return 0;
}

void SDKInterfaceWrap::ResetForTest()
{
    m_authService = nullptr;
    m_meetingService = nullptr;
    m_networkHelper = nullptr;
    m_settingService = nullptr;
    m_preMeetingService = nullptr;
    m_chatController = nullptr;
    m_participantsController = nullptr;
    m_initialized = false;
    m_authPool.Clear();
    m_meetingPool.Clear();
    m_preMeetingPool.Clear();
}

IAuthService* SDKInterfaceWrap::AuthService()
{
    if (!m_authService && m_initialized) {
        IAuthService* service = nullptr;
        if (SDKEntries().CreateAuthService(&service) == SDKERR_SUCCESS && service) {
            m_authService = service;
            m_authService->SetEvent(this);
        }
    }
    return m_authService;
}

IMeetingService* SDKInterfaceWrap::MeetingService()
{
    if (!m_meetingService && m_initialized) {
        IMeetingService* service = nullptr;
        if (SDKEntries().CreateMeetingService(&service) == SDKERR_SUCCESS && service) {
            m_meetingService = service;
            m_meetingService->SetEvent(this);
            m_participantsController = m_meetingService->GetMeetingParticipantsController();
            if (m_participantsController)
                m_participantsController->SetEvent(this);
            m_chatController = m_meetingService->GetMeetingChatController();
            if (m_chatController)
                m_chatController->SetEvent(this);
        }
    }
    return m_meetingService;
}

IPreMeetingService* SDKInterfaceWrap::PreMeetingService()
{
    if (!m_preMeetingService && m_initialized) {
        IPreMeetingService* service = nullptr;
        if (SDKEntries().CreatePreMeetingService(&service) == SDKERR_SUCCESS && service) {
            m_preMeetingService = service;
            m_preMeetingService->SetEvent(this);
        }
    }
    return m_preMeetingService;
}

ISettingService* SDKInterfaceWrap::SettingService()
{
    if (!m_settingService && m_initialized) {
        ISettingService* service = nullptr;
        if (SDKEntries().CreateSettingService(&service) == SDKERR_SUCCESS && service)
            m_settingService = service;
    }
    return m_settingService;
}

INetworkConnectionHelper* SDKInterfaceWrap::NetworkHelper()
{
    if (!m_networkHelper && m_initialized) {
        INetworkConnectionHelper* helper = nullptr;
        if (SDKEntries().CreateNetworkConnectionHelper(&helper) == SDKERR_SUCCESS && helper)
            m_networkHelper = helper;
    }
    return m_networkHelper;
}

void SDKInterfaceWrap::AddAuthListener(IAuthServiceEvent* listener)
{
    AuthService();
    m_authPool.Add(listener);
}

void SDKInterfaceWrap::RemoveAuthListener(IAuthServiceEvent* listener)
{
    m_authPool.Remove(listener);
}
void SDKInterfaceWrap::AddMeetingListener(IMeetingServiceEvent* listener)
{
    m_meetingPool.Add(listener);
}
void SDKInterfaceWrap::RemoveMeetingListener(IMeetingServiceEvent* listener)
{
    m_meetingPool.Remove(listener);
}
void SDKInterfaceWrap::AddPreMeetingListener(IPreMeetingServiceEvent* listener)
{
    m_preMeetingPool.Add(listener);
}
void SDKInterfaceWrap::RemovePreMeetingListener(IPreMeetingServiceEvent* listener)
{
    m_preMeetingPool.Remove(listener);
}

// --- fan-out ---

void SDKInterfaceWrap::onAuthenticationReturn(AuthResult ret)
{
    m_authPool.ForEach([&](IAuthServiceEvent* l) { l->onAuthenticationReturn(ret); });
}

void SDKInterfaceWrap::onLoginRet(LOGINSTATUS ret, IAccountInfo* pAccountInfo)
{
    m_authPool.ForEach([&](IAuthServiceEvent* l) { l->onLoginRet(ret, pAccountInfo); });
}

void SDKInterfaceWrap::onLogout()
{
    m_authPool.ForEach([&](IAuthServiceEvent* l) { l->onLogout(); });
}

void SDKInterfaceWrap::onIdentityExpired()
{
    m_authPool.ForEach([&](IAuthServiceEvent* l) { l->onIdentityExpired(); });
}

void SDKInterfaceWrap::onMeetingStatusChanged(MeetingStatus status, int iResult)
{
    m_meetingPool.ForEach([&](IMeetingServiceEvent* l) { l->onMeetingStatusChanged(status, iResult); });
    m_inMeetingPool.ForEach([&](ISDKInMeetingServiceMgrEvent* l) { l->onMeetingStatusChanged(status, iResult); });
}

void SDKInterfaceWrap::onMeetingStatisticsWarningNotification(StatisticsWarningType type)
{
    m_meetingPool.ForEach([&](IMeetingServiceEvent* l) { l->onMeetingStatisticsWarningNotification(type); });
    m_inMeetingPool.ForEach([&](ISDKInMeetingServiceMgrEvent* l) { l->onMeetingStatisticsWarningNotification(type); });
}

void SDKInterfaceWrap::onMeetingSecureKeyNotification(const char* key,
                                                      int len,
                                                      IMeetingExternalSecureKeyHandler* pHandler)
{
    m_meetingPool.ForEach([&](IMeetingServiceEvent* l) { l->onMeetingSecureKeyNotification(key, len, pHandler); });
    m_inMeetingPool.ForEach(
        [&](ISDKInMeetingServiceMgrEvent* l) { l->onMeetingSecureKeyNotification(key, len, pHandler); });
}

void SDKInterfaceWrap::onMeetingParameterNotification(const MeetingParameter* meeting_param)
{
    m_meetingPool.ForEach([&](IMeetingServiceEvent* l) { l->onMeetingParameterNotification(meeting_param); });
    m_inMeetingPool.ForEach([&](ISDKInMeetingServiceMgrEvent* l) { l->onMeetingParameterNotification(meeting_param); });
}

void SDKInterfaceWrap::onListMeeting(PreMeetingAPIResult result, IList<UINT64>* lstMeetingList)
{
    m_preMeetingPool.ForEach([&](IPreMeetingServiceEvent* l) { l->onListMeeting(result, lstMeetingList); });
}

void SDKInterfaceWrap::onScheduleOrEditMeeting(PreMeetingAPIResult result, UINT64 meetingUniqueID)
{
    m_preMeetingPool.ForEach([&](IPreMeetingServiceEvent* l) { l->onScheduleOrEditMeeting(result, meetingUniqueID); });
}

void SDKInterfaceWrap::onDeleteMeeting(PreMeetingAPIResult result)
{
    m_preMeetingPool.ForEach([&](IPreMeetingServiceEvent* l) { l->onDeleteMeeting(result); });
}

void SDKInterfaceWrap::onChatMsgNotifcation(IChatMsgInfo* chatMsg, const wchar_t* content)
{
    m_chatPool.ForEach([&](IMeetingChatCtrlEvent* l) { l->onChatMsgNotifcation(chatMsg, content); });
}

void SDKInterfaceWrap::onChatStatusChangedNotification(bool bChatAllowed)
{
    m_chatPool.ForEach([&](IMeetingChatCtrlEvent* l) { l->onChatStatusChangedNotification(bChatAllowed); });
}

void SDKInterfaceWrap::onUserAudioStatusChange(IList<IUserAudioStatus*>* lstAudioStatusChange,
                                               const wchar_t* strAudioStatusList)
{
    m_inMeetingPool.ForEach(
        [&](ISDKInMeetingServiceMgrEvent* l) { l->onUserAudioStatusChange(lstAudioStatusChange, strAudioStatusList); });
}

void SDKInterfaceWrap::onUserActiveAudioChange(IList<unsigned int>* plstActiveAudio)
{
    m_inMeetingPool.ForEach([&](ISDKInMeetingServiceMgrEvent* l) { l->onUserActiveAudioChange(plstActiveAudio); });
}

void SDKInterfaceWrap::onUserVideoStatusChange(unsigned int userId, VideoStatus status)
{
    m_videoPool.ForEach([&](IMeetingVideoCtrlEvent* l) { l->onUserVideoStatusChange(userId, status); });
}

void SDKInterfaceWrap::onSpotlightVideoChangeNotification(bool bSpotlight, unsigned int userid)
{
    m_videoPool.ForEach([&](IMeetingVideoCtrlEvent* l) { l->onSpotlightVideoChangeNotification(bSpotlight, userid); });
}

void SDKInterfaceWrap::onUserJoin(IList<unsigned int>* lstUserID, const wchar_t* strUserList)
{
    m_participantsPool.ForEach([&](IMeetingParticipantsCtrlEvent* l) { l->onUserJoin(lstUserID, strUserList); });
}

void SDKInterfaceWrap::onUserLeft(IList<unsigned int>* lstUserID, const wchar_t* strUserList)
{
    m_participantsPool.ForEach([&](IMeetingParticipantsCtrlEvent* l) { l->onUserLeft(lstUserID, strUserList); });
}

void SDKInterfaceWrap::onHostChangeNotification(unsigned int userId)
{
    m_participantsPool.ForEach([&](IMeetingParticipantsCtrlEvent* l) { l->onHostChangeNotification(userId); });
}

void SDKInterfaceWrap::onUserNameChanged(unsigned int userId, const wchar_t* userName)
{
    m_participantsPool.ForEach([&](IMeetingParticipantsCtrlEvent* l) { l->onUserNameChanged(userId, userName); });
}

void SDKInterfaceWrap::onAssignedToSendClosedCaption(bool bAssigned)
{
    m_closedCaptionPool.ForEach([&](IClosedCaptionControllerEvent* l) { l->onAssignedToSendClosedCaption(bAssigned); });
}

void SDKInterfaceWrap::onClosedCaptionMsgReceived(const wchar_t* ccMsg, unsigned int senderId, time_t time)
{
    m_closedCaptionPool.ForEach(
        [&](IClosedCaptionControllerEvent* l) { l->onClosedCaptionMsgReceived(ccMsg, senderId, time); });
}
