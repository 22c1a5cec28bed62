#include "sdk/CSDKJoinMeetingForLoginUserFlow.h"

#include "sdk/CSDKMeetingUIEvent.h"
#include "sdk/MeetingServiceChecks.h"
#include "sdk/SDKInterfaceWrap.h"

using namespace ORVOSDK;
using namespace sdkflow;

CSDKJoinMeetingForLoginUserFlow::~CSDKJoinMeetingForLoginUserFlow()
{
    m_listener = nullptr;
    m_meetingService = nullptr;
    SDKInterfaceWrap::Instance().RemoveMeetingListener(this);
}

bool CSDKJoinMeetingForLoginUserFlow::EnsureService()
{
    return AcquireMeetingService(m_meetingService, this);
}

int CSDKJoinMeetingForLoginUserFlow::Join(JoinParam& param)
{
    if (!EnsureService())
        return SDKERR_UNINITIALIZE;
    if (!NoMeetingRunning(m_meetingService))
        return SDKERR_UNINITIALIZE;
    PrepareConfiguration(m_meetingService);
    return m_meetingService->Join(param);
}

// The listener may delete this object, so nothing is touched after the call.
void CSDKJoinMeetingForLoginUserFlow::onMeetingStatusChanged(MeetingStatus status, int iResult)
{
    if (m_listener)
        m_listener->OnMeetingStatusChanged(status, iResult);
}

void CSDKJoinMeetingForLoginUserFlow::onMeetingStatisticsWarningNotification(StatisticsWarningType) {}
void CSDKJoinMeetingForLoginUserFlow::onMeetingSecureKeyNotification(const char*,
                                                                     int,
                                                                     IMeetingExternalSecureKeyHandler*)
{}
void CSDKJoinMeetingForLoginUserFlow::onMeetingParameterNotification(const MeetingParameter*) {}
