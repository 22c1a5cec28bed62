#include "sdk/JoinMeeting.h"

#include <cstdint>
#include <string>

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

UINT64 JoinMeeting::ParseMeetingNumber(const QString& text)
{
    int i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == '+' || text.at(i) == '-')) {
        negative = text.at(i) == '-';
        ++i;
    }
    UINT64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < '0' || c > '9')
            break;
        const unsigned digit = unsigned(c.unicode() - '0');
        // A number beyond the signed 64-bit range names no meeting.
        if (value > (UINT64(INT64_MAX) - digit) / 10)
            return 0;
        value = value * 10 + digit;
    }
    return negative ? 0 : value;
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
    param.meetingNumber = ParseMeetingNumber(meetingNumber);
    param.vanityID = nullptr;
    param.userName = name.c_str();
    param.psw = pwd.c_str();
    return m_workflow.Join(param);
}
