#pragma once
// The client's one door to the meeting SDK: initialises it once, creates each service on first
// demand, is the SDK's event sink for them and copies every event to the listeners of its pools.

#include "orvosdk/orvo_sdk.h"
#include "sdk/EventSinkPool.h"

// Our own aggregate of the in-meeting events; nothing listens to it yet, so its events are dropped.
class ISDKInMeetingServiceMgrEvent : public ORVOSDK::IMeetingServiceEvent, public ORVOSDK::IMeetingAudioCtrlEvent
{
protected:
    ~ISDKInMeetingServiceMgrEvent() = default;
};

class SDKInterfaceWrap : public ORVOSDK::IAuthServiceEvent,
                         public ORVOSDK::IMeetingServiceEvent,
                         public ORVOSDK::IPreMeetingServiceEvent,
                         public ORVOSDK::IMeetingChatCtrlEvent,
                         public ORVOSDK::IMeetingAudioCtrlEvent,
                         public ORVOSDK::IMeetingVideoCtrlEvent,
                         public ORVOSDK::IMeetingParticipantsCtrlEvent,
                         public ORVOSDK::IClosedCaptionControllerEvent
{
public:
    static SDKInterfaceWrap& Instance();

    // 0 when the SDK is ready (also on a second call); otherwise the SDK's error.
    int Initialize(ORVOSDK::InitParam& param);
    bool IsInitialized() const { return m_initialized; }
    // 2 when the SDK was never initialised; 0 after the services are destroyed and the SDK cleaned up.
    int Shutdown();

    // Null before Initialize succeeded; created and given their sinks on first call.
    ORVOSDK::IAuthService* AuthService();
    ORVOSDK::IMeetingService* MeetingService();
    ORVOSDK::IPreMeetingService* PreMeetingService();
    ORVOSDK::ISettingService* SettingService();
    ORVOSDK::INetworkConnectionHelper* NetworkHelper();

    void AddAuthListener(ORVOSDK::IAuthServiceEvent* listener);
    void RemoveAuthListener(ORVOSDK::IAuthServiceEvent* listener);
    void AddMeetingListener(ORVOSDK::IMeetingServiceEvent* listener);
    void RemoveMeetingListener(ORVOSDK::IMeetingServiceEvent* listener);
    void AddPreMeetingListener(ORVOSDK::IPreMeetingServiceEvent* listener);
    void RemovePreMeetingListener(ORVOSDK::IPreMeetingServiceEvent* listener);

    // Tests only: forget services and listeners without calling the SDK.
    void ResetForTest();

    // IAuthServiceEvent
    void onAuthenticationReturn(ORVOSDK::AuthResult ret) override;
    void onLoginRet(ORVOSDK::LOGINSTATUS ret, ORVOSDK::IAccountInfo* pAccountInfo) override;
    void onLogout() override;
    void onIdentityExpired() override;

    // IMeetingServiceEvent
    void onMeetingStatusChanged(ORVOSDK::MeetingStatus status, int iResult = 0) override;
    void onMeetingStatisticsWarningNotification(ORVOSDK::StatisticsWarningType type) override;
    void onMeetingSecureKeyNotification(const char* key,
                                        int len,
                                        ORVOSDK::IMeetingExternalSecureKeyHandler* pHandler) override;
    void onMeetingParameterNotification(const ORVOSDK::MeetingParameter* meeting_param) override;

    // IPreMeetingServiceEvent
    void onListMeeting(ORVOSDK::PreMeetingAPIResult result, ORVOSDK::IList<UINT64>* lstMeetingList) override;
    void onScheduleOrEditMeeting(ORVOSDK::PreMeetingAPIResult result, UINT64 meetingUniqueID) override;
    void onDeleteMeeting(ORVOSDK::PreMeetingAPIResult result) override;

    // IMeetingChatCtrlEvent
    void onChatMsgNotifcation(ORVOSDK::IChatMsgInfo* chatMsg, const wchar_t* content = nullptr) override;
    void onChatStatusChangedNotification(bool bChatAllowed) override;

    // IMeetingAudioCtrlEvent
    void onUserAudioStatusChange(ORVOSDK::IList<ORVOSDK::IUserAudioStatus*>* lstAudioStatusChange,
                                 const wchar_t* strAudioStatusList = nullptr) override;
    void onUserActiveAudioChange(ORVOSDK::IList<unsigned int>* plstActiveAudio) override;

    // IMeetingVideoCtrlEvent
    void onUserVideoStatusChange(unsigned int userId, ORVOSDK::VideoStatus status) override;
    void onSpotlightVideoChangeNotification(bool bSpotlight, unsigned int userid) override;

    // IMeetingParticipantsCtrlEvent
    void onUserJoin(ORVOSDK::IList<unsigned int>* lstUserID, const wchar_t* strUserList = nullptr) override;
    void onUserLeft(ORVOSDK::IList<unsigned int>* lstUserID, const wchar_t* strUserList = nullptr) override;
    void onHostChangeNotification(unsigned int userId) override;
    void onUserNameChanged(unsigned int userId, const wchar_t* userName) override;

    // IClosedCaptionControllerEvent
    void onAssignedToSendClosedCaption(bool bAssigned) override;
    void onClosedCaptionMsgReceived(const wchar_t* ccMsg, unsigned int senderId, time_t time) override;

private:
    SDKInterfaceWrap() = default;
    ~SDKInterfaceWrap();
    SDKInterfaceWrap(const SDKInterfaceWrap&) = delete;
    SDKInterfaceWrap& operator=(const SDKInterfaceWrap&) = delete;

    EventSinkPool<ORVOSDK::IAuthServiceEvent> m_authPool;
    EventSinkPool<ORVOSDK::IMeetingServiceEvent> m_meetingPool;
    EventSinkPool<ORVOSDK::IPreMeetingServiceEvent> m_preMeetingPool;
    EventSinkPool<ISDKInMeetingServiceMgrEvent> m_inMeetingPool;
    EventSinkPool<ORVOSDK::IMeetingChatCtrlEvent> m_chatPool;
    EventSinkPool<ORVOSDK::IClosedCaptionControllerEvent> m_closedCaptionPool;
    EventSinkPool<ORVOSDK::IMeetingVideoCtrlEvent> m_videoPool;
    EventSinkPool<ORVOSDK::IMeetingParticipantsCtrlEvent> m_participantsPool;

    ORVOSDK::IAuthService* m_authService = nullptr;
    ORVOSDK::IMeetingService* m_meetingService = nullptr;
    ORVOSDK::INetworkConnectionHelper* m_networkHelper = nullptr;
    ORVOSDK::ISettingService* m_settingService = nullptr;
    ORVOSDK::IPreMeetingService* m_preMeetingService = nullptr;
    bool m_initialized = false;
    ORVOSDK::IMeetingChatController* m_chatController = nullptr;
    ORVOSDK::IMeetingParticipantsController* m_participantsController = nullptr;
};
