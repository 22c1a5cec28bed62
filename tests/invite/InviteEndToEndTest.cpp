// The invite button of the SDK's meeting window, pressed by a host in a meeting started from VTX.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "ClientFixture.h"
#include "sdk/MeetingEvent.h"
#include "sdk/SDKInterfaceWrap.h"
#include "ui/invite/InviteDialog.h"
#include "ui/invite/InviteRequest.h"
#include "ui/schedule/ScheduleInfoDlg.h"
#include "ui/schedule/ScheduleItem.h"
#include "ui/schedule/ScheduleMeeting.h"

namespace {

class InviteEndToEnd : public ClientFixture
{
protected:
    bool waitFor(const std::function<bool()>& condition, int ms = 20000) { return QTest::qWaitFor(condition, ms); }
    void click(const char* name) { child<QPushButton>(name)->click(); }

    void reachMainPage()
    {
        settings::writeVerification(vtxtest::VtxService::DemoAccount());
        ASSERT_TRUE(waitForAuthentication());
        click("loginButton");
        QTest::keyClicks(child<QLineEdit>("userAccount"), vtxtest::VtxService::DemoAccount());
        QTest::keyClicks(child<QLineEdit>("userPassword"), vtxtest::VtxService::DemoPassword());
        click("loginMeeting");
        ASSERT_TRUE(waitFor([&] { return page("mainWidget")->isVisible(); }));
    }
    // The SDK's own meeting window.
    QPushButton* sdkInviteButton()
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* button = top->findChild<QPushButton*>(QStringLiteral("button_invite"));
                button && top->isVisible())
                return button;
        return nullptr;
    }
    InviteDialog* inviteDialog() { return window().findChild<InviteDialog*>(QStringLiteral("InviteDialog")); }
    void startMeeting()
    {
        click("videoMeeting");
        ASSERT_TRUE(waitFor([] { return MeetingEvent::Instance()->IsInMeeting(); }));
        ASSERT_TRUE(waitFor([&] { return sdkInviteButton() != nullptr; }));
    }
    void endMeeting()
    {
        ASSERT_TRUE(SDKInterfaceWrap::Instance().MeetingService());
        ASSERT_EQ(SDKInterfaceWrap::Instance().MeetingService()->Leave(ORVOSDK::END_MEETING), ORVOSDK::SDKERR_SUCCESS);
        ASSERT_TRUE(waitFor([&] { return child<QPushButton>("videoMeeting")->isEnabled(); }));
    }
};

TEST_F(InviteEndToEnd, HostsInviteShowsTheMeetingsLinkAndTheNextMeetingReusesTheDialog)
{
    reachMainPage();
    startMeeting();
    EXPECT_EQ(inviteDialog(), nullptr);
    sdkInviteButton()->click();
    InviteDialog* dlg = inviteDialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->isVisible());
    const QString link = dlg->findChild<QLineEdit*>(QStringLiteral("lineEdit_URL"))->text();
    EXPECT_TRUE(link.startsWith(QString::fromStdString(m_service->BaseUrl() + "/s/"))) << link.toStdString();
    const quint64 first = dlg->meetingNumber();
    EXPECT_NE(first, 0u);
    // The SDK's topic carries its maker's name; the dialog shows ours.
    EXPECT_FALSE(dlg->topic().contains(LangText("ui.orvo"))) << dlg->topic().toStdString();
    EXPECT_FALSE(dlg->topic().isEmpty());
    EXPECT_EQ(dlg->duration(), 60);

    // The meeting's end hides the dialog; the next meeting's invite shows it with the new values.
    endMeeting();
    EXPECT_FALSE(dlg->isVisible());
    startMeeting();
    sdkInviteButton()->click();
    EXPECT_EQ(inviteDialog(), dlg);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_NE(dlg->findChild<QLineEdit*>(QStringLiteral("lineEdit_URL"))->text(), link);
    endMeeting();
}

TEST_F(InviteEndToEnd, InviteForAScheduledMeetingCarriesItsStartAndDuration)
{
    reachMainPage();
    auto* plan = child<QListWidget>("listWidget_plan");
    // The personal meeting is listed at sign-in; nothing else yet.
    ASSERT_TRUE(waitFor([&] { return !child<QLabel>("myPMI")->text().isEmpty(); }));
    ASSERT_EQ(plan->count(), 0);

    // Tomorrow at 10:00 for 90 minutes, through the window's own schedule dialog.
    const QDateTime start(QDate::currentDate().addDays(1), QTime(10, 0), Qt::LocalTime);
    bool filled = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* dlg = qobject_cast<ScheduleMeeting*>(top); dlg && dlg->isVisible()) {
                dlg->findChild<QLineEdit*>("lineEdit_topic")->setText(QStringLiteral("Design review"));
                dlg->findChild<QDateTimeEdit*>("dateTimeEdit_date")->setDate(start.date());
                dlg->findChild<QDateTimeEdit*>("dateTimeEdit_time")->setTime(start.time());
                dlg->findChild<QComboBox*>("comboBox_min")->setCurrentIndex(2);
                dlg->findChild<QPushButton*>("pushButton_ok")->click();
                filled = true;
            }
    });
    click("scheduleMeeting");
    ASSERT_TRUE(filled);
    ASSERT_TRUE(waitFor([&] { return plan->count() == 1; }));
    for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<ScheduleInfoDlg*>(top))
            top->close();

    // Started from its row, the meeting's invite speaks of the scheduled time, not of now.
    auto* row = qobject_cast<ScheduleItem*>(plan->itemWidget(plan->item(0)));
    ASSERT_NE(row, nullptr);
    plan->setCurrentRow(0);
    row->findChild<QPushButton*>("start")->click();
    ASSERT_TRUE(waitFor([] { return MeetingEvent::Instance()->IsInMeeting(); }));
    ASSERT_TRUE(waitFor([&] { return sdkInviteButton() != nullptr; }));
    sdkInviteButton()->click();
    InviteDialog* dlg = inviteDialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->meetingNumber(), row->meetingJoinID());
    EXPECT_EQ(dlg->startTime(), utc8Text(start.toSecsSinceEpoch()));
    EXPECT_EQ(dlg->duration(), 90);

    const QDateTime beijing = start.toUTC().addSecs(8 * 3600);
    QApplication::clipboard()->clear();
    dlg->findChild<QPushButton*>("pushButton_copyInvitation")->click();
    const QString text = QApplication::clipboard()->text();
    EXPECT_TRUE(text.contains(LangFormat("msg.invite_datetime", beijing.date().year(), beijing.date().month(),
                                         beijing.date().day(), beijing.time().hour(), beijing.time().minute()) +
                              "\r\n" + LangFormat("msg.invite_duration", 90) + "\r\n\r\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Design review"))) << text.toStdString();
    endMeeting();
}

} // namespace
