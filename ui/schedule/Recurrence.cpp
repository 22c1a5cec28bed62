#include "ui/schedule/Recurrence.h"

#include <QStringList>
#include <limits>

#include "base/Localization.h"

namespace recurrence {
namespace {

// The end of the range: the end date at 23:59:59 local time.
QDateTime rangeEnd(const QDate& endDate)
{
    return QDateTime(endDate, QTime(23, 59, 59), Qt::LocalTime);
}

bool rangeEmpty(const QDateTime& start, const QDate& endDate)
{
    return !start.isValid() || !endDate.isValid() || start.toSecsSinceEpoch() >= rangeEnd(endDate).toSecsSinceEpoch();
}

// Qt counts Monday = 1 ... Sunday = 7; the flags start with Sunday.
bool daySelected(const std::array<bool, 7>& days, int qtDayOfWeek)
{
    return days[size_t(qtDayOfWeek % 7)];
}

QDate mondayOf(const QDate& date)
{
    return date.addDays(1 - date.dayOfWeek());
}

int weeklyCount(int interval, const std::array<bool, 7>& days, const QDate& first, const QDate& last)
{
    const QDate firstMonday = mondayOf(first);
    qint64 count = 0;
    for (int offset = 0; offset < 7; ++offset) {
        const QDate d0 = first.addDays(offset);
        if (!daySelected(days, d0.dayOfWeek()) || d0 > last)
            continue;
        // d0 lies in the start's week (0) or the next (1); every 7 days later is one week further.
        const qint64 week0 = firstMonday.daysTo(mondayOf(d0)) / 7;
        const qint64 lastStep = d0.daysTo(last) / 7;
        const qint64 firstStep = (interval - week0 % interval) % interval;
        if (firstStep <= lastStep)
            count += (lastStep - firstStep) / interval + 1;
    }
    return int(qMin<qint64>(count, std::numeric_limits<int>::max()));
}

int monthlyCount(const QDate& first, const QDate& last)
{
    if (first == last)
        return 1;
    const qint64 months = qint64(last.year() - first.year()) * 12 + last.month() - first.month();
    const bool lastMonthCounts = last.day() >= first.day() || last.day() == last.daysInMonth();
    return int(qBound<qint64>(0, months + (lastMonthCounts ? 1 : 0), std::numeric_limits<int>::max()));
}

} // namespace

int occurrenceCount(Cycle cycle,
                    int interval,
                    const std::array<bool, 7>& weekdaysSundayFirst,
                    const QDateTime& start,
                    const QDate& endDate)
{
    if (rangeEmpty(start, endDate))
        return 0;
    interval = qMax(1, interval);
    const QDate first = start.date();
    switch (cycle) {
    case Cycle::Daily:
        // Every date from the start up to the end date holds the meeting's time of day before 23:59:59.
        return int(qMin<qint64>(first.daysTo(endDate) / interval + 1, std::numeric_limits<int>::max()));
    case Cycle::Weekly:
        return weeklyCount(interval, weekdaysSundayFirst, first, endDate);
    case Cycle::Monthly:
        return monthlyCount(first, endDate);
    }
    return 0;
}

QList<QDate> occurrenceDates(Cycle cycle,
                             int interval,
                             const std::array<bool, 7>& weekdaysSundayFirst,
                             const QDateTime& start,
                             const QDate& endDate,
                             int limit)
{
    QList<QDate> dates;
    if (rangeEmpty(start, endDate))
        return dates;
    interval = qMax(1, interval);
    const QDate first = start.date();
    switch (cycle) {
    case Cycle::Daily:
        for (QDate d = first; d <= endDate && dates.size() < limit; d = d.addDays(interval))
            dates << d;
        break;
    case Cycle::Weekly: {
        const QDate firstMonday = mondayOf(first);
        for (QDate d = first; d <= endDate && dates.size() < limit; d = d.addDays(1)) {
            const qint64 week = firstMonday.daysTo(mondayOf(d)) / 7;
            if (week % interval == 0 && daySelected(weekdaysSundayFirst, d.dayOfWeek()))
                dates << d;
        }
        break;
    }
    case Cycle::Monthly:
        for (int i = 0; dates.size() < limit; ++i) {
            const QDate month = QDate(first.year(), first.month(), 1).addMonths(i);
            const QDate d(month.year(), month.month(), qMin(first.day(), month.daysInMonth()));
            if (d > endDate)
                break;
            dates << d;
        }
        break;
    }
    return dates;
}

QString weeklyDays(const std::array<bool, 7>& weekdaysSundayFirst)
{
    QStringList parts;
    for (size_t i = 0; i < weekdaysSundayFirst.size(); ++i)
        if (weekdaysSundayFirst[i])
            parts << QString::number(i + 1);
    return parts.join(QLatin1Char(','));
}

QString dayList(const std::array<bool, 7>& weekdaysSundayFirst)
{
    static const char* const kKeys[7] = {"ui.plan.sunday",   "ui.plan.monday", "ui.plan.tuesday", "ui.plan.wednesday",
                                         "ui.plan.thursday", "ui.plan.friday", "ui.plan.saturday"};
    QStringList names;
    for (size_t i = 0; i < 7; ++i)
        if (weekdaysSundayFirst[i])
            names << LangText(kKeys[i]);
    return names.join(LangText("ui.plan.separate"));
}

QString summaryText(Cycle cycle, int interval, const std::array<bool, 7>& weekdaysSundayFirst, int count)
{
    interval = qMax(1, interval);
    switch (cycle) {
    case Cycle::Daily:
        return LangFormat("ui.plan.calculate.daily", interval, count);
    case Cycle::Weekly: {
        const QString list = dayList(weekdaysSundayFirst);
        const QString daysPart =
            list.isEmpty() ? QString() : QStringLiteral(" ") + LangText("ui.plan.calculate.week") + list;
        return LangFormat("ui.plan.calculate.weekly", interval, daysPart.toUtf8().constData(), count);
    }
    case Cycle::Monthly:
        return LangFormat("ui.plan.calculate.monthly", count);
    }
    return QString();
}

std::string startTimeText(const QDate& date, const QTime& time)
{
    return QStringLiteral("%1 %2:00")
        .arg(date.toString(QStringLiteral("yyyy-MM-dd")), time.toString(QStringLiteral("HH:mm")))
        .toStdString();
}

std::string endDateTimeText(const QDate& endDate)
{
    return endDate.toString(QStringLiteral("yyyy-MM-dd")).toStdString() + "T23:59:59Z";
}

net::ArrangeRecurrence requestRecurrence(Cycle cycle,
                                         int interval,
                                         const std::array<bool, 7>& weekdaysSundayFirst,
                                         const QDate& startDate,
                                         const QDate& endDate)
{
    net::ArrangeRecurrence r;
    r.interval = qMax(1, interval);
    r.endDateTime = endDateTimeText(endDate);
    switch (cycle) {
    case Cycle::Daily:
        r.type = net::ArrangeRecurrence::Daily;
        break;
    case Cycle::Weekly:
        r.type = net::ArrangeRecurrence::Weekly;
        r.weeklyDays = weeklyDays(weekdaysSundayFirst).toStdString();
        break;
    case Cycle::Monthly:
        r.type = net::ArrangeRecurrence::Monthly;
        r.monthlyDay = startDate.day();
        break;
    }
    return r;
}

} // namespace recurrence
