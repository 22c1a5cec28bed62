// The invite button of the SDK's meeting window, pressed by a host in a meeting started from VTX.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include "ClientFixture.h"
#include "sdk/MeetingEvent.h"
#include "sdk/SDKInterfaceWrap.h"
#include "ui/invite/InviteDialog.h"

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

} // namespace
