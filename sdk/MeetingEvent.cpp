#include "sdk/MeetingEvent.h"

#include <QString>
#include <string>

#include "base/Localization.h"
#include "sdk/AuthUIEvent.h"
#include "sdk/SDKInterfaceWrap.h"

static_assert(MeetingConnecting == ORVOSDK::MEETING_STATUS_CONNECTING &&
                  MeetingInProgress == ORVOSDK::MEETING_STATUS_INMEETING &&
                  MeetingFailed == ORVOSDK::MEETING_STATUS_FAILED && MeetingEnded == ORVOSDK::MEETING_STATUS_ENDED,
              "the windows' meeting statuses are the SDK's");

using namespace ORVOSDK;

namespace {

struct ReasonKey
{
    int code;
    const char* key;
};

const ReasonKey kEndReasons[] = {
    {1, "msg.KickByHost"},
    {2, "msg.EndByHost"},
    {3, "msg.JBHTimeOut"},
    {4, "msg.NoAttendee"},
    {5, "msg.HostStartAnotherMeeting"},
    {7, "msg.NetworkBroken"},
};

const ReasonKey kFailReasons[] = {
    {1, "msg.fail_reason_network_err"},
    {2, "msg.fail_reason_reconnect_err"},
    {3, "msg.fail_reason_mmr_err"},
    {4, "msg.fail_reason_pwd_err"},
    {5, "msg.fail_reason_session_err"},
    {6, "msg.fail_reason_meeting_over"},
    {7, "msg.fail_reason_meeting_notstart"},
    {8, "msg.fail_reason_meeting_notexist"},
    {9, "msg.fail_reason_user_full"},
    {10, "msg.fail_reason_client_incompatible"},
    {11, "msg.fail_reason_no_mmr"},
    {12, "msg.fail_reason_conf_locked"},
    {13, "msg.fail_reason_network_restricted"},
    {14, "msg.fail_reason_network_restricted_jbh"},
    {15, "msg.fail_reason_cannot_emit"},
    {16, "msg.fail_reason_token_expire"},
    {17, "msg.fail_reason_video_err"},
    {18, "msg.fail_reason_audio_err"},
    {19, "msg.fail_reason_reg_full"},
    {20, "msg.fail_reason_reg_host"},
    {21, "msg.fail_reason_reg_panelist"},
    {22, "msg.fail_reason_denied_email"},
    {23, "msg.fail_reason_enforce_login"},
    {24, "msg.fail_reason_certificate_changed"},
    {27, "msg.fail_reason_vanity_notexit"},
    {28, "msg.fail_reason_with_same_email"},
    {29, "msg.fail_reason_disallow_host"},
    {50, "msg.fail_reason_non_write_conf"},
    {60, "msg.fail_reason_forbid_join"},
    {61, "msg.fail_reason_remove_by_host"},
};

template <size_t N> const char* FindKey(const ReasonKey (&table)[N], int code)
{
    for (const ReasonKey& entry : table) {
        if (entry.code == code)
            return entry.key;
    }
    return nullptr;
}

const char* TextOf(const char* key)
{
    return key ? Localization::Instance()->Lookup(key) : "";
}

} // namespace

MeetingEvent* MeetingEvent::Instance()
{
    static MeetingEvent instance;
    return &instance;
}

void MeetingEvent::ResetForTest()
{
    m_listener = nullptr;
    m_meetingKind = 0;
    m_inMeeting = false;
}

const char* MeetingEvent::EndReasonKeyName(int code)
{
    return FindKey(kEndReasons, code);
}
const char* MeetingEvent::FailReasonKeyName(int code)
{
    return FindKey(kFailReasons, code);
}
const char* MeetingEvent::EndReasonKey(int code)
{
    return TextOf(EndReasonKeyName(code));
}
const char* MeetingEvent::FailReasonKey(int code)
{
    return TextOf(FailReasonKeyName(code));
}

const char* MeetingEvent::ReasonText(int status, int code)
{
    if (code < 1)
        return "";
    return status == MEETING_STATUS_FAILED ? FailReasonKey(code) : EndReasonKey(code);
}

void MeetingEvent::ApplyMeetingTexts()
{
    IMeetingService* service = SDKInterfaceWrap::Instance().MeetingService();
    if (!service)
        return;
    IMeetingConfiguration* config = service->GetMeetingConfiguration();
    if (!config)
        return;
    static const struct
    {
        SDKCustomizedStringType type;
        const char* key;
    } kCaptions[] = {
        {SDK_Customized_Title_App, "ui.window"},
        {SDK_Customized_Title_OrvoVideo, "ui.OrvoVideo"},
        {SDK_Customized_Title_FreeOrvoVideo, "ui.FreeOrvoVideo"},
        {SDK_Customized_Title_ViewOnly_OrvoVideo, "ui.ViewOnly_OrvoVideo"},
        {SDK_Customized_Title_ViewOnly_FreeOrvoVideo, "ui.ViewOnly_FreeOrvoVideo"},
    };
    for (const auto& caption : kCaptions) {
        const std::wstring text = QString::fromUtf8(Localization::Instance()->Lookup(caption.key)).toStdWString();
        config->SetUICustomizedString(caption.type, text.c_str());
    }
}

void MeetingEvent::OnMeetingStatusChanged(int status, int code)
{
    switch (status) {
    case MEETING_STATUS_CONNECTING:
        m_inMeeting = false;
        code = 0;
        break;
    case MEETING_STATUS_INMEETING:
        m_inMeeting = true;
        code = 0;
        break;
    case MEETING_STATUS_DISCONNECTING:
    case MEETING_STATUS_FAILED:
    case MEETING_STATUS_ENDED:
        m_inMeeting = false;
        m_meetingKind = 0;
        break;
    case MEETING_STATUS_LOCKED:
        code = 0;
        break;
    default:
        return;
    }
    if (m_listener)
        m_listener->OnMeetingStatus(status, code);
}

void MeetingEvent::OnMeetingStatisticsWarning(int) {}
void MeetingEvent::OnMeetingSecureKey(const char*, int, IMeetingExternalSecureKeyHandler*) {}
void MeetingEvent::OnMeetingParameter(const MeetingParameter*) {}
void MeetingEvent::OnDirectShareStatusUpdate(int, IDirectShareViaMeetingIDOrPairingCodeHandler*) {}
