// The main window against a real vtx-service and the meeting SDK: signing in, phone verification,
// joining and starting meetings, driven through the widgets by their object names.

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTcpServer>
#include <QTcpSocket>

#include "ClientFixture.h"
#include "CloudPeer.h"
#include "base/MeetingNumber.h"
#include "platform/NamedMutex.h"
#include "platform/Profile.h"
#include "sdk/MeetingEvent.h"
#include "sdk/MeetingExit.h"
#include "sdk/OrvoAuth.h"
#include "sdk/SDKInterfaceWrap.h"
#include "ui/HistoryMeetings.h"
#include "ui/JoinPage.h"

namespace {

const char kPhone[] = "13800138000";

class SignInJoinTest : public ClientFixture
{
protected:
    void press(const char* name) { QTest::mousePress(child<QWidget>(name), Qt::LeftButton); }
    void click(const char* name) { child<QPushButton>(name)->click(); }
    void type(const char* name, const QString& text)
    {
        child<QLineEdit>(name)->clear();
        QTest::keyClicks(child<QLineEdit>(name), text);
    }
    QString text(const char* name) { return child<QLabel>(name)->text(); }
    bool waitFor(const std::function<bool()>& condition, int ms = 20000) { return QTest::qWaitFor(condition, ms); }

    // Types the phone, asks for a code and enters the one the service sent.
    void passVerification()
    {
        type("phoneNumber", kPhone);
        press("getVCode");
        const std::string code = m_service->LatestSmsCode(kPhone);
        ASSERT_FALSE(code.empty());
        type("VCode", QString::fromStdString(code));
        click("verification");
    }

    void signInDemo()
    {
        ASSERT_TRUE(waitForAuthentication());
        click("loginButton");
        type("userAccount", vtxtest::VtxService::DemoAccount());
        type("userPassword", vtxtest::VtxService::DemoPassword());
        click("loginMeeting");
    }

    // A signed-in demo user whose phone was verified before, on the main page.
    void reachMainPage()
    {
        settings::writeVerification(vtxtest::VtxService::DemoAccount());
        signInDemo();
        ASSERT_TRUE(waitFor([&] { return page("mainWidget")->isVisible(); }));
    }

    // The general verification record and a temporary account, as after an earlier anonymous join.
    void rememberAnonymousVerification(const QString& nickname = "Returning Guest")
    {
        CloudPeer phone(*m_service);
        std::string account, password;
        ASSERT_TRUE(phone.verifyPhone(kPhone, account, password));
        settings::writeVerification(QString());
        settings::writeTemporaryAccount(QString::fromStdString(account), QString::fromStdString(password));
        if (!nickname.isEmpty())
            settings::writeNickname(QString(), false, nickname);
    }

    bool inMeeting() { return MeetingEvent::Instance()->IsInMeeting(); }
};

TEST_F(SignInJoinTest, AnonymousJoinVerifiesThePhoneAndHidesTheWindowDuringTheMeeting)
{
    CloudPeer host(*m_service);
    host.signInAsDemo();
    const quint64 number = host.startMeeting();
    ASSERT_NE(number, 0u);

    ASSERT_TRUE(waitForAuthentication());
    click("joinButton");
    EXPECT_EQ(visiblePages(), QStringList{"verificationWidget"});
    EXPECT_EQ(text("label_verification_tips"), LangText("ui.label_tips"));
    passVerification();
    EXPECT_EQ(visiblePages(), QStringList{"joinWidget"});
    ASSERT_TRUE(waitFor([] { return OrvoAuth::Instance()->IsSignedIn(); }));
    EXPECT_TRUE(settings::isVerificationValid(QString()));
    EXPECT_FALSE(settings::readTemporaryAccount().user.isEmpty());

    type("meetingID", QString::number(number));
    type("userName", "Guest Tester");
    click("joinMeeting");
    ASSERT_TRUE(waitFor([&] { return inMeeting(); }));
    EXPECT_TRUE(waitFor([&] { return !window().isVisible(); }));
    EXPECT_EQ(settings::readNickname(QString(), false), "Guest Tester");
    ASSERT_EQ(window().joinHistory().size(), 1u);
    EXPECT_EQ(window().joinHistory().begin()->second.id, std::to_string(number));

    ASSERT_TRUE(host.endMeeting());
    ASSERT_TRUE(waitFor([&] { return window().isVisible() && !inMeeting(); }));
    EXPECT_EQ(visiblePages(), QStringList{"homeWidget"});
    EXPECT_FALSE(window().anonymousJoinMode());
    EXPECT_EQ(settings::loadHistory(QString(), false).size(), 1u);
}

TEST_F(SignInJoinTest, AccountSignInVerifiesOncePerVersionThenShowsTheMainPage)
{
    signInDemo();
    ASSERT_TRUE(waitFor([&] { return page("verificationWidget")->isVisible(); }));
    EXPECT_EQ(text("label_verification_tips"), LangText("ui.label_tips2"));
    passVerification();
    ASSERT_TRUE(waitFor([&] { return page("mainWidget")->isVisible(); }));
    EXPECT_EQ(visiblePages(), QStringList{"mainWidget"});
    EXPECT_EQ(window().width(), 360);
    EXPECT_EQ(window().height(), 667);
    EXPECT_TRUE(settings::isVerificationValid(vtxtest::VtxService::DemoAccount()));
    EXPECT_EQ(settings::readLogin().account, vtxtest::VtxService::DemoAccount());

    // The profile names the user "王" + "小明"; the avatar arrives through the download component.
    EXPECT_TRUE(waitFor([&] { return text("myDisplayName") == QString::fromUtf8("王小明"); }));
    EXPECT_TRUE(waitFor([&] { return !child<QLabel>("accountIcon")->pixmap(Qt::ReturnByValue).isNull(); }));
    EXPECT_EQ(child<QLabel>("accountIcon")->pixmap(Qt::ReturnByValue).size(), QSize(42, 42));
}

TEST_F(SignInJoinTest, RecordOfAnOlderVersionAsksForVerificationAgain)
{
    const QString file = settings::accountFile(vtxtest::VtxService::DemoAccount());
    settings::writeVerification(vtxtest::VtxService::DemoAccount());
    platform::writeProfileString("Verification", "versison", "1.4.0.0", file);
    signInDemo();
    ASSERT_TRUE(waitFor([&] { return page("verificationWidget")->isVisible(); }));
}

TEST_F(SignInJoinTest, WrongPasswordShowsTheSignInError)
{
    ASSERT_TRUE(waitForAuthentication());
    click("loginButton");
    type("userAccount", vtxtest::VtxService::DemoAccount());
    type("userPassword", "not the password");
    click("loginMeeting");
    ASSERT_TRUE(waitFor([&] { return child<QLabel>("loginError")->isVisible(); }));
    EXPECT_EQ(text("loginError"), LangText("msg.login_error"));
    EXPECT_TRUE(child<QPushButton>("loginMeeting")->isEnabled());
    EXPECT_EQ(visiblePages(), QStringList{"loginWidget"});
}

TEST_F(SignInJoinTest, EmptyFieldsAreMarked)
{
    ASSERT_TRUE(waitForAuthentication());
    click("loginButton");
    type("userAccount", "");
    type("userPassword", "");
    click("loginMeeting");
    EXPECT_EQ(text("loginError"), LangText("msg.input_account"));
    EXPECT_TRUE(child<QLabel>("label_editline_1")->isVisible());
    EXPECT_TRUE(child<QLabel>("label_editline_2")->isVisible());
}

TEST_F(SignInJoinTest, JoinFromTheMainPageAndShareJoinMode)
{
    reachMainPage();
    CloudPeer host(*m_service);
    ASSERT_TRUE(host.signInAsGuest("13900139000"));
    const quint64 number = host.startMeeting();
    ASSERT_NE(number, 0u);

    click("shareScreen");
    EXPECT_EQ(visiblePages(), QStringList{"joinWidget"});
    EXPECT_EQ(text("label_join"), LangText("ui.label_join_share"));
    EXPECT_TRUE(child<QLabel>("label_share_tips")->isVisible());
    press("backHomeJ");
    EXPECT_EQ(visiblePages(), QStringList{"mainWidget"});

    click("joinTheMeeting");
    EXPECT_EQ(text("label_join"), LangText("ui.label_join"));
    EXPECT_FALSE(child<QLabel>("label_share_tips")->isVisible());
    EXPECT_EQ(child<QLineEdit>("userName")->text(), QString::fromUtf8("王小明"));
    type("meetingID", QString::number(number));
    click("joinMeeting");
    ASSERT_TRUE(waitFor([&] { return inMeeting(); }));
    EXPECT_TRUE(waitFor([&] { return page("mainWidget")->isVisible(); }));
    EXPECT_TRUE(window().isVisible());
    const settings::History history = settings::loadHistory(vtxtest::VtxService::DemoAccount(), false);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history.begin()->second.id, std::to_string(number));
    EXPECT_FALSE(child<QPushButton>("videoMeeting")->isEnabled());

    ASSERT_TRUE(host.endMeeting());
    EXPECT_TRUE(waitFor([&] { return child<QPushButton>("videoMeeting")->isEnabled(); }));
}

TEST_F(SignInJoinTest, InstantMeetingDisablesTheStartButtonsUntilItEnds)
{
    reachMainPage();
    click("videoMeeting");
    ASSERT_TRUE(waitFor([&] { return inMeeting(); }));
    EXPECT_FALSE(child<QPushButton>("videoMeeting")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("joinTheMeeting")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("shareScreen")->isEnabled());

    ASSERT_EQ(SDKInterfaceWrap::Instance().MeetingService()->Leave(ORVOSDK::END_MEETING), ORVOSDK::SDKERR_SUCCESS);
    ASSERT_TRUE(waitFor([&] { return child<QPushButton>("videoMeeting")->isEnabled(); }));
    EXPECT_TRUE(child<QPushButton>("joinTheMeeting")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("shareScreen")->isEnabled());
    EXPECT_FALSE(inMeeting());
}

TEST_F(SignInJoinTest, FailureReasonsAppearOnTheJoinPage)
{
    reachMainPage();
    CloudPeer other(*m_service);
    ASSERT_TRUE(other.signInAsGuest("13900139001"));
    const quint64 waiting = other.scheduleWaitingMeeting();
    ASSERT_NE(waiting, 0u);

    click("joinTheMeeting");
    type("meetingID", "99999999999");
    click("joinMeeting");
    ASSERT_TRUE(waitFor([&] { return child<QLabel>("joinError")->isVisible(); }));
    EXPECT_EQ(text("joinError"), LangText("msg.fail_reason_meeting_notexist"));
    EXPECT_TRUE(child<QPushButton>("joinMeeting")->isEnabled());

    type("meetingID", QString::number(waiting));
    click("joinMeeting");
    ASSERT_TRUE(waitFor([&] { return text("joinError") == LangText("msg.fail_reason_meeting_notstart"); }));
    EXPECT_EQ(visiblePages(), QStringList{"joinWidget"});
}

TEST_F(SignInJoinTest, JoinPageChecksItsFields)
{
    reachMainPage();
    click("joinTheMeeting");
    type("meetingID", "");
    click("joinMeeting");
    EXPECT_EQ(text("joinError"), LangText("msg.input_meeting_id"));
    EXPECT_TRUE(child<QLabel>("label_editline_3")->isVisible());
    type("meetingID", "0000");
    click("joinMeeting");
    EXPECT_EQ(text("joinError"), LangText("msg.fail_reason_meeting_notexist"));
}

TEST_F(SignInJoinTest, ClosingTheJoinPageOfASignedInUserReturnsToTheMainPage)
{
    reachMainPage();
    click("joinTheMeeting");
    EXPECT_FALSE(window().close());
    EXPECT_EQ(visiblePages(), QStringList{"mainWidget"});
    EXPECT_TRUE(MessageBox::answeredTexts().isEmpty());
}

TEST_F(SignInJoinTest, PendingNumberFromASecondCopyIsJoinedOnceAuthenticated)
{
    rememberAnonymousVerification();
    CloudPeer host(*m_service);
    host.signInAsDemo();
    const quint64 number = host.startMeeting();
    ASSERT_NE(number, 0u);

    // The running copy holds the lock; the second copy finds its window through config.ini.
    platform::NamedMutex lock("Veltrex_Cloud_Meeting");
    window();
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(env);
    second.start(VTX_BINARY, {QString("vtxlaunch://roomID:%1/").arg(number)});
    ASSERT_TRUE(waitFor([&] { return second.state() == QProcess::NotRunning; }));
    EXPECT_EQ(second.exitCode(), 0);

    ASSERT_TRUE(waitFor([&] { return inMeeting(); }, 30000));
    EXPECT_TRUE(window().pendingMeetingId().isEmpty());
    EXPECT_EQ(settings::readJoinId(), 0);
}

TEST_F(SignInJoinTest, GoingBackStopsTheCountdown)
{
    ASSERT_TRUE(waitForAuthentication());
    click("joinButton");
    type("phoneNumber", kPhone);
    press("getVCode");
    ASSERT_TRUE(waitFor([&] { return text("getVCode").contains("60") || text("getVCode").contains("59"); }))
        << text("getVCode").toStdString() << " / " << text("verificationError").toStdString();
    EXPECT_FALSE(child<QLabel>("getVCode")->isEnabled());
    press("backHomeV");
    EXPECT_EQ(visiblePages(), QStringList{"homeWidget"});
    EXPECT_EQ(text("getVCode"), LangText("ui.btn_getCode"));
    EXPECT_TRUE(child<QLabel>("getVCode")->isEnabled());
    QTest::qWait(1500);
    EXPECT_EQ(text("getVCode"), LangText("ui.btn_getCode"));
}

TEST_F(SignInJoinTest, PhoneNumbersMustStartWithOne)
{
    ASSERT_TRUE(waitForAuthentication());
    click("joinButton");
    type("phoneNumber", "23800138000");
    press("getVCode");
    EXPECT_EQ(text("verificationError"), LangText("msg.input_phone"));
    type("phoneNumber", "1380013800");
    press("getVCode");
    EXPECT_EQ(text("verificationError"), LangText("msg.input_phone"));
    EXPECT_TRUE(m_service->LatestSmsCode("23800138000").empty());
}

TEST_F(SignInJoinTest, ServiceDownGivesClearErrorsAndReenablesThePage)
{
    ASSERT_TRUE(waitForAuthentication());
    click("joinButton");
    ASSERT_TRUE(m_service->Stop());
    type("phoneNumber", kPhone);
    press("getVCode");
    EXPECT_EQ(text("verificationError"), LangText("msg.getVCode_failed"));
    EXPECT_TRUE(child<QLabel>("getVCode")->isEnabled());
    EXPECT_TRUE(child<QLineEdit>("phoneNumber")->isEnabled());

    type("VCode", "123456");
    click("verification");
    EXPECT_EQ(text("verificationError"), LangText("msg.verification_error"));
    EXPECT_TRUE(child<QPushButton>("verification")->isEnabled());
}

TEST_F(SignInJoinTest, FailedJoinGivesTheStartButtonsBack)
{
    reachMainPage();
    click("joinTheMeeting");
    type("meetingID", "99999999999");
    click("joinMeeting");
    ASSERT_TRUE(waitFor([&] { return child<QLabel>("joinError")->isVisible(); }));
    press("backHomeJ");
    ASSERT_EQ(visiblePages(), QStringList{"mainWidget"});
    for (const char* name : {"videoMeeting", "joinTheMeeting", "shareScreen"})
        EXPECT_TRUE(child<QPushButton>(name)->isEnabled()) << name;

    // And they work: an instant meeting starts.
    click("videoMeeting");
    EXPECT_TRUE(waitFor([&] { return inMeeting(); }));
}

TEST_F(SignInJoinTest, ExitDuringAMeetingEndsItAndClosesEveryWindow)
{
    reachMainPage();
    click("videoMeeting");
    ASSERT_TRUE(waitFor([&] { return inMeeting(); }));
    const quint64 number = SDKInterfaceWrap::Instance().MeetingService()->GetMeetingInfo()->GetMeetingNumber();
    CloudPeer guest(*m_service);
    ASSERT_TRUE(guest.signInAsGuest("13900139002"));
    ASSERT_EQ(guest.joinCode(number), "200") << "the meeting runs on the cloud";

    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    EXPECT_TRUE(window().close());
    EXPECT_EQ(MessageBox::answeredTexts(), QStringList{LangText("msg.exit_request_meeting")});
    EXPECT_EQ(m_relaunches, QStringList{QStringLiteral("cleanup %1").arg(QCoreApplication::applicationPid())});

    // The host ended it for everyone, well within the watchdog's 30 s (a few seconds on an idle
    // machine; the deadlines leave room for a loaded one) ...
    EXPECT_TRUE(waitFor(
        [&] {
            const std::string code = guest.joinCode(number);
            return !code.empty() && code != "200";
        },
        15000));
    EXPECT_TRUE(waitFor([] { return !MeetingExit::MeetingRunning(); }, 15000));
    // ... and no window is left to keep the program running.
    EXPECT_TRUE(waitFor(
        [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible())
                    return false;
            return true;
        },
        15000));
}

// Stands between the SDK and the cloud: while down it drops every connection, as a network
// without the service would; once up it passes the bytes through.
class Link : public QObject
{
public:
    explicit Link(int servicePort)
        : m_servicePort(quint16(servicePort))
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, &Link::accept);
    }
    quint16 port() const { return m_server.serverPort(); }
    void setUp(bool up) { m_up = up; }
    int dropped() const { return m_dropped; }

private:
    void accept()
    {
        while (QTcpSocket* client = m_server.nextPendingConnection()) {
            if (!m_up) {
                ++m_dropped;
                client->abort();
                client->deleteLater();
                continue;
            }
            auto* service = new QTcpSocket(client);
            service->connectToHost(QHostAddress::LocalHost, m_servicePort);
            connect(client, &QTcpSocket::readyRead, service, [client, service] { service->write(client->readAll()); });
            connect(service, &QTcpSocket::connected, service, [client, service] { service->write(client->readAll()); });
            connect(service, &QTcpSocket::readyRead, client, [client, service] { client->write(service->readAll()); });
            connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
            connect(service, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        }
    }

    QTcpServer m_server;
    quint16 m_servicePort;
    bool m_up = false;
    int m_dropped = 0;
};

TEST_F(SignInJoinTest, OfflineStartKeepsTryingAndGoesOnWhenTheServiceAnswers)
{
    Link link(m_service->Port());
    ASSERT_NE(link.port(), 0);
    qputenv("VTX_SDK_DOMAIN", QStringLiteral("https://127.0.0.1:%1").arg(link.port()).toUtf8());
    MessageBox::setAutoAnswer(MessageBox::FirstButton); // a fatal box is recorded, not waited for

    window();
    QLabel* offline = child<QLabel>("label_offline");
    ASSERT_TRUE(waitFor([&] { return offline->isVisible(); }));
    EXPECT_EQ(offline->text(), LangText("msg.service_unreachable"));
    EXPECT_TRUE(child<QLabel>("loading")->isVisible());
    EXPECT_FALSE(child<QPushButton>("joinButton")->isVisible());
    // Still waiting a few seconds later, after more than one attempt, and nothing fatal was said.
    const int dropped = link.dropped();
    QTest::qWait(2500);
    EXPECT_GT(link.dropped(), dropped);
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(MessageBox::answeredTexts().isEmpty()) << MessageBox::answeredTexts().join('|').toStdString();

    link.setUp(true);
    ASSERT_TRUE(waitForAuthentication());
    EXPECT_FALSE(offline->isVisible());
    EXPECT_FALSE(child<QLabel>("loading")->isVisible());
}

TEST(Initials, FirstLettersOfTheFirstTwoWords)
{
    EXPECT_EQ(MainWindow::initialsOf("Ada Lovelace"), "AL");
    EXPECT_EQ(MainWindow::initialsOf("  Ada   Lovelace King"), "AL");
    EXPECT_EQ(MainWindow::initialsOf("Ada"), "A");
    EXPECT_EQ(MainWindow::initialsOf("Ada "), "A");
    EXPECT_EQ(MainWindow::initialsOf(QString::fromUtf8("王小明")), QString::fromUtf8("王"));
    EXPECT_EQ(MainWindow::initialsOf(""), "");
}

TEST(AvatarFileName, ExtensionOnlyFromTheLastSegment)
{
    EXPECT_EQ(MainWindow::avatarFileName("a@b.cn", "https://host/avatar/1.png"), "a@b.cn.png");
    EXPECT_EQ(MainWindow::avatarFileName("a@b.cn", "https://host/a.b/c"), "a@b.cn");
    EXPECT_EQ(MainWindow::avatarFileName("a@b.cn", "https://host/a/c"), "a@b.cn");
    EXPECT_EQ(MainWindow::avatarFileName("a@b.cn", "https://host/x.toolong"), "a@b.cn");
    EXPECT_EQ(MainWindow::avatarFileName("a@b.cn", "https://host/x.p/g"), "a@b.cn");
    EXPECT_EQ(MainWindow::avatarFileName("a@b.cn", "https://host/x.jpg?size=2"), "a@b.cn.jpg");
    EXPECT_EQ(MainWindow::avatarFileName("../x", "https://host/p.png"), settings::accountFileName("../x") + ".png");
}

} // namespace

namespace {

TEST_F(SignInJoinTest, SettingsButtonOpensTheSdkDialogOwnedByTheWindow)
{
    reachMainPage();
    ASSERT_TRUE(child<QPushButton>("settingsButton")->isVisible());
    click("settingsButton");
    auto* dialog = window().findChild<QDialog*>("OrvoSettingsDialog");
    ASSERT_NE(dialog, nullptr) << "the SDK refused the window as the dialog's owner";
    EXPECT_TRUE(dialog->isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(dialog->pos(), QPoint((screen.width() - dialog->width()) / 2, (screen.height() - dialog->height()) / 2));
    // The support links lead to the client's own service.
    auto* help = dialog->findChild<QLabel*>("link_support_0");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->text().contains(QString::fromStdString(m_service->BaseUrl()))) << help->text().toStdString();

    // A second press replaces the dialog instead of stacking another one.
    click("settingsButton");
    EXPECT_EQ(window().findChildren<QDialog*>("OrvoSettingsDialog").size(), 1);
}

TEST(Initials, KeepTheCaseTyped)
{
    EXPECT_EQ(MainWindow::initialsOf("ada lovelace"), "al");
    EXPECT_EQ(MainWindow::initialsOf("ada Lovelace"), "aL");
}

// ---- the keyboard alone ----

class KeyboardTest : public SignInJoinTest
{
protected:
    void SetUp() override
    {
        SignInJoinTest::SetUp();
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    }
    QWidget* focused() { return window().focusWidget(); }
    // Tabs forward until the named widget has the focus; false when a whole round never reaches it.
    bool tabTo(const char* name)
    {
        QWidget* target = child<QWidget>(name);
        for (int i = 0; i < 40 && focused() != target; ++i)
            QTest::keyClick(focused() ? focused() : &window(), Qt::Key_Tab);
        return focused() == target;
    }
    void key(Qt::Key k) { QTest::keyClick(focused() ? focused() : &window(), k); }
    static HistoryMeetings* historyPopup()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* popup = qobject_cast<HistoryMeetings*>(w); popup && popup->isVisible())
                return popup;
        return nullptr;
    }
};

TEST_F(KeyboardTest, SignInAndVerificationPagesAreLeftWithEscapeAndTheBackArrow)
{
    ASSERT_TRUE(waitForAuthentication());
    ASSERT_TRUE(tabTo("loginButton"));
    key(Qt::Key_Space);
    ASSERT_EQ(visiblePages(), QStringList{"loginWidget"});
    EXPECT_EQ(focused(), child<QWidget>("userAccount"));
    key(Qt::Key_Escape);
    EXPECT_EQ(visiblePages(), QStringList{"homeWidget"});

    // The back arrow is reached with Tab and pressed with Enter, which must not also sign in.
    ASSERT_TRUE(tabTo("loginButton"));
    key(Qt::Key_Space);
    ASSERT_TRUE(tabTo("backHomeL"));
    key(Qt::Key_Return);
    EXPECT_EQ(visiblePages(), QStringList{"homeWidget"});
    EXPECT_TRUE(child<QLabel>("loginError")->text().isEmpty());

    // An unverified account goes on to the verification page; Escape there returns to the sign-in page.
    ASSERT_TRUE(tabTo("loginButton"));
    key(Qt::Key_Space);
    QTest::keyClicks(focused(), vtxtest::VtxService::DemoAccount());
    ASSERT_TRUE(tabTo("userPassword"));
    QTest::keyClicks(focused(), vtxtest::VtxService::DemoPassword());
    key(Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return page("verificationWidget")->isVisible(); }));
    EXPECT_EQ(focused(), child<QWidget>("phoneNumber"));
    // The code link answers Space like a click: the service sends a code for the typed phone.
    QTest::keyClicks(focused(), kPhone);
    ASSERT_TRUE(tabTo("getVCode"));
    key(Qt::Key_Space);
    EXPECT_FALSE(m_service->LatestSmsCode(kPhone).empty());
    ASSERT_TRUE(tabTo("phoneNumber"));
    key(Qt::Key_Escape);
    EXPECT_EQ(visiblePages(), QStringList{"loginWidget"});
    EXPECT_TRUE(waitFor([] { return !OrvoAuth::Instance()->IsSignedIn(); }));
    key(Qt::Key_Escape);
    EXPECT_EQ(visiblePages(), QStringList{"homeWidget"});
}

TEST_F(KeyboardTest, HistoryPopupTakesTheKeyboardAndGivesItBack)
{
    rememberAnonymousVerification();
    settings::History history;
    history.emplace(1000, settings::HistoryEntry{"111222333", "Older"});
    history.emplace(2000, settings::HistoryEntry{"444555666", "Newer"});
    settings::saveHistory(QString(), false, history);

    ASSERT_TRUE(waitForAuthentication());
    ASSERT_TRUE(tabTo("joinButton"));
    key(Qt::Key_Space);
    ASSERT_TRUE(waitFor([&] { return page("joinWidget")->isVisible(); }));
    auto* meetingId = child<QLineEdit>("meetingID");
    EXPECT_EQ(focused(), meetingId);

    // Newest first: Down moves to the older row and Enter picks it.
    ASSERT_TRUE(tabTo("popupHistory"));
    key(Qt::Key_Space);
    HistoryMeetings* popup = historyPopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(popup));
    auto* list = popup->findChild<QListWidget*>("listWidget");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(popup->focusWidget(), list);
    EXPECT_EQ(list->currentRow(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(stripMeetingNumber(meetingId->text()), "111222333");
    ASSERT_TRUE(waitFor([&] { return !historyPopup() && child<QWidget>("popupHistory")->isEnabled(); }, 5000));
    EXPECT_TRUE(waitFor([&] { return focused() == meetingId; }, 5000));

    // Escape closes the popup without choosing, and only the popup: the page stays.
    ASSERT_TRUE(tabTo("popupHistory"));
    key(Qt::Key_Space);
    popup = historyPopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(popup));
    ASSERT_EQ(QApplication::focusWidget(), popup->findChild<QListWidget*>("listWidget"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(stripMeetingNumber(meetingId->text()), "111222333");
    ASSERT_TRUE(waitFor([&] { return !historyPopup() && focused() == meetingId; }, 5000));
    EXPECT_EQ(visiblePages(), QStringList{"joinWidget"});
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));

    // The page itself: Escape from a field goes home; Shift+Tab reaches the back arrow as well.
    key(Qt::Key_Escape);
    EXPECT_EQ(visiblePages(), QStringList{"homeWidget"});
    ASSERT_TRUE(tabTo("joinButton"));
    key(Qt::Key_Space);
    ASSERT_TRUE(waitFor([&] { return page("joinWidget")->isVisible(); }));
    QTest::keyClick(focused(), Qt::Key_Backtab);
    EXPECT_EQ(focused(), child<QWidget>("backHomeJ"));
    key(Qt::Key_Space);
    EXPECT_EQ(visiblePages(), QStringList{"homeWidget"});
}

// ---- a link for a first-time user ----

TEST_F(SignInJoinTest, FirstLinkJoinWithAnEmptyProfileUsesTheDesktopName)
{
    rememberAnonymousVerification(QString());
    ASSERT_TRUE(settings::readNickname(QString(), false).isEmpty());
    CloudPeer host(*m_service);
    host.signInAsDemo();
    const quint64 number = host.startMeeting();
    ASSERT_NE(number, 0u);

    const QString desktopName = JoinPage::desktopUserName();
    ASSERT_FALSE(desktopName.isEmpty());
    window().setPendingMeetingId(QString::number(number));
    ASSERT_TRUE(waitFor([&] { return inMeeting(); }, 30000)) << text("joinError").toStdString();
    EXPECT_EQ(child<QLineEdit>("userName")->text(), desktopName);
    EXPECT_EQ(settings::readNickname(QString(), false), desktopName);
    ASSERT_TRUE(host.endMeeting());
    ASSERT_TRUE(waitFor([&] { return !inMeeting(); }));
}

} // namespace
