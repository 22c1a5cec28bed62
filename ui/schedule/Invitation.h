#pragma once
// The invitation text of a scheduled meeting and its calendar file.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <array>
#include <optional>

#include "sdk/ScheduleItems.h"
#include "ui/schedule/Recurrence.h"

// What an invitation says. Every line but the meeting number's is left out when its value is empty.
struct InvitationParts
{
    QString inviter;
    QString topic;
    QDateTime time;           // wall clock in UTC+8, the schedule's time zone; invalid: no time line
    int durationMinutes = -1; // below 0: no duration line
    quint64 number = 0;
    QString password;
    QString link;
    // The schedule's invitation closes the meeting number and password with an empty line; the
    // invite dialog's ends with the link instead.
    bool blankLineAfterPassword = true;
};

// The one invitation text: greeting, topic, time (and duration), meeting number, password, link;
// lines ended by CR LF.
QString invitationText(const InvitationParts& parts);

// A scheduled meeting's invitation: greeting, topic, date and time in UTC+8, meeting number and
// password. A start of 0 or less (no fixed time) has no date line; an empty password ends the text
// with a bare line end.
QString invitationText(
    const QString& displayName, const QString& topic, qint64 startTime, quint64 meetingNumber, const QString& password);

namespace ical {

struct Rule
{
    recurrence::Cycle cycle = recurrence::Cycle::Weekly;
    int interval = 1;
    std::array<bool, 7> weekdaysSundayFirst{};
    QDate endDate;
};

struct Event
{
    QString uid;
    QDateTime stamp;
    QDateTime start; // local time of the first meeting as the user chose it
    int durationMinutes = 60;
    QString summary;
    QString description;
    QString url;
    std::optional<Rule> rule;
};

// RFC 5545 TEXT escaping: backslash, semicolon, comma and line breaks.
QString escapeText(const QString& text);
// One content line folded at 75 octets, never inside a UTF-8 sequence, ended by CR LF.
QByteArray foldLine(const QByteArray& line);
// The zone whose wall clock a recurring event keeps: the system zone when its offset changes during
// the series (daylight saving time); nullopt when UTC times say the same.
std::optional<QTimeZone> seriesZone(const Event& event);
// The RRULE value, empty for a one-off meeting or a rule that gives no meeting. In a series zone
// the rule runs in its wall clock, otherwise in UTC.
QString ruleText(const Event& event);
// A VCALENDAR with one VEVENT; empty when a recurring rule gives no meeting.
QByteArray calendarText(const Event& event);

// The event of a listed one-off meeting, its invitation as the description.
Event meetingEvent(const schedule::ItemInfo& item, const QString& invitation);
// Where the save dialog proposes a meeting's calendar file: the user's documents folder, not
// wherever the program was started from.
QString suggestedCalendarPath(quint64 meetingNumber);
// Writes the calendar whole or not at all.
bool saveCalendarFile(const QString& path, const Event& event);

} // namespace ical
