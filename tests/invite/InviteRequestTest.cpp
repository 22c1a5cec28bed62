// The values the invite button gathers, and the one dialog that shows them.

#include "ui/invite/InviteRequest.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <gtest/gtest.h>
#include <map>

#include "InviteSupport.h"

namespace {

InviteFacts facts(quint64 number)
{
    InviteFacts f;
    f.number = number;
    f.joinUrl = QStringLiteral("https://join.example.com/j/%1").arg(number);
    f.topic = QStringLiteral("Daily");
    f.password = "own";
    f.startText = "2026-12-09 10:00:00";
    f.inviter = QStringLiteral("Wang");
    return f;
}

struct Schedule
{
    std::map<quint64, ScheduledSlot> rows;
    std::map<quint64, std::string> passwords;
    ScheduledSlotLookup listed()
    {
        return [this](quint64 n) -> std::optional<ScheduledSlot> {
            const auto it = rows.find(n);
            return it == rows.end() ? std::nullopt : std::optional<ScheduledSlot>(it->second);
        };
    }
    ServicePasswordLookup password()
    {
        return [this](quint64 n) -> std::optional<std::string> {
            const auto it = passwords.find(n);
            return it == passwords.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
    }
};

// 2020-01-06 20:00:00 UTC
constexpr time_t kEvening = 1578340800;

// The process's time zone for one test.
class LocalZone
{
public:
    explicit LocalZone(const char* zone)
        : m_old(qgetenv("TZ"))
        , m_had(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray m_old;
    bool m_had;
};

} // namespace

TEST(InviteTimes, EnteredLocalTimeIsToldInUtcPlusEight)
{
    {
        LocalZone tokyo("Asia/Tokyo");
        EXPECT_EQ(utc8TextFromLocal(QStringLiteral("2026-12-09 10:00:00")), "2026-12-09 09:00:00");
    }
    {
        LocalZone newYork("America/New_York"); // UTC-5 in December
        EXPECT_EQ(utc8TextFromLocal(QStringLiteral("2026-12-09 20:30:15")), "2026-12-10 09:30:15");
    }
    LocalZone shanghai("Asia/Shanghai");
    EXPECT_EQ(utc8TextFromLocal(QStringLiteral("2026-12-09 10:00:00")), "2026-12-09 10:00:00");
    EXPECT_EQ(utc8TextFromLocal(QString()), "");
    EXPECT_EQ(utc8TextFromLocal(QStringLiteral("soon")), "soon");
}

namespace {

TEST(InviteValues, AnUnlistedMeetingKeepsItsOwnValuesAndAnHour)
{
    Schedule s;
    s.passwords[1] = "service";
    const InviteMeeting m = inviteFor(facts(1), s.listed(), s.password());
    EXPECT_EQ(m.startTime, "2026-12-09 10:00:00");
    EXPECT_EQ(m.duration, 60);
    EXPECT_EQ(m.password, "own");
    EXPECT_EQ(m.number, 1u);
    EXPECT_EQ(m.inviter, QStringLiteral("Wang"));
}

TEST(InviteValues, AScheduledMeetingLendsStartInUtc8DurationAndServicePassword)
{
    Schedule s;
    s.rows[1] = {kEvening, 45};
    s.passwords[1] = "service";
    InviteMeeting m = inviteFor(facts(1), s.listed(), s.password());
    // 20:00 UTC is 04:00 of the next day in UTC+8.
    EXPECT_EQ(m.startTime, "2020-01-07 04:00:00");
    EXPECT_EQ(m.duration, 45);
    EXPECT_EQ(m.password, "service");

    // No usable answer from the service: the meeting's own password is still right.
    s.passwords.clear();
    s.rows[1].duration = -5;
    m = inviteFor(facts(1), s.listed(), s.password());
    EXPECT_EQ(m.password, "own");
    EXPECT_EQ(m.duration, 0);
}

TEST(InviteValues, APersonalRoomTakesTheTimesOfTheRowItWasStartedFrom)
{
    Schedule s;
    s.rows[1] = {0, 0}; // the personal room: no time of its own
    s.passwords[1] = "room";
    InviteFacts f = facts(1);
    f.startedRow = ScheduledSlot{kEvening, 30}; // the scheduled row started in it
    InviteMeeting m = inviteFor(f, s.listed(), s.password());
    EXPECT_EQ(m.startTime, "2020-01-07 04:00:00");
    EXPECT_EQ(m.duration, 30);
    EXPECT_EQ(m.password, "room"); // the password of the running meeting, not of the row

    for (const std::optional<ScheduledSlot>& started :
         {std::optional<ScheduledSlot>(), std::optional<ScheduledSlot>(ScheduledSlot{0, 30})}) {
        f.startedRow = started;
        m = inviteFor(f, s.listed(), s.password());
        EXPECT_EQ(m.startTime, "2026-12-09 10:00:00");
        EXPECT_EQ(m.duration, 60);
        EXPECT_EQ(m.password, "own");
    }
    // A listed meeting with a time of its own ignores the row.
    s.rows[1] = {kEvening + 3600, 20};
    m = inviteFor(f, s.listed(), s.password());
    EXPECT_EQ(m.startTime, "2020-01-07 05:00:00");
    EXPECT_EQ(m.duration, 20);
}

TEST(InviteValues, WithoutAScheduleListNothingIsLookedUp)
{
    const InviteMeeting m = inviteFor(facts(1), nullptr, nullptr);
    EXPECT_EQ(m.duration, 60);
    EXPECT_EQ(m.password, "own");
}

class InviteLauncherTest : public InviteFixture
{
protected:
    InviteLauncherTest()
        : InviteFixture(false)
    {}
};

TEST_F(InviteLauncherTest, OneDialogCentredAndReusedAndHiddenAtTheEnd)
{
    QWidget mainWindow;
    InviteLauncher launcher(&mainWindow);
    EXPECT_EQ(launcher.dialog(), nullptr);
    launcher.hide(); // nothing to hide yet

    launcher.open(inviteFor(facts(11111111111ull), nullptr, nullptr));
    InviteDialog* first = launcher.dialog();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(first->geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(first->geometry().center().y() - screen.center().y()), 1);

    first->close();
    launcher.open(inviteFor(facts(22222222222ull), nullptr, nullptr));
    EXPECT_EQ(launcher.dialog(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->findChild<QLineEdit*>("lineEdit_URL")->text(),
              QStringLiteral("https://join.example.com/j/22222222222"));

    launcher.hide();
    EXPECT_FALSE(first->isVisible());
}

} // namespace
