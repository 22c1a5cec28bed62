// Click on "loginMeeting" until the main page is visible (verification already valid), against
// the SDK's own sign-in round trip, both against one vtx-service in one run.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/Startup.h"
#include "base/Localization.h"
#include "base/Settings.h"
#include "platform/Paths.h"
#include "sdk/AuthUIEvent.h"
#include "sdk/OrvoAuth.h"
#include "support/TestEnvironment.h"
#include "support/VtxService.h"
#include "ui/MainWindow.h"

namespace {

const int kRounds = 15;

// Listens instead of the main window, so the baseline is the SDK alone.
class LoginProbe : public AuthUIEvent
{
public:
    void OnAuthResult(int) override {}
    void OnLoginResult(int status, const QString&) override { done = status; }
    void OnMeetingStatus(int, int) override {}
    int done = 0;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    vtxtest::initEnvironment();
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(res);

    vtxtest::VtxService service;
    if (!service.Ok()) {
        std::fprintf(stderr, "vtx-service did not start: %s\n", service.Error().c_str());
        return 1;
    }
    qputenv("VTX_SERVICE_HOST", QByteArray::fromStdString(service.HostPort()));
    qputenv("VTX_SDK_DOMAIN", QByteArray::fromStdString(service.BaseUrl()));
    Localization::Instance()->Load(1, platform::programFolder() + "en_US.ini");
    startup::setRelaunchHandler([](const QStringList&) { return true; });
    settings::writeVerification(vtxtest::VtxService::DemoAccount());

    MainWindow window;
    window.show();
    auto* join = window.findChild<QPushButton*>("joinButton");
    if (!QTest::qWaitFor([&] { return join->isEnabled(); }, 20000)) {
        std::fprintf(stderr, "no authentication\n");
        return 1;
    }
    auto* login = window.findChild<QPushButton*>("loginMeeting");
    auto* main = window.findChild<QWidget*>("mainWidget");
    window.findChild<QLineEdit*>("userAccount")->setText(vtxtest::VtxService::DemoAccount());
    window.findChild<QLineEdit*>("userPassword")->setText(vtxtest::VtxService::DemoPassword());

    std::vector<double> clicks;
    for (int i = 0; i < kRounds; ++i) {
        QMetaObject::invokeMethod(&window, "on_loginButton_clicked"); // signs out, shows the sign-in page
        QTest::qWait(50);
        QElapsedTimer timer;
        timer.start();
        login->click();
        if (!QTest::qWaitFor([&] { return main->isVisible(); }, 20000))
            return 1;
        clicks.push_back(timer.nsecsElapsed() / 1e6);
    }

    LoginProbe probe;
    OrvoAuth::Instance()->SetUIEvent(&probe);
    std::vector<double> sdk;
    for (int i = 0; i < kRounds; ++i) {
        OrvoAuth::Instance()->Logout();
        QTest::qWait(50);
        probe.done = 0;
        QElapsedTimer timer;
        timer.start();
        OrvoAuth::Instance()->Login(vtxtest::VtxService::DemoAccount(), vtxtest::VtxService::DemoPassword());
        if (!QTest::qWaitFor([&] { return probe.done != 0; }, 20000))
            return 1;
        sdk.push_back(timer.nsecsElapsed() / 1e6);
    }
    OrvoAuth::Instance()->SetUIEvent(&window);

    const double measured = median(clicks), baseline = median(sdk);
    std::printf("signin_click_to_main_page %.2fx %.1fms %.1fms\n", measured / baseline, measured, baseline);
    return 0;
}
