#include "sdk/HostMeeting.h"

#include "sdk/MeetingEvent.h"

using namespace ORVOSDK;

HostMeeting::HostMeeting()
{
    m_workflow.SetUIEvent(MeetingEvent::Instance());
}

HostMeeting::~HostMeeting()
{
    m_workflow.SetUIEvent(nullptr);
    MeetingEvent* meeting = MeetingEvent::Instance();
    if (meeting->IsInMeeting()) {
        if (meeting->MeetingKind() == 1 || meeting->MeetingKind() == 2)
            m_workflow.EndMeeting();
        else
            m_workflow.LeaveMeeting();
    }
    meeting->SetInMeeting(false);
}

int HostMeeting::StartMeeting(int kind, UINT64 meetingNumber)
{
    MeetingEvent* meeting = MeetingEvent::Instance();
    meeting->SetMeetingKind(kind);
    meeting->ApplyMeetingTexts();

    StartParam param{};
    param.userType = SDK_UT_NORMALUSER;
    param.meetingNumber = meetingNumber;
    param.vanityID = nullptr;
    param.hDirectShareAppWnd = nullptr;
    param.participantId = nullptr;
    param.isVideoOff = (kind == 2);
    param.isAudioOff = false;
    param.isDirectShareDesktop = false;
    if (m_workflow.StartMeeting(param) != 0) {
        meeting->SetInMeeting(false);
        meeting->SetMeetingKind(0);
        return -1;
    }
    meeting->SetInMeeting(false);
    return 0;
}
