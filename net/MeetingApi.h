#pragma once
// The web service's scheduling endpoints: recurring meetings and the personal meeting ID.

#include <QString>
#include <QtGlobal>
#include <string>

namespace net {

// The "recurrence" member of a recurring meeting.
struct ArrangeRecurrence
{
    enum Type
    {
        Daily = 1,
        Weekly = 2,
        Monthly = 3
    };
    Type type = Weekly;
    int interval = 1;
    std::string weeklyDays;  // weekly only: "2,4,6", 1 = Sunday
    int monthlyDay = 0;      // monthly only: day of the month
    std::string endDateTime; // "yyyy-MM-ddT23:59:59Z"
};

struct ArrangeRequest
{
    std::string userId; // the service's user ID of the signed-in user
    QString topic;
    std::string startTime; // "yyyy-MM-dd HH:mm:00", local wall clock of the declared time zone
    int durationMinutes = 60;
    std::string password; // empty for none
    ArrangeRecurrence recurrence;
    bool hostVideo = true;
    bool participantVideo = true;
    bool joinBeforeHost = false;
    bool muteUponEntry = false;
    bool usePmi = false;
    bool autoRecording = false; // "local" when on, else "none"
};

struct ServiceResult
{
    bool ok = false;
    std::string msg; // the service's own error text when it gave one
};

// The JSON body of a recurring meeting; built with cJSON, every value escaped.
std::string arrangeMeetingBody(const ArrangeRequest& request);
// meetings_arrange.do.
ServiceResult arrangeMeeting(const ArrangeRequest& request);

// UpdatePMI.do: gives the account a new personal meeting ID.
ServiceResult updatePersonalMeetingId(const QString& account, quint64 pmi);

} // namespace net
