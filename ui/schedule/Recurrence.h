#pragma once
// Recurrence rules of a recurring meeting: how many meetings a rule gives, the live summary the
// schedule dialog shows, and the rule's parts of the service request. No widget in here.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <array>

#include "net/MeetingApi.h"

namespace recurrence {

enum class Cycle
{
    Daily,
    Weekly,
    Monthly
};

// Meetings from start up to endDate at 23:59:59, both local time; 0 when start is not earlier than
// that end. Daily: every interval days. Weekly: the chosen days of every interval-th week, weeks
// running Monday to Sunday with the start's own week counted first. Monthly: the start's day of every
// month, the month's last day when the month is shorter (the interval is not used).
int occurrenceCount(Cycle cycle,
                    int interval,
                    const std::array<bool, 7>& weekdaysSundayFirst,
                    const QDateTime& start,
                    const QDate& endDate);

// The request's weekly_days: 1 = Sunday ... 7 = Saturday, ascending, comma-separated ("2,4,6").
QString weeklyDays(const std::array<bool, 7>& weekdaysSundayFirst);

// The pack's short day names of the chosen days, Sunday first, joined by "ui.plan.separate".
QString dayList(const std::array<bool, 7>& weekdaysSundayFirst);

// The pack's daily / weekly / monthly sentence beside the recurring box. Grown to fit, so a long
// translation is never cut.
QString summaryText(Cycle cycle, int interval, const std::array<bool, 7>& weekdaysSundayFirst, int count);

// The request's start_time: "yyyy-MM-dd HH:mm:00" of the local wall clock.
std::string startTimeText(const QDate& date, const QTime& time);
// The request's end_date_time: the end date at "T23:59:59Z".
std::string endDateTimeText(const QDate& endDate);

// The recurrence member of the service request for a rule.
net::ArrangeRecurrence requestRecurrence(Cycle cycle,
                                         int interval,
                                         const std::array<bool, 7>& weekdaysSundayFirst,
                                         const QDate& startDate,
                                         const QDate& endDate);

// Dates of every meeting the rule gives, for the calendar file and for checks; the same number as
// occurrenceCount. limit guards against a rule spanning centuries.
QList<QDate> occurrenceDates(Cycle cycle,
                             int interval,
                             const std::array<bool, 7>& weekdaysSundayFirst,
                             const QDateTime& start,
                             const QDate& endDate,
                             int limit = 100000);

} // namespace recurrence
