// libsdk on its own: refused calls, and a meeting cloud that never answers.
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

#include "CloudTestSupport.h"
#include "orvosdk/orvo_sdk.h"

using namespace ORVOSDK;
using sdktest::WaitFor;

namespace {

struct AuthSink : IAuthServiceEvent
{
    std::vector<AuthResult> results;
    void onAuthenticationReturn(AuthResult ret) override { results.push_back(ret); }
    void onLoginRet(LOGINSTATUS, IAccountInfo*) override {}
    void onLogout() override {}
    void onIdentityExpired() override {}
};

struct Handler : INetworkConnectionHandler
{
    int ready = 0;
    void onNetworkConnectionReady() override { ++ready; }
    void onProxyAuthenticationRequired(const wchar_t*, unsigned int) override {}
    void onCertificateVerificationFailed(const wchar_t*) override {}
};

// Start-up cost: the TLS library is loaded by the worker at the first request, not by InitSDK.
bool TlsLibraryMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/libssl.so");
}

} // namespace

// One SDK per process, so a whole life and the next one make one case.
TEST(OrvoSdkLibrary, RefusesMisuseAndReportsASilentCloudWithoutBlocking)
{
    IMeetingService* meeting = nullptr;
    EXPECT_EQ(CreateMeetingService(&meeting), SDKERR_UNINITIALIZE);
    EXPECT_EQ(meeting, nullptr);
    EXPECT_EQ(CreateAuthService(nullptr), SDKERR_INVALID_PARAMETER);
    ICustomizedResourceHelper* res = nullptr;
    EXPECT_EQ(RetrieveCustomizedResourceHelper(&res), SDKERR_UNINITIALIZE);
    EXPECT_EQ(CleanUPSDK(), SDKERR_UNINITIALIZE);

    InitParam bad{};
    EXPECT_EQ(InitSDK(bad), SDKERR_INVALID_PARAMETER);
    bad.strWebDomain = L"http://127.0.0.1:1";
    EXPECT_EQ(InitSDK(bad), SDKERR_INVALID_PARAMETER); // the cloud is only spoken to over TLS

    // A cloud that accepts connections and never answers.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    std::vector<QTcpSocket*> held;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] { held.push_back(silent.nextPendingConnection()); });
    qputenv("VTX_SDK_TIMEOUT_MS", "1000");
    qputenv("VTX_SDK_POLL_MS", "20");
    const std::wstring domain = L"https://127.0.0.1:" + std::to_wstring(silent.serverPort());
    InitParam param{};
    param.strWebDomain = domain.c_str();
    param.emLanguageID = LANGUAGE_English;
    ASSERT_FALSE(TlsLibraryMapped());
    ASSERT_EQ(InitSDK(param), SDKERR_SUCCESS);
    EXPECT_EQ(InitSDK(param), SDKERR_WRONG_USAGE);
    EXPECT_FALSE(TlsLibraryMapped());

    INetworkConnectionHelper* helper = nullptr;
    ASSERT_EQ(CreateNetworkConnectionHelper(&helper), SDKERR_SUCCESS);
    IAuthService* auth = nullptr;
    ASSERT_EQ(CreateAuthService(&auth), SDKERR_SUCCESS);
    ASSERT_EQ(CreateMeetingService(&meeting), SDKERR_SUCCESS);
    AuthSink sink;
    auth->SetEvent(&sink);

    // Nothing is sent without an authenticated application.
    JoinParam join{};
    join.userType = SDK_UT_WITHOUT_LOGIN;
    join.meetingNumber = 12345678901ull;
    join.userName = L"Guest";
    EXPECT_EQ(meeting->Join(join), SDKERR_UNAUTHENTICATION);
    join.meetingNumber = 0;
    EXPECT_EQ(meeting->Join(join), SDKERR_INVALID_PARAMETER);
    StartParam start{};
    start.userType = SDK_UT_NORMALUSER;
    EXPECT_EQ(meeting->Start(start), SDKERR_UNAUTHENTICATION);
    EXPECT_EQ(meeting->Leave(LEAVE_MEETING), SDKERR_WRONG_USAGE);
    EXPECT_EQ(meeting->GetMeetingStatus(), MEETING_STATUS_IDLE);
    LoginParam login{LoginType_Email, L"a@b", L"pw", false};
    EXPECT_EQ(auth->Login(login), SDKERR_UNAUTHENTICATION);
    AuthParam empty{nullptr, L"x"};
    EXPECT_EQ(auth->SDKAuth(empty), SDKERR_INVALID_PARAMETER);

    // The event loop keeps turning while the requests wait for the silent cloud.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    Handler handler;
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(helper->RegisterNetworkConnectionHandler(&handler), SDKERR_SUCCESS);
    // A call that waited for the silent cloud would take its whole time-out (1 s).
    EXPECT_LT(clock.elapsed(), 800);
    EXPECT_EQ(handler.ready, 0); // never synchronously
    // Unreachable after its tries, the helper still lets authentication run and fail.
    ASSERT_TRUE(WaitFor([&] { return handler.ready == 1; }, 10000));
    AuthParam app{L"key", L"secret"};
    clock.restart();
    ASSERT_EQ(auth->SDKAuth(app), SDKERR_SUCCESS);
    EXPECT_LT(clock.elapsed(), 800);
    ASSERT_TRUE(WaitFor([&] { return !sink.results.empty(); }, 10000));
    EXPECT_EQ(sink.results, std::vector<AuthResult>{AUTHRET_NETWORKISSUE});
    EXPECT_GT(ticks, 20);

    EXPECT_EQ(DestroyMeetingService(meeting), SDKERR_SUCCESS);
    EXPECT_EQ(DestroyMeetingService(meeting), SDKERR_INVALID_PARAMETER);
    EXPECT_EQ(CleanUPSDK(), SDKERR_SUCCESS);
    EXPECT_EQ(CleanUPSDK(), SDKERR_UNINITIALIZE);
    // Services left over were destroyed by the clean-up.
    EXPECT_EQ(CreateAuthService(&auth), SDKERR_UNINITIALIZE);

    // The SDK starts again in the same process, as for a new client in a test program, and its
    // worker comes back with it.
    const size_t before = held.size();
    // A long time-out now, so that the clean-up below shows it does not wait for one.
    qputenv("VTX_SDK_TIMEOUT_MS", "20000");
    ASSERT_EQ(InitSDK(param), SDKERR_SUCCESS);
    ASSERT_EQ(CreateNetworkConnectionHelper(&helper), SDKERR_SUCCESS);
    ASSERT_EQ(CreateAuthService(&auth), SDKERR_SUCCESS);
    Handler again;
    ASSERT_EQ(helper->RegisterNetworkConnectionHandler(&again), SDKERR_SUCCESS);
    EXPECT_TRUE(WaitFor([&] { return held.size() > before; }, 10000));
    EXPECT_EQ(auth->Login(login), SDKERR_UNAUTHENTICATION); // the old application token is gone
    clock.restart();
    EXPECT_EQ(CleanUPSDK(), SDKERR_SUCCESS);
    // A request in flight is abandoned, not waited for until its time-out.
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(again.ready, 0);
    qunsetenv("VTX_SDK_TIMEOUT_MS");
    qunsetenv("VTX_SDK_POLL_MS");
}

// The process ends while a request is in flight: in the TLS handshake with a cloud that never
// answers, or still loading the CA file. The worker must be joined before OpenSSL's exit handler
// frees what it uses; a sanitizer build reports any use after that as an error exit.
TEST(OrvoSdkLibraryExit, EndsCleanlyWhileTheFirstRequestIsInFlight)
{
    const QString self = QCoreApplication::applicationFilePath();
    int runs = 0;
    // Returning from main() lets queued requests drain for a while first; exit() does not.
    const std::vector<std::pair<const char*, std::vector<int>>> plans = {{"return", {0, 3, 20}},
                                                                         {"exit", {0, 1, 3, 8, 20, 60}}};
    for (const auto& plan : plans)
        for (int delayMs : plan.second) {
            const char* mode = plan.first;
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("VTX_SDK_EXIT_CHILD", QStringLiteral("%1,%2").arg(QLatin1String(mode)).arg(delayMs));
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(self, {"--gtest_filter=OrvoSdkExitChild.*"});
            ASSERT_TRUE(child.waitForStarted(10000));
            const bool finished = child.waitForFinished(60000);
            const QByteArray output = child.readAll();
            EXPECT_TRUE(finished) << mode << " " << delayMs;
            EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << mode << " " << delayMs << output.constData();
            EXPECT_EQ(child.exitCode(), 0) << mode << " " << delayMs << output.constData();
            EXPECT_TRUE(output.contains("child: in flight")) << output.constData();
            if (!finished)
                child.kill();
            ++runs;
        }
    EXPECT_EQ(runs, 9);
}

// Run only as the child of the case above.
TEST(OrvoSdkExitChild, StartsARequestAndLeaves)
{
    const QByteArray how = qgetenv("VTX_SDK_EXIT_CHILD");
    if (how.isEmpty())
        GTEST_SKIP() << "runs as a child process only";
    const QList<QByteArray> parts = how.split(',');
    const bool viaExit = parts.value(0) == "exit";
    const int delayMs = parts.value(1).toInt();
    // Accepts connections (the kernel does) and never answers the TLS hello.
    static QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const std::wstring domain = L"https://127.0.0.1:" + std::to_wstring(silent.serverPort());
    InitParam param{};
    param.strWebDomain = domain.c_str();
    ASSERT_EQ(InitSDK(param), SDKERR_SUCCESS);
    INetworkConnectionHelper* helper = nullptr;
    ASSERT_EQ(CreateNetworkConnectionHelper(&helper), SDKERR_SUCCESS);
    static Handler handler;
    ASSERT_EQ(helper->RegisterNetworkConnectionHandler(&handler), SDKERR_SUCCESS);
    QThread::msleep(static_cast<unsigned long>(delayMs));
    fprintf(stderr, "child: in flight\n");
    fflush(stderr);
    // Left as a client that never cleans up would leave it: to the application's end or exit().
    if (viaExit)
        std::exit(0);
}
