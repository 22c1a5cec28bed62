// The scheduling dialogs and list rows on their own: no SDK service, no web service.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

#include "FakeContext.h"
#include "base/Localization.h"
#include "base/Settings.h"
#include "platform/Paths.h"
#include "ui/MessageBox.h"
#include "ui/TipsDlg.h"
#include "ui/schedule/EditMyPMI.h"
#include "ui/schedule/Invitation.h"
#include "ui/schedule/PlanList.h"
#include "ui/schedule/ScheduleInfoDlg.h"
#include "ui/schedule/ScheduleItem.h"
#include "ui/schedule/ScheduleMeeting.h"

namespace {

void loadEnglish()
{
    Localization::Instance()->resetForTest();
    ASSERT_EQ(Localization::Instance()->Load(1, platform::programFolder() + "en_US.ini"), 0);
}

// The pack keeps edge spaces of its texts as no-break spaces.
QString plain(const QString& text)
{
    return QString(text).replace(QChar(0xA0), QLatin1Char(' '));
}

template <typename T> T* child(QWidget* parent, const char* name)
{
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

class Dialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        loadEnglish();
        ScheduleMeeting::setClockForTest([this] { return m_now; });
    }
    void TearDown() override
    {
        ScheduleMeeting::setClockForTest(nullptr);
        MessageBox::clearAutoAnswer();
    }
    std::unique_ptr<ScheduleMeeting> newDialog()
    {
        return std::make_unique<ScheduleMeeting>(nullptr, &m_context, false, 0, 0, nullptr, false);
    }
    QString error(QWidget* dlg) { return child<QLabel>(dlg, "label_errInfo")->text(); }
    void ok(QWidget* dlg) { child<QPushButton>(dlg, "pushButton_ok")->click(); }

    QDateTime m_now = QDateTime(QDate(2031, 5, 6), QTime(10, 20), Qt::LocalTime);
    FakeContext m_context;
};

} // namespace

TEST(DefaultStart, IsTheNextFullHourAndMovesToTomorrowAfter23)
{
    const auto start = [](int y, int m, int d, int h, int min) {
        return defaultMeetingStart(QDateTime(QDate(y, m, d), QTime(h, min, 37), Qt::LocalTime));
    };
    EXPECT_EQ(start(2031, 5, 6, 10, 20), QDateTime(QDate(2031, 5, 6), QTime(11, 0), Qt::LocalTime));
    EXPECT_EQ(start(2031, 5, 6, 10, 0), QDateTime(QDate(2031, 5, 6), QTime(11, 0), Qt::LocalTime));
    EXPECT_EQ(start(2031, 5, 6, 23, 0), QDateTime(QDate(2031, 5, 7), QTime(0, 0), Qt::LocalTime));
    EXPECT_EQ(start(2031, 12, 31, 23, 59), QDateTime(QDate(2032, 1, 1), QTime(0, 0), Qt::LocalTime));
}

TEST_F(Dialogs, NewMeetingStartsAtTheNextHourForOneHour)
{
    auto dlg = newDialog();
    EXPECT_EQ(child<QDateTimeEdit>(dlg.get(), "dateTimeEdit_date")->date(), QDate(2031, 5, 6));
    EXPECT_EQ(child<QDateTimeEdit>(dlg.get(), "dateTimeEdit_time")->time(), QTime(11, 0));
    EXPECT_EQ(child<QComboBox>(dlg.get(), "comboBox_hr")->currentText(), "1");
    EXPECT_EQ(child<QComboBox>(dlg.get(), "comboBox_min")->currentText(), "0");
    EXPECT_EQ(child<QLineEdit>(dlg.get(), "lineEdit_topic")->text(), "Alice's Meeting");
    EXPECT_EQ(child<QCheckBox>(dlg.get(), "checkBox_usePMI")->text(), LangText("ui.plan.checkBox_usePMI0"));
    EXPECT_EQ(dlg->height(), 630);
}

TEST_F(Dialogs, LateEveningDefaultIsAcceptedWithoutChangingTheDate)
{
    m_now = QDateTime(QDate(2031, 5, 6), QTime(23, 30), Qt::LocalTime);
    auto dlg = newDialog();
    EXPECT_EQ(child<QDateTimeEdit>(dlg.get(), "dateTimeEdit_date")->date(), QDate(2031, 5, 7));
    EXPECT_EQ(child<QDateTimeEdit>(dlg.get(), "dateTimeEdit_time")->time(), QTime(0, 0));
    ok(dlg.get());
    // Past the time check; only the missing SDK stops it here.
    EXPECT_EQ(error(dlg.get()), LangText("ui.plan.schedule_add_failed"));
}

TEST_F(Dialogs, UsePmiTextNamesAKnownPersonalMeetingId)
{
    m_context.pmi = 1234567890;
    auto dlg = newDialog();
    EXPECT_EQ(child<QCheckBox>(dlg.get(), "checkBox_usePMI")->text(), "Use personal meeting ID 1234567890");
}

TEST_F(Dialogs, OkReportsTheFirstProblemInOrder)
{
    auto dlg = newDialog();
    auto* topic = child<QLineEdit>(dlg.get(), "lineEdit_topic");
    auto* setPwd = child<QCheckBox>(dlg.get(), "checkBox_set_pwd");
    auto* password = child<QLineEdit>(dlg.get(), "lineEdit_password");
    topic->clear();
    setPwd->click();
    ok(dlg.get());
    EXPECT_EQ(error(dlg.get()), LangText("ui.plan.topic_empty"));
    topic->setText(QStringLiteral("Review"));
    ok(dlg.get());
    EXPECT_EQ(error(dlg.get()), LangText("ui.plan.pwd_empty"));
    password->setText(QStringLiteral("pässwort")); // not typed, so the validator never saw it
    ok(dlg.get());
    EXPECT_EQ(error(dlg.get()), LangText("ui.pwd_pmi"));
    password->setText(QStringLiteral("abc123"));
    child<QDateTimeEdit>(dlg.get(), "dateTimeEdit_time")->setTime(QTime(10, 20));
    ok(dlg.get());
    EXPECT_EQ(error(dlg.get()), LangText("ui.plan.start_date.early"));
    EXPECT_TRUE(dlg->isVisible() || dlg->result() != QDialog::Accepted);
}

TEST_F(Dialogs, PasswordTakesTenLettersOrDigitsAsTyped)
{
    auto dlg = newDialog();
    auto* password = child<QLineEdit>(dlg.get(), "lineEdit_password");
    QTest::keyClicks(password, QStringLiteral("ab-c 1"));
    QKeyEvent accented(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("é"));
    QCoreApplication::sendEvent(password, &accented);
    EXPECT_EQ(password->text(), "abc1");
    password->clear();
    QTest::keyClicks(password, QStringLiteral("abcdefghijk"));
    EXPECT_EQ(password->text(), "abcdefghij");
}

// Each English caption fits its button, and the buttons stay whole however the rows above push them.
TEST_F(Dialogs, ButtonsStayWholeInEveryLayout)
{
    const auto whole = [](QPushButton* b) {
        return b->isVisible() && b->visibleRegion().boundingRect() == b->rect() && b->width() >= b->sizeHint().width();
    };
    for (const bool recurring : {false, true})
        for (const bool password : {false, true}) {
            auto dlg = newDialog();
            dlg->show();
            if (recurring)
                child<QCheckBox>(dlg.get(), "checkBox_cycle")->click();
            if (password)
                child<QCheckBox>(dlg.get(), "checkBox_set_pwd")->click();
            auto* okButton = child<QPushButton>(dlg.get(), "pushButton_ok");
            auto* cancel = child<QPushButton>(dlg.get(), "pushButton_cancel");
            EXPECT_TRUE(whole(okButton)) << recurring << password;
            EXPECT_TRUE(whole(cancel)) << recurring << password;
            EXPECT_FALSE(okButton->geometry().intersects(cancel->geometry()));
            EXPECT_LE(okButton->mapTo(dlg.get(), QPoint(0, okButton->height())).y(), dlg->height());
        }
    ScheduleInfoDlg result(QStringLiteral("Alice"), 0);
    result.show();
    auto* copy = child<QPushButton>(&result, "pushButton_copy");
    auto* calendar = child<QPushButton>(&result, "pushButton_calendar");
    EXPECT_TRUE(whole(copy));
    EXPECT_TRUE(whole(calendar));
    EXPECT_FALSE(copy->geometry().intersects(calendar->geometry()));
}

TEST_F(Dialogs, RecurringBoxTradesUsePmiForTheRecurrenceRows)
{
    settings::writeAlwaysUsePmi(true);
    auto dlg = newDialog();
    settings::writeAlwaysUsePmi(false);
    auto* usePmi = child<QCheckBox>(dlg.get(), "checkBox_usePMI");
    auto* autoRecord = child<QCheckBox>(dlg.get(), "checkBox_autoRecord");
    auto* okButton = child<QPushButton>(dlg.get(), "pushButton_ok");
    dlg->show();
    ASSERT_TRUE(usePmi->isChecked());
    const int recordY = autoRecord->y();
    const int okY = okButton->y();

    child<QCheckBox>(dlg.get(), "checkBox_cycle")->click();
    EXPECT_FALSE(usePmi->isChecked());
    EXPECT_FALSE(usePmi->isVisible());
    EXPECT_EQ(autoRecord->y(), usePmi->y());
    EXPECT_EQ(okButton->y(), okY - 40);
    EXPECT_TRUE(child<QWidget>(dlg.get(), "horizontalWidget_cycle")->isVisible());
    EXPECT_EQ(dlg->height(), 741);
    child<QCheckBox>(dlg.get(), "checkBox_set_pwd")->click();
    EXPECT_EQ(dlg->height(), 781);

    child<QCheckBox>(dlg.get(), "checkBox_cycle")->click();
    EXPECT_TRUE(usePmi->isVisible());
    EXPECT_TRUE(usePmi->isEnabled());
    EXPECT_FALSE(usePmi->isChecked());
    EXPECT_EQ(autoRecord->y(), recordY);
    EXPECT_EQ(okButton->y(), okY);
    EXPECT_TRUE(child<QLabel>(dlg.get(), "label_recurring")->text().isEmpty());
    EXPECT_EQ(dlg->height(), 670);
}

TEST_F(Dialogs, SummaryFollowsEveryField)
{
    m_now = QDateTime(QDate(2031, 1, 1), QTime(9, 0), Qt::LocalTime); // a Wednesday
    auto dlg = newDialog();
    auto* summary = child<QLabel>(dlg.get(), "label_recurring");
    auto* end = child<QDateTimeEdit>(dlg.get(), "dateTimeEdit_date_end");
    child<QCheckBox>(dlg.get(), "checkBox_cycle")->click();
    const auto text = [&] { return summary->text().replace(QChar(0xA0), QLatin1Char(' ')); };
    EXPECT_EQ(text(), "Every 1 week(s): 0 meeting(s) in total");

    end->setDate(QDate(2031, 1, 14));
    child<QPushButton>(dlg.get(), "btn_monday")->click();
    child<QPushButton>(dlg.get(), "btn_wednesday")->click();
    EXPECT_EQ(text(), "Every 1 week(s) on Mon, Wed: 4 meeting(s) in total");
    child<QComboBox>(dlg.get(), "comboBox_slot")->setCurrentIndex(1);
    EXPECT_EQ(dlg->meetingCount(), 2);
    child<QPushButton>(dlg.get(), "btn_wednesday")->click();
    EXPECT_EQ(text(), "Every 2 week(s) on Mon: 1 meeting(s) in total");

    child<QComboBox>(dlg.get(), "comboBox_cycle")->setCurrentIndex(0);
    EXPECT_EQ(end->date(), QDate(2031, 1, 8)); // a week after the start
    EXPECT_EQ(text(), "Every 1 day(s), 8 meeting(s) in total");
    child<QComboBox>(dlg.get(), "comboBox_cycle")->setCurrentIndex(2);
    EXPECT_EQ(end->date(), QDate(2031, 7, 1));
    EXPECT_EQ(dlg->meetingCount(), 7);
    EXPECT_FALSE(child<QWidget>(dlg.get(), "horizontalWidget_slot")->isVisibleTo(dlg.get()));

    // The start moved past the end empties the summary.
    child<QDateTimeEdit>(dlg.get(), "dateTimeEdit_date")->setDate(QDate(2031, 8, 1));
    EXPECT_TRUE(summary->text().isEmpty());
    EXPECT_EQ(dlg->meetingCount(), 0);
}

TEST_F(Dialogs, RecurringOkRefusesRulesWithoutMeetings)
{
    m_now = QDateTime(QDate(2031, 1, 1), QTime(9, 0), Qt::LocalTime);
    auto dlg = newDialog();
    child<QCheckBox>(dlg.get(), "checkBox_cycle")->click();
    ok(dlg.get());
    EXPECT_EQ(error(dlg.get()), LangText("ui.plan.nomeeting"));

    // A start on the end date at 23:59 is counted but lies past the submit's 23:59:00 end.
    child<QComboBox>(dlg.get(), "comboBox_cycle")->setCurrentIndex(0);
    child<QDateTimeEdit>(dlg.get(), "dateTimeEdit_date_end")->setDate(QDate(2031, 1, 1));
    child<QDateTimeEdit>(dlg.get(), "dateTimeEdit_time")->setTime(QTime(23, 59));
    EXPECT_EQ(dlg->meetingCount(), 1);
    ok(dlg.get());
    EXPECT_EQ(error(dlg.get()), LangText("ui.plan.recurring_range"));

    // Without a service user ID nothing is sent.
    child<QDateTimeEdit>(dlg.get(), "dateTimeEdit_time")->setTime(QTime(10, 0));
    ok(dlg.get());
    EXPECT_EQ(error(dlg.get()), LangText("ui.plan.schedule_add_failed"));
    EXPECT_EQ(m_context.userIdRequests, 1);
}

TEST_F(Dialogs, EditWithoutAnEditItemReportsTheEditFailure)
{
    ScheduleMeeting dlg(nullptr, &m_context, true, 77, 123456789, nullptr, false);
    EXPECT_FALSE(child<QCheckBox>(&dlg, "checkBox_cycle")->isVisibleTo(&dlg));
    child<QDateTimeEdit>(&dlg, "dateTimeEdit_date")->setDate(m_now.date().addDays(1));
    ok(&dlg);
    EXPECT_EQ(m_context.editing, 77u);
    EXPECT_EQ(error(&dlg), LangText("ui.plan.schedule_edit_failed"));
}

TEST_F(Dialogs, RecurringRecordFillsTheFields)
{
    RecurringMeetingInfo info;
    info.topic = "Stand-up \"daily\"";
    info.password = "x1";
    info.hostVideo = 0;
    info.muteUponEntry = 1;
    ScheduleMeeting dlg(nullptr, &m_context, true, 5, 6, &info, false);
    info.topic = "changed after the dialog took its copy";
    EXPECT_EQ(child<QLineEdit>(&dlg, "lineEdit_topic")->text(), "Stand-up \"daily\"");
    EXPECT_TRUE(child<QAbstractButton>(&dlg, "host_close")->isChecked());
    EXPECT_TRUE(child<QAbstractButton>(&dlg, "attendee_open")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(&dlg, "checkBox_muteJoin")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(&dlg, "checkBox_set_pwd")->isChecked());
    EXPECT_EQ(child<QLineEdit>(&dlg, "lineEdit_password")->text(), "x1");
    EXPECT_FALSE(child<QCheckBox>(&dlg, "checkBox_cycle")->isEnabled());
    EXPECT_EQ(dlg.height(), 670);
}

// ---- list rows ----

namespace {

schedule::ItemInfo meeting(const QDateTime& start, int minutes, quint64 number = 1234567890)
{
    schedule::ItemInfo item;
    item.uniqueId = 900;
    item.number = number;
    item.topic = QStringLiteral("Design review");
    item.startTime = start.isValid() ? start.toSecsSinceEpoch() : 0;
    item.durationMinutes = minutes;
    return item;
}

} // namespace

TEST_F(Dialogs, RowShowsTodayOrTheDateAndTheTimeSpan)
{
    ScheduleItem today(&m_context, nullptr);
    today.setMeeting(meeting(QDateTime(QDate::currentDate(), QTime(10, 0)), 90), 900);
    EXPECT_EQ(child<QLabel>(&today, "label_Date")->text(), "Today");
    EXPECT_EQ(child<QLabel>(&today, "label_Time")->text(), "10:00 – 11:30");
    EXPECT_EQ(plain(child<QLabel>(&today, "label_Topic")->text()), "Topic: Design review");
    EXPECT_EQ(plain(child<QLabel>(&today, "label_MeetingID")->text()), "Meeting ID: 123-456-7890");

    ScheduleItem other(&m_context, nullptr);
    other.setMeeting(meeting(QDateTime(QDate(2020, 1, 6), QTime(23, 0)), 90, 12345678901), 901);
    EXPECT_EQ(child<QLabel>(&other, "label_Date")->text(), "Mon, Jan 6, 2020");
    EXPECT_EQ(child<QLabel>(&other, "label_Time")->text(), "23:00 – 00:30");
    EXPECT_EQ(plain(child<QLabel>(&other, "label_MeetingID")->text()), "Meeting ID: 123-4567-8901");

    ScheduleItem periodic(&m_context, nullptr);
    periodic.setMeeting(meeting(QDateTime(), 60), 902);
    periodic.showButtons(true);
    periodic.show();
    EXPECT_EQ(child<QLabel>(&periodic, "label_Date")->text(), "Recurring meeting");
    EXPECT_TRUE(child<QLabel>(&periodic, "label_Time")->text().isEmpty());
    EXPECT_FALSE(child<QPushButton>(&periodic, "edit")->isVisible());
    EXPECT_FALSE(child<QPushButton>(&periodic, "remove")->isVisible());
    EXPECT_TRUE(child<QPushButton>(&periodic, "start")->isVisible());
}

TEST_F(Dialogs, StartingOneRowGreysOnlyItsButtons)
{
    ScheduleItem first(&m_context, nullptr);
    ScheduleItem second(&m_context, nullptr);
    first.setMeeting(meeting(QDateTime(QDate(2031, 1, 1), QTime(9, 0)), 60, 1111111111), 1);
    second.setMeeting(meeting(QDateTime(QDate(2031, 1, 1), QTime(11, 0)), 60, 2222222222), 2);
    second.showButtons(true);
    first.showButtons(true);
    m_context.startResult = -1;
    child<QPushButton>(&first, "start")->click();
    EXPECT_TRUE(child<QPushButton>(&first, "start")->isEnabled()); // a refused start changes nothing
    m_context.startResult = 0;
    child<QPushButton>(&first, "start")->click();
    EXPECT_TRUE(first.buttonsGreyed());
    EXPECT_EQ(m_context.started, (std::vector<quint64>{1111111111, 1111111111}));
    EXPECT_EQ(m_context.startedId, 1u);
    for (const char* name : {"start", "edit", "remove"}) {
        EXPECT_FALSE(child<QPushButton>(&first, name)->isEnabled()) << name;
        EXPECT_TRUE(child<QPushButton>(&second, name)->isEnabled()) << name;
    }
    EXPECT_TRUE(child<QPushButton>(&first, "copy")->isEnabled());
    first.resetButtons();
    EXPECT_TRUE(child<QPushButton>(&first, "start")->isEnabled());

    // A row rebuilt while its meeting runs comes up greyed.
    ScheduleItem rebuilt(&m_context, nullptr);
    rebuilt.setMeeting(meeting(QDateTime(QDate(2031, 1, 1), QTime(9, 0)), 60, 1111111111), 1);
    EXPECT_TRUE(rebuilt.buttonsGreyed());
    rebuilt.showButtons(true);
    EXPECT_FALSE(child<QPushButton>(&rebuilt, "edit")->isEnabled());
}

TEST_F(Dialogs, RowButtonsAskTheMeetingsPage)
{
    ScheduleItem row(&m_context, nullptr);
    row.setMeeting(meeting(QDateTime(QDate(2031, 1, 1), QTime(9, 0)), 60), 900);
    EXPECT_EQ(row.findChild<QPushButton*>(QStringLiteral("edit")), nullptr); // made on first selection
    row.showButtons(true);
    child<QPushButton>(&row, "edit")->click();
    child<QPushButton>(&row, "copy")->click();
    EXPECT_EQ(m_context.edits, (std::vector<std::pair<quint64, quint64>>{{900, 1234567890}}));
    EXPECT_EQ(m_context.reads, (std::vector<std::pair<quint64, bool>>{{900, false}}));

    MessageBox::setAutoAnswer(MessageBox::SecondButton);
    child<QPushButton>(&row, "remove")->click();
    EXPECT_TRUE(m_context.removed.empty());
    EXPECT_TRUE(MessageBox::answeredTexts().contains(LangText("msg.remove_schedule_request")));
    // Confirmed, but no SDK service takes the delete: the row stays.
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    child<QPushButton>(&row, "remove")->click();
    EXPECT_TRUE(m_context.removed.empty());
}

// ---- invitation ----

TEST_F(Dialogs, InvitationSpeaksUtcPlusEightWithCrLf)
{
    const qint64 start = QDateTime(QDate(2020, 1, 6), QTime(20, 30), Qt::UTC).toSecsSinceEpoch();
    EXPECT_EQ(invitationText("Alice", "Review", start, 1234567890, "abc"),
              "Alice invites you to a VTX meeting.\r\n\r\nTopic: Review\r\nTime: 2020-01-07 04:30 (Beijing "
              "time)\r\n\r\nMeeting ID: 1234567890\r\nPassword: abc\r\n\r\n");
    EXPECT_TRUE(invitationText("Alice", "Review", start, 1234567890, "").endsWith("Meeting ID: 1234567890\r\n\r\n"));
    EXPECT_EQ(invitationText("Alice", "Review", 0, 42, ""),
              "Alice invites you to a VTX meeting.\r\n\r\nTopic: Review\r\nMeeting ID: 42\r\n\r\n");
    // A topic far past any fixed buffer, in multi-byte characters, arrives whole.
    const QString longTopic(5000, QChar(0x4F1A));
    EXPECT_TRUE(invitationText("Alice", longTopic, 0, 42, "").contains(longTopic));
}

TEST_F(Dialogs, CopyPutsTheWholeTextOnTheClipboardAndCloses)
{
    auto* dlg = new ScheduleInfoDlg(QStringLiteral("Alice"), 0);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<ScheduleInfoDlg> guard(dlg);
    schedule::ItemInfo item = meeting(QDateTime(QDate(2031, 1, 1), QTime(9, 0)), 60);
    item.password = {true, true};
    item.passwordText = QStringLiteral("pw9");
    dlg->setMeetingInfo(item, false, QString(), false);
    dlg->show();
    EXPECT_EQ(child<QLabel>(dlg, "label_ScheduleSuccess")->text(), LangText("ui.schedule.label_ScheduleSuccess"));
    const QString expected = dlg->text();
    EXPECT_TRUE(expected.contains(QStringLiteral("Password: pw9\r\n\r\n")));
    QGuiApplication::clipboard()->clear();
    child<QPushButton>(dlg, "pushButton_copy")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
    QTRY_VERIFY(guard.isNull());
}

TEST_F(Dialogs, CopyFlowUsesTheGivenPasswordAndNeverShows)
{
    auto* dlg = new ScheduleInfoDlg(QStringLiteral("Alice"), 1);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<ScheduleInfoDlg> guard(dlg);
    schedule::ItemInfo item = meeting(QDateTime(), 60);
    item.password = {true, true};
    item.passwordText = QStringLiteral("sdk");
    dlg->setMeetingInfo(item, true, QStringLiteral("service"), true);
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(text.contains(QStringLiteral("Password: service\r\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("Time:")));
    QTRY_VERIFY(guard.isNull());
}

TEST_F(Dialogs, ResultDialogSavesACalendarFile)
{
    QTemporaryDir dir;
    ScheduleInfoDlg dlg(QStringLiteral("Alice"), 0);
    schedule::ItemInfo item = meeting(QDateTime(QDate(2031, 1, 1), QTime(9, 0)), 45);
    item.topic = QStringLiteral("Budget, Q3; \"final\"");
    dlg.setMeetingInfo(item, false, QString(), false);
    const QString path = dir.filePath(QStringLiteral("m.ics"));
    ASSERT_TRUE(dlg.saveCalendar(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray ics = f.readAll();
    const QDateTime start(QDate(2031, 1, 1), QTime(9, 0), Qt::LocalTime);
    EXPECT_TRUE(ics.contains("DTSTART:" + start.toUTC().toString("yyyyMMdd'T'HHmmss'Z'").toLatin1() + "\r\n"));
    EXPECT_TRUE(ics.contains("DTEND:" + start.addSecs(45 * 60).toUTC().toString("yyyyMMdd'T'HHmmss'Z'").toLatin1()));
    EXPECT_TRUE(ics.contains("SUMMARY:Budget\\, Q3\\; \"final\"\r\n"));
    EXPECT_FALSE(ics.contains("RRULE"));
    EXPECT_FALSE(dlg.saveCalendar(dir.filePath(QStringLiteral("missing/folder/m.ics"))));
}

TEST(CalendarText, FoldsAtSeventyFiveOctetsWithoutSplittingCharacters)
{
    const QByteArray line = "DESCRIPTION:" + QString(100, QChar(0x4F1A)).toUtf8();
    const QByteArray folded = ical::foldLine(line);
    ASSERT_TRUE(folded.endsWith("\r\n"));
    QByteArray unfolded;
    for (const QByteArray& part : folded.left(folded.size() - 2).split('\n')) {
        const QByteArray piece = part.endsWith('\r') ? part.left(part.size() - 1) : part;
        EXPECT_LE(piece.size(), 75);
        EXPECT_FALSE(QString::fromUtf8(piece).contains(QChar::ReplacementCharacter));
        unfolded += piece.startsWith(' ') ? piece.mid(1) : piece;
    }
    EXPECT_EQ(unfolded, line);
    EXPECT_EQ(ical::foldLine(QByteArray(75, 'a')), QByteArray(75, 'a') + "\r\n");
    EXPECT_EQ(ical::foldLine(QByteArray(76, 'a')), QByteArray(75, 'a') + "\r\n a\r\n");
}

TEST(CalendarText, EscapesTextValues)
{
    EXPECT_EQ(ical::escapeText(QStringLiteral("a,b;c\\d\r\ne\nf\x01")), QStringLiteral("a\\,b\\;c\\\\d\\ne\\nf"));
}

// ---- personal meeting ID ----

TEST_F(Dialogs, PmiFieldRegroupsAndClearsForeignText)
{
    m_context.pmi = 1234567890;
    EditMyPMI dlg(nullptr, &m_context);
    auto* pmi = child<QLineEdit>(&dlg, "myPMI");
    EXPECT_EQ(pmi->text(), "123-456-7890");
    pmi->setText(QStringLiteral("12345678901"));
    EXPECT_EQ(pmi->text(), "123-4567-8901");
    // Thirteen characters, eleven digits and two dashes, is the longest text.
    pmi->setText(QStringLiteral("1234567890123"));
    EXPECT_EQ(pmi->text(), "123-4567-8901");
    pmi->setText(QStringLiteral("12a4567890"));
    EXPECT_TRUE(pmi->text().isEmpty());
    QTest::keyClicks(pmi, QStringLiteral("98x76543210"));
    EXPECT_EQ(pmi->text(), "987-654-3210");
}

TEST_F(Dialogs, EnterInAFieldPressesTheDialogsOkButton)
{
    auto dlg = newDialog();
    dlg->show(); // a dialog presses only a visible default button
    auto* topic = child<QLineEdit>(dlg.get(), "lineEdit_topic");
    topic->clear();
    QTest::keyClick(topic, Qt::Key_Return);
    EXPECT_EQ(error(dlg.get()), LangText("ui.plan.topic_empty"));

    m_context.pmi = 1234567890;
    EditMyPMI pmiDialog(nullptr, &m_context);
    pmiDialog.show();
    auto* pmi = child<QLineEdit>(&pmiDialog, "myPMI");
    pmi->setText(QStringLiteral("123456789"));
    QTest::keyClick(pmi, Qt::Key_Enter);
    EXPECT_EQ(error(&pmiDialog), LangText("msg.input_pmi_err"));
}

TEST_F(Dialogs, PmiRulesBeforeAnyRequest)
{
    m_context.pmi = 1234567890;
    EditMyPMI dlg(nullptr, &m_context);
    auto* pmi = child<QLineEdit>(&dlg, "myPMI");
    pmi->setText(QStringLiteral("123456789"));
    ok(&dlg);
    EXPECT_EQ(error(&dlg), LangText("msg.input_pmi_err"));
    pmi->setText(QStringLiteral("0000000000"));
    ok(&dlg);
    EXPECT_EQ(error(&dlg), LangText("msg.input_pmi_err"));
    // The same number skips the service (no service runs here, which would fail it) and goes to the SDK.
    pmi->setText(QStringLiteral("1234567890"));
    ok(&dlg);
    EXPECT_EQ(error(&dlg), LangText("msg.edit_pmi_error"));
    EXPECT_EQ(m_context.pendingPmi, 0u);
    child<QCheckBox>(&dlg, "checkBox_set_pwd")->click();
    ok(&dlg);
    EXPECT_EQ(error(&dlg), LangText("ui.plan.pwd_empty"));
}

TEST_F(Dialogs, UnknownPersonalMeetingIdIsSaidNotReplaced)
{
    QListWidget list;
    QLabel pmiLabel;
    int starts = 0;
    PlanList plan(&list, &pmiLabel, {nullptr, nullptr, nullptr, [&starts](quint64) { return ++starts, 0; }});
    EXPECT_EQ(plan.instantMeetingNumber(false), 0);
    EXPECT_EQ(plan.instantMeetingNumber(true), -1);
    EXPECT_EQ(plan.startPersonalMeeting(), -1);
    EXPECT_EQ(starts, 0);
    bool told = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* tip = qobject_cast<TipsDlg*>(w); tip && tip->isVisible())
            told = told || tip->text() == LangText("msg.pmi_unknown");
    EXPECT_TRUE(told);
    // Without a sign-in the scheduling buttons do nothing.
    plan.scheduleMeeting();
    plan.editPersonalMeeting();
    plan.onScheduleOrEditMeeting(0, 0);
    EXPECT_EQ(plan.rowCount(), 0);
}
