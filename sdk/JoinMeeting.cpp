#include "sdk/JoinMeeting.h"

#include <cstdint>
#include <string>

#include "base/MeetingNumber.h"
#include "sdk/MeetingEvent.h"

using namespace ORVOSDK;

JoinMeeting::JoinMeeting()
{
    m_workflow.SetUIEvent(MeetingEvent::Instance());
}

JoinMeeting::~JoinMeeting()
{
    m_workflow.SetUIEvent(nullptr);
}

int JoinMeeting::Join(const QString& meetingNumber,
                      const QString& displayName,
                      const QString& password,
                      bool /*shareScreen: the share starts once the meeting is entered*/,
                      bool withoutLogin)
{
    if (meetingNumber.isEmpty())
        return -1;
    MeetingEvent::Instance()->ApplyMeetingTexts();

    const std::wstring name = displayName.toStdWString();
    const std::wstring pwd = password.toStdWString();
    JoinParam param{};
    param.userType = withoutLogin ? SDK_UT_WITHOUT_LOGIN : SDK_UT_NORMALUSER;
    param.meetingNumber = parseMeetingNumber(meetingNumber);
    param.vanityID = nullptr;
    param.userName = name.c_str();
    param.psw = pwd.c_str();
    return m_workflow.Join(param);
}
