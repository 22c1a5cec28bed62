#include "sdk/CSDKLoggedInUIWorkFlow.h"

#include "sdk/CSDKMeetingUIEvent.h"
#include "sdk/MeetingServiceChecks.h"
#include "sdk/SDKInterfaceWrap.h"

using namespace ORVOSDK;
using namespace sdkflow;

CSDKLoggedInUIWorkFlow::~CSDKLoggedInUIWorkFlow()
{
    m_listener = nullptr;
    m_meetingService = nullptr;
    SDKInterfaceWrap::Instance().RemoveMeetingListener(this);
}

bool CSDKLoggedInUIWorkFlow::EnsureService()
{
    return AcquireMeetingService(m_meetingService, this);
}

int CSDKLoggedInUIWorkFlow::StartMeeting(StartParam& param)
{
    if (!EnsureService())
        return SDKERR_UNINITIALIZE;
    PrepareConfiguration(m_meetingService);
    return m_meetingService->Start(param);
}

int CSDKLoggedInUIWorkFlow::Leave(LeaveMeetingCmd cmd)
{
    if (!EnsureService())
        return SDKERR_UNINITIALIZE;
    if (NoMeetingRunning(m_meetingService))
        return SDKERR_UNINITIALIZE;
    return m_meetingService->Leave(cmd);
}

int CSDKLoggedInUIWorkFlow::LeaveMeeting()
{
    return Leave(LEAVE_MEETING);
}
int CSDKLoggedInUIWorkFlow::EndMeeting()
{
    return Leave(END_MEETING);
}

void CSDKLoggedInUIWorkFlow::onMeetingStatusChanged(MeetingStatus status, int iResult)
{
    if (m_listener)
        m_listener->OnMeetingStatusChanged(status, iResult);
}

void CSDKLoggedInUIWorkFlow::onMeetingStatisticsWarningNotification(StatisticsWarningType type)
{
    if (m_listener)
        m_listener->OnMeetingStatisticsWarning(type);
}

void CSDKLoggedInUIWorkFlow::onMeetingSecureKeyNotification(const char* key,
                                                            int len,
                                                            IMeetingExternalSecureKeyHandler* pHandler)
{
    if (m_listener)
        m_listener->OnMeetingSecureKey(key, len, pHandler);
}

void CSDKLoggedInUIWorkFlow::onMeetingParameterNotification(const MeetingParameter* meeting_param)
{
    if (m_listener)
        m_listener->OnMeetingParameter(meeting_param);
}

void CSDKLoggedInUIWorkFlow::OnDirectShareStatusUpdate(DirectShareStatus status,
                                                       IDirectShareViaMeetingIDOrPairingCodeHandler* handler)
{
    if (m_listener)
        m_listener->OnDirectShareStatusUpdate(status, handler);
}
