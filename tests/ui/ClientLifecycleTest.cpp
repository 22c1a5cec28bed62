// The client's life around the meeting SDK: windows made and torn down while the SDK's first TLS
// request is still under way, and the whole sign-in and join taking the proxy the environment names.

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <optional>

#include "ClientFixture.h"
#include "CloudPeer.h"
#include "sdk/MeetingEvent.h"
#include "sdk/OrvoAuth.h"
#include "sdk/SDKInterfaceWrap.h"
#include "support/ConnectProxy.h"

namespace {

const char kPhone[] = "13800138000";

// Sets or clears an environment variable until the end of the test.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name)
        , m_old(qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name)) : std::nullopt)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_old)
            qputenv(m_name, *m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<QByteArray> m_old;
};

class ClientLifecycleTest : public ClientFixture
{
protected:
    void press(const char* name) { QTest::mousePress(child<QWidget>(name), Qt::LeftButton); }
    void click(const char* name) { child<QPushButton>(name)->click(); }
    void type(const char* name, const QString& text)
    {
        child<QLineEdit>(name)->clear();
        QTest::keyClicks(child<QLineEdit>(name), text);
    }
    bool waitFor(const std::function<bool()>& condition, int ms = 30000) { return QTest::qWaitFor(condition, ms); }
};

} // namespace

TEST_F(ClientLifecycleTest, WindowsComeAndGoWhileTheFirstTlsRequestIsInFlight)
{
    // Each window starts the SDK, whose worker loads OpenSSL and the CA file and opens the first
    // connection; the window goes at a different moment of that each round. A request left
    // behind must neither crash nor call into a window that is gone.
    for (int round = 0; round < 12; ++round) {
        window();
        QElapsedTimer clock;
        clock.start();
        const int lingerMs = (round * 7) % 40;
        while (clock.elapsed() < lingerMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        m_window.reset();
        // Every second round the SDK is shut down with the request still out, as a later window's
        // start-up then finds it; otherwise it stays up into the next window.
        if (round % 2 == 1) {
            OrvoAuth::Instance()->Shutdown();
            SDKInterfaceWrap::Instance().Shutdown();
        }
    }
    // The last window of the series still authenticates and signs in.
    ASSERT_TRUE(waitForAuthentication());
    child<QPushButton>("loginButton")->click();
    EXPECT_TRUE(page("loginWidget")->isVisible());
}

// Every request of VTX and its components (the web requests, the avatar download, the meeting
// SDK) must go through the proxy. The service is named by an address where a trap listens, and
// only the proxy knows the way from there to the service: a request that bypasses the proxy hits
// the trap and fails.
TEST_F(ClientLifecycleTest, SignInAndJoinGoThroughTheProxyTheEnvironmentNames)
{
    QTcpServer trap;
    ASSERT_TRUE(trap.listen(QHostAddress::LocalHost, 0));
    int direct = 0;
    QObject::connect(&trap, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* s = trap.nextPendingConnection()) {
            ++direct;
            s->abort();
            s->deleteLater();
        }
    });
    vtxtest::ConnectProxy proxy;
    ASSERT_TRUE(proxy.Listening());
    const QString cloud = QStringLiteral("localhost:%1").arg(trap.serverPort());
    proxy.Route(cloud, quint16(m_service->Port()));

    ScopedEnv service("VTX_SERVICE_HOST", cloud.toLatin1());
    ScopedEnv sdk("VTX_SDK_DOMAIN", "https://" + cloud.toLatin1());
    ScopedEnv https("https_proxy", proxy.Url().toLatin1());
    ScopedEnv httpsUpper("HTTPS_PROXY", QByteArray());
    ScopedEnv noProxy("no_proxy", QByteArray());
    ScopedEnv noProxyUpper("NO_PROXY", QByteArray());

    CloudPeer host(*m_service);
    ASSERT_TRUE(host.signInAsGuest("13900139000"));
    const quint64 number = host.startMeeting();
    ASSERT_NE(number, 0u);

    // Account sign-in with the phone check, the profile and its avatar.
    ASSERT_TRUE(waitForAuthentication());
    click("loginButton");
    type("userAccount", vtxtest::VtxService::DemoAccount());
    type("userPassword", vtxtest::VtxService::DemoPassword());
    click("loginMeeting");
    ASSERT_TRUE(waitFor([&] { return page("verificationWidget")->isVisible(); }));
    type("phoneNumber", kPhone);
    press("getVCode");
    ASSERT_TRUE(waitFor([&] { return !m_service->LatestSmsCode(kPhone).empty(); }));
    type("VCode", QString::fromStdString(m_service->LatestSmsCode(kPhone)));
    click("verification");
    ASSERT_TRUE(waitFor([&] { return page("mainWidget")->isVisible(); }));
    EXPECT_TRUE(waitFor([&] { return !child<QLabel>("accountIcon")->pixmap(Qt::ReturnByValue).isNull(); }));

    click("joinTheMeeting");
    type("meetingID", QString::number(number));
    click("joinMeeting");
    ASSERT_TRUE(waitFor([] { return MeetingEvent::Instance()->IsInMeeting(); }));
    ASSERT_TRUE(host.endMeeting());
    EXPECT_TRUE(waitFor([] { return !MeetingEvent::Instance()->IsInMeeting(); }));

    EXPECT_EQ(direct, 0);
    const QStringList targets = proxy.Targets();
    // The SDK keeps one warm tunnel; the web client and the downloader open their own.
    EXPECT_GE(targets.size(), 2);
    for (const QString& target : targets)
        EXPECT_EQ(target, cloud);
    EXPECT_EQ(proxy.Refused(), 0);
}
