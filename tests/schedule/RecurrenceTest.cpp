#include "ui/schedule/Recurrence.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "base/Localization.h"
#include "platform/Paths.h"

using recurrence::Cycle;
using Days = std::array<bool, 7>;

namespace {

constexpr Days kNoDays{};
constexpr Days kMonWed{false, true, false, true, false, false, false};
constexpr Days kTueThu{false, false, true, false, true, false, false};
constexpr Days kMonday{false, true, false, false, false, false, false};
constexpr Days kEveryDay{true, true, true, true, true, true, true};

QDateTime at(int y, int m, int d, int h = 10, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), Qt::LocalTime);
}

struct CountCase
{
    const char* name;
    Cycle cycle;
    int interval;
    Days days;
    QDateTime start;
    QDate end;
    int expected;
};

// Counts by walking every day the way the rules read, as a reference for the closed forms.
int walkCount(Cycle cycle, int interval, const Days& days, const QDateTime& start, const QDate& end)
{
    const QDateTime last(end, QTime(23, 59, 59), Qt::LocalTime);
    if (start >= last)
        return 0;
    int count = 0, week = 0;
    for (QDate d = start.date(); d <= end; d = d.addDays(1)) {
        const qint64 offset = start.date().daysTo(d);
        if (cycle == Cycle::Daily && offset % interval == 0)
            ++count;
        if (cycle == Cycle::Weekly && week % interval == 0 && days[size_t(d.dayOfWeek() % 7)])
            ++count;
        if (cycle == Cycle::Monthly) {
            const int wanted = qMin(start.date().day(), d.daysInMonth());
            if (d.day() == wanted)
                ++count;
        }
        if (d.dayOfWeek() == 7)
            ++week;
    }
    return count;
}

} // namespace

TEST(RecurrenceCount, MatchesTheWorkedExamples)
{
    const CountCase cases[] = {
        {"daily every 2 days, Monday to next Monday", Cycle::Daily, 2, kNoDays, at(2020, 1, 6), QDate(2020, 1, 13), 4},
        {"weekly Mon+Wed from Wed Jan 1", Cycle::Weekly, 1, kMonWed, at(2020, 1, 1), QDate(2020, 1, 14), 4},
        {"weekly Mon+Wed every 2 weeks", Cycle::Weekly, 2, kMonWed, at(2020, 1, 1), QDate(2020, 1, 14), 2},
        {"weekly Monday only, Wed to Fri", Cycle::Weekly, 1, kMonday, at(2020, 1, 1), QDate(2020, 1, 3), 0},
        {"monthly Jan 31 to Apr 30", Cycle::Monthly, 1, kNoDays, at(2021, 1, 31), QDate(2021, 4, 30), 4},
        {"monthly Jan 15 to Mar 10", Cycle::Monthly, 1, kNoDays, at(2021, 1, 15), QDate(2021, 3, 10), 2},
        {"monthly across a year end", Cycle::Monthly, 1, kNoDays, at(2020, 11, 20), QDate(2021, 2, 20), 4},
        {"monthly same day", Cycle::Monthly, 1, kNoDays, at(2021, 5, 5), QDate(2021, 5, 5), 1},
        {"start on the end date at 23:59", Cycle::Daily, 1, kNoDays, at(2021, 5, 5, 23, 59), QDate(2021, 5, 5), 1},
    };
    for (const CountCase& c : cases)
        EXPECT_EQ(recurrence::occurrenceCount(c.cycle, c.interval, c.days, c.start, c.end), c.expected) << c.name;
}

TEST(RecurrenceCount, MonthEndsAndLeapYears)
{
    const CountCase cases[] = {
        {"Jan 31 to Feb 28 of a leap year: Feb 29 lies beyond", Cycle::Monthly, 1, kNoDays, at(2020, 1, 31),
         QDate(2020, 2, 28), 1},
        {"Jan 31 to Feb 29 of a leap year", Cycle::Monthly, 1, kNoDays, at(2020, 1, 31), QDate(2020, 2, 29), 2},
        {"Jan 31 to Feb 28 of a common year", Cycle::Monthly, 1, kNoDays, at(2021, 1, 31), QDate(2021, 2, 28), 2},
        {"Jan 30 to Feb 27 of a common year", Cycle::Monthly, 1, kNoDays, at(2021, 1, 30), QDate(2021, 2, 27), 1},
        {"Feb 29 to Feb 28 next year", Cycle::Monthly, 1, kNoDays, at(2020, 2, 29), QDate(2021, 2, 28), 13},
        {"daily across Feb 29", Cycle::Daily, 1, kNoDays, at(2020, 2, 27), QDate(2020, 3, 1), 4},
        {"daily across Feb 28 of a common year", Cycle::Daily, 1, kNoDays, at(2021, 2, 27), QDate(2021, 3, 1), 3},
        {"every day of a leap year", Cycle::Weekly, 1, kEveryDay, at(2020, 1, 1), QDate(2020, 12, 31), 366},
    };
    for (const CountCase& c : cases)
        EXPECT_EQ(recurrence::occurrenceCount(c.cycle, c.interval, c.days, c.start, c.end), c.expected) << c.name;
}

TEST(RecurrenceCount, IntervalsAboveOne)
{
    const CountCase cases[] = {
        {"daily every 15 days over 30 days", Cycle::Daily, 15, kNoDays, at(2020, 1, 1), QDate(2020, 1, 31), 3},
        {"daily every 3 days, end one short", Cycle::Daily, 3, kNoDays, at(2020, 1, 1), QDate(2020, 1, 6), 2},
        {"Tue+Thu every 2 weeks over 6 weeks from a Sunday", Cycle::Weekly, 2, kTueThu, at(2020, 1, 5),
         QDate(2020, 2, 16), 6},
        {"Monday every 12 weeks over a year", Cycle::Weekly, 12, kMonday, at(2020, 1, 6), QDate(2020, 12, 31), 5},
        {"monthly ignores the interval", Cycle::Monthly, 3, kNoDays, at(2020, 1, 10), QDate(2020, 6, 10), 6},
    };
    for (const CountCase& c : cases)
        EXPECT_EQ(recurrence::occurrenceCount(c.cycle, c.interval, c.days, c.start, c.end), c.expected) << c.name;
}

TEST(RecurrenceCount, EmptyRangesAndRulesGiveNothing)
{
    EXPECT_EQ(recurrence::occurrenceCount(Cycle::Daily, 1, kNoDays, at(2020, 1, 10), QDate(2020, 1, 9)), 0);
    EXPECT_EQ(recurrence::occurrenceCount(Cycle::Monthly, 1, kNoDays, at(2020, 3, 1), QDate(2020, 1, 1)), 0);
    EXPECT_EQ(recurrence::occurrenceCount(Cycle::Weekly, 1, kNoDays, at(2020, 1, 1), QDate(2020, 12, 31)), 0);
    // The last second of the end date is still inside; the start must lie before it.
    EXPECT_EQ(recurrence::occurrenceCount(Cycle::Daily, 1, kNoDays, QDateTime(QDate(2020, 1, 1), QTime(23, 59, 59)),
                                          QDate(2020, 1, 1)),
              0);
    EXPECT_EQ(recurrence::occurrenceCount(Cycle::Daily, 1, kNoDays, QDateTime(), QDate(2020, 1, 1)), 0);
    // A broken interval is read as 1 instead of dividing by zero.
    EXPECT_EQ(recurrence::occurrenceCount(Cycle::Daily, 0, kNoDays, at(2020, 1, 1), QDate(2020, 1, 3)), 3);
}

TEST(RecurrenceCount, AgreesWithADayByDayWalk)
{
    // Every start weekday, interval and day set over ranges of up to ten weeks.
    for (int startOffset = 0; startOffset < 7; ++startOffset) {
        const QDateTime start = at(2021, 3, 1).addDays(startOffset);
        for (int length = 0; length < 70; length += 3) {
            const QDate end = start.date().addDays(length);
            for (int interval = 1; interval <= 4; ++interval) {
                for (int mask = 0; mask < 128; mask += 19) {
                    Days days{};
                    for (int i = 0; i < 7; ++i)
                        days[size_t(i)] = mask & (1 << i);
                    for (Cycle cycle : {Cycle::Daily, Cycle::Weekly, Cycle::Monthly}) {
                        const int expected = walkCount(cycle, interval, days, start, end);
                        ASSERT_EQ(recurrence::occurrenceCount(cycle, interval, days, start, end), expected)
                            << int(cycle) << " start " << startOffset << " length " << length << " every " << interval
                            << " mask " << mask;
                        ASSERT_EQ(recurrence::occurrenceDates(cycle, interval, days, start, end).size(), expected);
                    }
                }
            }
        }
    }
}

TEST(RecurrenceRequest, WeeklyDaysAreSundayFirstAscending)
{
    EXPECT_EQ(recurrence::weeklyDays(kTueThu), "3,5");
    EXPECT_EQ(recurrence::weeklyDays(kEveryDay), "1,2,3,4,5,6,7");
    EXPECT_EQ(recurrence::weeklyDays(kNoDays), "");
}

TEST(RecurrenceRequest, PiecesOfTheBody)
{
    EXPECT_EQ(recurrence::startTimeText(QDate(2020, 1, 6), QTime(9, 5, 33)), "2020-01-06 09:05:00");
    EXPECT_EQ(recurrence::endDateTimeText(QDate(2021, 2, 28)), "2021-02-28T23:59:59Z");

    const net::ArrangeRecurrence weekly =
        recurrence::requestRecurrence(Cycle::Weekly, 2, kTueThu, QDate(2020, 1, 1), QDate(2020, 2, 1));
    EXPECT_EQ(weekly.type, net::ArrangeRecurrence::Weekly);
    EXPECT_EQ(weekly.interval, 2);
    EXPECT_EQ(weekly.weeklyDays, "3,5");
    EXPECT_EQ(weekly.endDateTime, "2020-02-01T23:59:59Z");

    const net::ArrangeRecurrence monthly =
        recurrence::requestRecurrence(Cycle::Monthly, 1, kNoDays, QDate(2020, 1, 31), QDate(2020, 6, 1));
    EXPECT_EQ(monthly.type, net::ArrangeRecurrence::Monthly);
    EXPECT_EQ(monthly.monthlyDay, 31);
    EXPECT_TRUE(monthly.weeklyDays.empty());
}

TEST(RecurrenceSummary, UsesThePackSentences)
{
    Localization::Instance()->resetForTest();
    ASSERT_EQ(Localization::Instance()->Load(1, platform::programFolder() + "en_US.ini"), 0);
    // The pack keeps its edge spaces as no-break spaces.
    const auto summary = [](Cycle cycle, int interval, const Days& days, int count) {
        return recurrence::summaryText(cycle, interval, days, count).replace(QChar(0xA0), QLatin1Char(' '));
    };
    EXPECT_EQ(summary(Cycle::Daily, 2, kNoDays, 4), "Every 2 day(s), 4 meeting(s) in total");
    EXPECT_EQ(summary(Cycle::Weekly, 1, kMonWed, 4), "Every 1 week(s) on Mon, Wed: 4 meeting(s) in total");
    EXPECT_EQ(summary(Cycle::Weekly, 1, kNoDays, 0), "Every 1 week(s): 0 meeting(s) in total");
    EXPECT_EQ(summary(Cycle::Monthly, 3, kNoDays, 6), "Monthly on the same day, 6 meeting(s) in total");
}

TEST(RecurrenceSummary, LongTranslationsAreNeverCut)
{
    // A pack whose day names alone pass the old 128-byte days buffer, in multi-byte characters.
    const QString pack =
        QDir::temp().filePath(QStringLiteral("vtx-long-pack-%1.ini").arg(QCoreApplication::applicationPid()));
    QFile f(pack);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const auto dayName = [](int i) { return QString(30, QChar(0x661F + i)); }; // 90 bytes each
    f.write("ui.plan.calculate.week=周周\nui.plan.separate=、\nui.plan.calculate.weekly=每%d周%s，共%d场\n");
    const char* const keys[] = {"ui.plan.sunday",   "ui.plan.monday", "ui.plan.tuesday", "ui.plan.wednesday",
                                "ui.plan.thursday", "ui.plan.friday", "ui.plan.saturday"};
    QStringList names;
    for (int i = 0; i < 7; ++i) {
        f.write(QByteArray(keys[i]) + "=" + dayName(i).toUtf8() + "\n");
        names << dayName(i);
    }
    f.close();
    Localization::Instance()->resetForTest();
    ASSERT_EQ(Localization::Instance()->Load(0, pack), 0);
    const QString text = recurrence::summaryText(Cycle::Weekly, 1, kEveryDay, 7);
    QFile::remove(pack);
    EXPECT_EQ(text, QStringLiteral("每1周 周周") + names.join(QStringLiteral("、")) + QStringLiteral("，共7场"));
}
