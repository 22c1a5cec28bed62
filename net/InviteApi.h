#pragma once
// The invitation endpoints of the web service: the meeting's short link and the e-mail invitation.

#include <QtGlobal>
#include <optional>
#include <string>
#include <vector>

namespace net {

// get_meetings_short_links. The short link of a meeting; nullopt when there is none to use (no
// client, no answer, not JSON, "code" not the string "200", "data" not a non-empty string).
std::optional<std::string> fetchShortLink(quint64 meetingId);

// What an e-mail invitation tells the invitee; texts UTF-8.
struct EmailInvitation
{
    std::string topic;
    std::string startTime; // passed on unchanged
    int durationMinutes = 0;
    std::string minuteUnit; // the language's word for minutes
    quint64 meetingId = 0;
    std::string password;
};

struct EmailSendResult
{
    bool sent = false;
    bool answered = false; // a JSON answer came back (sent or refused)
    std::string msg;       // the service's reason for a refusal, empty when it gave none
};

// send_email. The addresses travel as one query value joined by ';', so none may hold a ';' or
// ',' (the caller checks); the service sends one mail per address.
EmailSendResult sendEmailInvitation(const std::vector<std::string>& addresses, const EmailInvitation& invitation);

} // namespace net
