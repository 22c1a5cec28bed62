#include "ui/schedule/Invitation.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include "base/Localization.h"

QString invitationText(const InvitationParts& parts)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text;
    if (!parts.inviter.isEmpty())
        text += LangFormat("msg.invite_welcome", parts.inviter.toUtf8().constData()) + crlf + crlf;
    if (!parts.topic.isEmpty())
        text += LangFormat("msg.invite_topic", parts.topic.toUtf8().constData()) + crlf;
    const QDate day = parts.time.date();
    const QTime clock = parts.time.time();
    if (parts.time.isValid())
        text +=
            LangFormat("msg.invite_datetime", day.year(), day.month(), day.day(), clock.hour(), clock.minute()) + crlf;
    if (parts.durationMinutes >= 0)
        text += LangFormat("msg.invite_duration", parts.durationMinutes) + crlf;
    if (parts.time.isValid() || parts.durationMinutes >= 0)
        text += crlf;
    text += LangFormat("msg.invite_meetingid", static_cast<unsigned long long>(parts.number)) + crlf;
    if (!parts.password.isEmpty())
        text += LangFormat("msg.invite_password", parts.password.toUtf8().constData()) + crlf;
    if (!parts.link.isEmpty())
        text += LangFormat("msg.invite_link", parts.link.toUtf8().constData()) + crlf;
    if (parts.blankLineAfterPassword)
        text += crlf;
    return text;
}

QString invitationText(
    const QString& displayName, const QString& topic, qint64 startTime, quint64 meetingNumber, const QString& password)
{
    InvitationParts parts;
    parts.inviter = displayName;
    parts.topic = topic;
    // The schedule requests declare Asia/Shanghai, so the invitation speaks UTC+8.
    if (startTime > 0)
        parts.time = QDateTime::fromSecsSinceEpoch(startTime + 8 * 3600, Qt::UTC);
    parts.number = meetingNumber;
    parts.password = password;
    return invitationText(parts);
}

namespace ical {
namespace {

const char* const kDays[7] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

QString utcText(const QDateTime& t)
{
    return t.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

QString wallText(const QDateTime& t)
{
    return t.toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
}

QString offsetText(int seconds)
{
    const QChar sign = seconds < 0 ? QLatin1Char('-') : QLatin1Char('+');
    seconds = qAbs(seconds);
    QString text = QStringLiteral("%1%2%3")
                       .arg(sign)
                       .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                       .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'));
    if (seconds % 60)
        text += QStringLiteral("%1").arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return text;
}

QDateTime firstMeeting(const Event& event)
{
    const Rule& r = *event.rule;
    const QList<QDate> first =
        recurrence::occurrenceDates(r.cycle, r.interval, r.weekdaysSundayFirst, event.start, r.endDate, 1);
    return first.isEmpty() ? QDateTime() : QDateTime(first.first(), event.start.time(), Qt::LocalTime);
}

QDateTime seriesEnd(const Event& event)
{
    return QDateTime(event.rule->endDate, QTime(23, 59, 59), Qt::LocalTime);
}

// The observance in force at the first meeting and every change up to the last one, each as its
// own sub-component, so a reader needs no rule of the zone's.
QStringList timezoneLines(const QTimeZone& zone, const QDateTime& from, const QDateTime& until)
{
    QTimeZone::OffsetDataList changes;
    const QTimeZone::OffsetData inForce = zone.previousTransition(from);
    if (inForce.atUtc.isValid())
        changes << inForce;
    changes << zone.transitions(from, until);
    QStringList lines;
    lines << QStringLiteral("BEGIN:VTIMEZONE") << QStringLiteral("TZID:") + QString::fromUtf8(zone.id());
    if (changes.isEmpty()) {
        const int offset = zone.offsetFromUtc(from);
        lines << QStringLiteral("BEGIN:STANDARD") << QStringLiteral("DTSTART:19700101T000000")
              << QStringLiteral("TZOFFSETFROM:") + offsetText(offset)
              << QStringLiteral("TZOFFSETTO:") + offsetText(offset) << QStringLiteral("END:STANDARD");
    }
    for (const QTimeZone::OffsetData& change : changes) {
        const int before = zone.offsetFromUtc(change.atUtc.addSecs(-1));
        const QString kind = change.daylightTimeOffset != 0 ? QStringLiteral("DAYLIGHT") : QStringLiteral("STANDARD");
        lines << QStringLiteral("BEGIN:") + kind
              // The change as the clock on the wall showed it just before.
              << QStringLiteral("DTSTART:") + wallText(change.atUtc.addSecs(before))
              << QStringLiteral("TZOFFSETFROM:") + offsetText(before)
              << QStringLiteral("TZOFFSETTO:") + offsetText(change.offsetFromUtc);
        if (!change.abbreviation.isEmpty())
            lines << QStringLiteral("TZNAME:") + escapeText(change.abbreviation);
        lines << QStringLiteral("END:") + kind;
    }
    lines << QStringLiteral("END:VTIMEZONE");
    return lines;
}

QString monthDayRule(int day, int shift)
{
    // The rule runs in UTC; a meeting early in the morning east of UTC falls on the previous UTC
    // day, which moves the month's last day as well.
    if (shift == 0)
        return day <= 28 ? QStringLiteral("BYMONTHDAY=%1").arg(day)
                         : QStringLiteral("BYMONTHDAY=28,%1;BYSETPOS=-1").arg([day] {
                               QStringList days;
                               for (int d = 29; d <= day; ++d)
                                   days << QString::number(d);
                               return days.join(QLatin1Char(','));
                           }());
    if (shift < 0) {
        if (day == 1)
            return QStringLiteral("BYMONTHDAY=-1");
        if (day <= 28)
            return QStringLiteral("BYMONTHDAY=%1").arg(day - 1);
        return QStringLiteral("BYMONTHDAY=%1,-2;BYSETPOS=1").arg(day - 1);
    }
    // West of UTC the day after a short month's end is the 1st; only days up to 27 map one to one.
    return QStringLiteral("BYMONTHDAY=%1").arg(qMin(day + 1, 28));
}

} // namespace

QString escapeText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(','))
            out += QLatin1Char('\\') + c;
        else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            continue; // CR LF becomes one \n
        else if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            out += QStringLiteral("\\n");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            continue; // other controls are not allowed in TEXT
        else
            out += c;
    }
    return out;
}

QByteArray foldLine(const QByteArray& line)
{
    QByteArray out;
    int lineOctets = 0;
    int i = 0;
    while (i < line.size()) {
        // Keep a UTF-8 sequence whole: its length comes from the lead byte.
        const unsigned char lead = static_cast<unsigned char>(line.at(i));
        int len = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
        len = qMin(len, line.size() - i);
        if (lineOctets + len > 75) {
            out += "\r\n ";
            lineOctets = 1;
        }
        out += line.mid(i, len);
        lineOctets += len;
        i += len;
    }
    return out + "\r\n";
}

std::optional<QTimeZone> seriesZone(const Event& event)
{
    if (!event.rule)
        return std::nullopt;
    const QDateTime first = firstMeeting(event);
    const QTimeZone zone = QTimeZone::systemTimeZone();
    if (!first.isValid() || !zone.isValid() || zone.id().isEmpty() || zone.id() == "UTC")
        return std::nullopt;
    // A zone that keeps one offset over the whole series (most of the year, or always) needs none.
    if (zone.transitions(first, seriesEnd(event)).isEmpty())
        return std::nullopt;
    return zone;
}

QString ruleText(const Event& event)
{
    if (!event.rule)
        return QString();
    const Rule& r = *event.rule;
    const QDateTime firstLocal = firstMeeting(event);
    if (!firstLocal.isValid())
        return QString();
    // In the zone's own wall clock no meeting moves to another day.
    const int shift = seriesZone(event) ? 0 : int(firstLocal.date().daysTo(firstLocal.toUTC().date()));
    // UNTIL is in UTC either way, as a rule with a zoned start requires.
    const QString until = utcText(seriesEnd(event));
    const int interval = qMax(1, r.interval);
    switch (r.cycle) {
    case recurrence::Cycle::Daily:
        return QStringLiteral("FREQ=DAILY;INTERVAL=%1;UNTIL=%2").arg(interval).arg(until);
    case recurrence::Cycle::Weekly: {
        QStringList days;
        for (int d = 0; d < 7; ++d)
            if (r.weekdaysSundayFirst[size_t(d)])
                days << QString::fromLatin1(kDays[(d + shift + 7) % 7]);
        // Weeks start on the local Monday, which is another weekday in UTC when the day shifts.
        return QStringLiteral("FREQ=WEEKLY;INTERVAL=%1;BYDAY=%2;WKST=%3;UNTIL=%4")
            .arg(interval)
            .arg(days.join(QLatin1Char(',')), QString::fromLatin1(kDays[(1 + shift + 7) % 7]), until);
    }
    case recurrence::Cycle::Monthly:
        return QStringLiteral("FREQ=MONTHLY;INTERVAL=1;%1;UNTIL=%2")
            .arg(monthDayRule(event.start.date().day(), shift), until);
    }
    return QString();
}

QByteArray calendarText(const Event& event)
{
    QDateTime start = event.start;
    const QString rule = ruleText(event);
    if (event.rule) {
        if (rule.isEmpty())
            return QByteArray();
        // The first meeting opens the series: a start on a day the rule skips is not a meeting.
        start = firstMeeting(event);
    }
    const QDateTime end = start.addSecs(qint64(qMax(0, event.durationMinutes)) * 60);
    const std::optional<QTimeZone> zone = seriesZone(event);
    QStringList lines;
    lines << QStringLiteral("BEGIN:VCALENDAR") << QStringLiteral("VERSION:2.0")
          << QStringLiteral("PRODID:-//VTX//Meetings//EN") << QStringLiteral("CALSCALE:GREGORIAN");
    if (zone)
        lines << timezoneLines(*zone, start, seriesEnd(event));
    lines << QStringLiteral("BEGIN:VEVENT") << QStringLiteral("UID:") + escapeText(event.uid)
          << QStringLiteral("DTSTAMP:") + utcText(event.stamp);
    if (zone) {
        // Every meeting of the series keeps the first one's wall-clock time across clock changes.
        const QString tzid = QStringLiteral(";TZID=") + QString::fromUtf8(zone->id()) + QLatin1Char(':');
        lines << QStringLiteral("DTSTART") + tzid + wallText(start.toTimeZone(*zone))
              << QStringLiteral("DTEND") + tzid + wallText(end.toTimeZone(*zone));
    } else {
        lines << QStringLiteral("DTSTART:") + utcText(start) << QStringLiteral("DTEND:") + utcText(end);
    }
    if (!rule.isEmpty())
        lines << QStringLiteral("RRULE:") + rule;
    lines << QStringLiteral("SUMMARY:") + escapeText(event.summary)
          << QStringLiteral("DESCRIPTION:") + escapeText(event.description);
    if (!event.url.isEmpty())
        lines << QStringLiteral("URL:") + event.url.simplified().remove(QLatin1Char(' '));
    lines << QStringLiteral("END:VEVENT") << QStringLiteral("END:VCALENDAR");
    QByteArray out;
    for (const QString& line : lines)
        out += foldLine(line.toUtf8());
    return out;
}

Event meetingEvent(const schedule::ItemInfo& item, const QString& invitation)
{
    Event event;
    event.uid = QStringLiteral("%1@vtx").arg(item.uniqueId ? item.uniqueId : item.number);
    event.stamp = QDateTime::currentDateTimeUtc();
    event.start = QDateTime::fromSecsSinceEpoch(item.startTime, Qt::LocalTime);
    event.durationMinutes = item.durationMinutes;
    event.summary = item.topic;
    event.description = invitation;
    event.url = item.joinUrl;
    return event;
}

QString suggestedCalendarPath(quint64 meetingNumber)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("meeting-%1.ics").arg(meetingNumber));
}

bool saveCalendarFile(const QString& path, const Event& event)
{
    const QByteArray text = calendarText(event);
    QSaveFile file(path);
    if (text.isEmpty() || !file.open(QIODevice::WriteOnly))
        return false;
    return file.write(text) == text.size() && file.commit();
}

} // namespace ical
