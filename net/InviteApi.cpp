#include "net/InviteApi.h"

#include "base/MeetingNumber.h"
#include "net/ServiceRequest.h"

namespace net {
namespace {
constexpr const char* kShortLinkPath = "/api/qzMeetings/meetings/get_meetings_short_links";
constexpr const char* kSendEmailPath = "/api/qzMeetings/meetings/send_email";
} // namespace

std::optional<std::string> fetchShortLink(quint64 meetingId)
{
    const Reply reply = postFields(kShortLinkPath, {{"meetings_id", meetingNumberText(meetingId)}});
    if (!reply.ok())
        return std::nullopt;
    std::optional<std::string> link = reply.dataText();
    if (!link || link->empty())
        return std::nullopt;
    return link;
}

EmailSendResult sendEmailInvitation(const std::vector<std::string>& addresses, const EmailInvitation& invitation)
{
    std::string list;
    for (const std::string& address : addresses) {
        if (!list.empty())
            list += ';';
        list += address;
    }
    JsonBody body;
    body.add("topic", invitation.topic)
        .add("start_time", invitation.startTime)
        .add("duration", std::to_string(invitation.durationMinutes) + " " + invitation.minuteUnit)
        .add("meetings_id", meetingNumberText(invitation.meetingId))
        // The service spells the member this way.
        .add("mettings_password", invitation.password);
    const Reply reply = postJson(kSendEmailPath, body.text(), {{"email", list}});

    EmailSendResult result;
    result.answered = reply.state() == Reply::State::Parsed;
    result.sent = reply.ok();
    if (!result.sent)
        result.msg = reply.msg();
    return result;
}

} // namespace net
