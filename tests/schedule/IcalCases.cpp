// Writes calendar files for the checker script: one .ics per case and, beside it, the local dates
// the recurrence rules give and the count the schedule dialog's summary shows.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cstdio>

#include "ui/schedule/Invitation.h"
#include "ui/schedule/Recurrence.h"

using recurrence::Cycle;

namespace {

struct Case
{
    Cycle cycle;
    int interval;
    std::array<bool, 7> days;
    QDateTime start;
    QDate end;
    bool oneOff = false;
};

QDateTime at(int y, int m, int d, int h, int min)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), Qt::LocalTime);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const std::array<bool, 7> none{};
    const std::array<bool, 7> monWed{false, true, false, true, false, false, false};
    const std::array<bool, 7> tueThuSun{true, false, true, false, true, false, false};
    const std::array<bool, 7> sat{false, false, false, false, false, false, true};

    QList<Case> cases;
    // Times early and late in the day move the meeting to another UTC date in most zones.
    for (const QTime& time : {QTime(7, 0), QTime(10, 30), QTime(20, 0), QTime(23, 30)}) {
        const auto t = [&](int y, int m, int d) { return QDateTime(QDate(y, m, d), time, Qt::LocalTime); };
        cases << Case{Cycle::Daily, 1, none, t(2031, 2, 26), QDate(2031, 3, 3)}
              << Case{Cycle::Daily, 3, none, t(2032, 2, 27), QDate(2032, 4, 1)}
              << Case{Cycle::Daily, 15, none, t(2031, 12, 20), QDate(2032, 6, 30)}
              << Case{Cycle::Weekly, 1, monWed, t(2031, 1, 1), QDate(2031, 1, 14)}
              << Case{Cycle::Weekly, 2, monWed, t(2031, 1, 1), QDate(2031, 3, 14)}
              << Case{Cycle::Weekly, 3, tueThuSun, t(2031, 12, 28), QDate(2032, 5, 1)}
              << Case{Cycle::Weekly, 1, sat, t(2032, 2, 23), QDate(2032, 3, 9)}
              << Case{Cycle::Monthly, 1, none, t(2031, 1, 15), QDate(2031, 12, 10)}
              << Case{Cycle::Monthly, 1, none, t(2031, 1, 1), QDate(2031, 6, 1)}
              << Case{Cycle::Monthly, 1, none, t(2031, 3, 5), QDate(2031, 3, 5)}
              << Case{Cycle::Daily, 1, none, t(2031, 7, 1), QDate(2031, 7, 1), true};
        // West of UTC a late meeting on the 28th or later moves into the next UTC month; the rule
        // there is exact only up to the 27th.
        if (QDateTime(QDate(2031, 1, 31), time, Qt::LocalTime).toUTC().date() <= QDate(2031, 1, 31))
            cases << Case{Cycle::Monthly, 1, none, t(2031, 1, 31), QDate(2032, 4, 30)}
                  << Case{Cycle::Monthly, 1, none, t(2031, 11, 30), QDate(2032, 3, 31)}
                  << Case{Cycle::Monthly, 1, none, t(2032, 1, 29), QDate(2033, 3, 1)};
    }

    int index = 0;
    for (const Case& c : cases) {
        ical::Event event;
        event.uid = QStringLiteral("case-%1@vtx").arg(index);
        event.stamp = QDateTime::currentDateTimeUtc();
        event.start = c.start;
        event.durationMinutes = 90;
        event.summary = QStringLiteral("Plan; review, \"Q3\" \\ 周会 %1").arg(index);
        event.description = QStringLiteral("Alice invites you.\r\n\r\nTopic: a, b; c\r\nMeeting ID: 123456789\r\n") +
                            QString(40, QChar(0x4F1A)) + QStringLiteral(" end");
        event.url = QStringLiteral("https://meet.example/j/123456789?pwd=a,b");
        if (!c.oneOff)
            event.rule = ical::Rule{c.cycle, c.interval, c.days, c.end};
        const QList<QDate> dates = c.oneOff ? QList<QDate>{c.start.date()}
                                            : recurrence::occurrenceDates(c.cycle, c.interval, c.days, c.start, c.end);
        const int count = c.oneOff ? 1 : recurrence::occurrenceCount(c.cycle, c.interval, c.days, c.start, c.end);

        QFile ics(out.filePath(QStringLiteral("case%1.ics").arg(index)));
        QFile expected(out.filePath(QStringLiteral("case%1.expected").arg(index)));
        if (!ics.open(QIODevice::WriteOnly) || !expected.open(QIODevice::WriteOnly | QIODevice::Text))
            return 1;
        ics.write(ical::calendarText(event));
        QTextStream s(&expected);
        s.setCodec("UTF-8");
        s << "count " << count << "\n";
        if (c.oneOff)
            s << "oneoff 1\n";
        s << "summary " << event.summary << "\n";
        s << "description " << QString(event.description).replace(QStringLiteral("\r\n"), QStringLiteral("|")) << "\n";
        for (const QDate& d : dates)
            s << "date " << d.toString(Qt::ISODate) << ' ' << c.start.time().toString(QStringLiteral("HH:mm")) << "\n";
        ++index;
    }
    std::printf("%d cases\n", index);
    return 0;
}
