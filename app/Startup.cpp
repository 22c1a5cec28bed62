#include "Startup.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <QTranslator>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>

#include "app/ProcessLookup.h"
#include "base/Lifecycle.h"
#include "base/Localization.h"
#include "base/MeetingNumber.h"
#include "base/Settings.h"
#include "platform/NamedMutex.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/Shell.h"
#include "platform/WindowMessage.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "ui/Styles.h"

namespace {

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

QString ownExecutableName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

// The old client is still shutting down after a sign-out: wait for its lock to go away.
// Returns false when this process handed over to a fresh copy and must exit.
bool waitForOldClient(qint64 previousPid)
{
    int counter = 0;
    bool cleanedUp = false;
    while (platform::NamedMutex::IsHeld(startup::kInstanceLockName)) {
        if (counter < 10) {
            sleepMs(500);
            ++counter;
        } else if (cleanedUp) {
            startup::relaunch({});
            return false;
        } else {
            cleanedUp = true;
            if (previousPid != 0)
                lookupProcess(ownExecutableName(), previousPid, kTerminateByName);
            --counter;
        }
    }
    return true;
}

// A second copy: bring the running one to the front and hand it the meeting number.
int handOverToRunningCopy(qint64 meetingId)
{
    const platform::WindowHandle window = settings::readWindowHandle();
    if (window != 0 && platform::isWindow(window)) {
        platform::restoreAndRaise(window);
        if (meetingId != 0) {
            platform::ensureFolder(settings::dataFolder());
            settings::writeJoinId(meetingId);
            platform::sendMessage(window, platform::kMsgJoinMeeting, 0, qint64(quint32(meetingId)));
        }
        return 0;
    }
    MessageBox::show(nullptr, MessageBox::Warning, LangText("ui.window"), LangText("msg.already_running"),
                     LangText("box.ok"));
    return 0;
}

} // namespace

bool waitForProcessEnd(qint64 pid, int rounds, bool terminateAtEnd)
{
    switch (platform::watchEarlierCopy(pid, rounds * 1000, terminateAtEnd)) {
    case platform::CopyWatch::NotACopy:
    case platform::CopyWatch::Ended:
        return true;
    case platform::CopyWatch::Terminated:
    case platform::CopyWatch::StillRunning:
        break;
    }
    return false;
}

int runVtx(int argc, char** argv)
{
    QApplication app(argc, argv);
    const CommandLine cl = parseCommandLine(app.arguments().mid(1));

    qint64 previousPid = 0;
    if (cl.role == CommandLine::Watchdog) {
        waitForProcessEnd(cl.pid, 30, true);
        return 0;
    }
    if (cl.role == CommandLine::SignIn) {
        if (cl.pid != 0)
            previousPid = waitForProcessEnd(cl.pid, 15, true) ? 0 : cl.pid;
        Localization::Instance()->setRelaunchedForSignIn(true);
    }

    const int languageId = settings::readLanguageId();
    const QString pack = platform::programFolder() + (languageId == 1 ? "en_US.ini" : "zh_CN.ini");
    if ((languageId != 0 && languageId != 1) || Localization::Instance()->Load(languageId, pack) != 0) {
        MessageBox::show(nullptr, MessageBox::Critical, QStringLiteral("VTX"),
                         QStringLiteral("Failed to load language pack."), QStringLiteral("OK"));
        return 0;
    }

    if (platform::NamedMutex::IsHeld(startup::kInstanceLockName)) {
        if (!Localization::Instance()->relaunchedForSignIn())
            return handOverToRunningCopy(cl.meetingId);
        if (!waitForOldClient(previousPid))
            return 0;
    }
    startup::takeInstanceLock();

    styles::applyApplicationLook(app);
    // Qt's own dialogs (the calendar file's save dialog) speak the chosen language, not always Chinese.
    QTranslator translator;
    if (Localization::Instance()->languageId() == 0 && translator.load(QStringLiteral(":/QSS/res/qt_zh_CN.qm")))
        app.installTranslator(&translator);

    auto* window = new MainWindow(); // made without a maximise button
    // A fatal SDK error in the constructor already said so and queued the exit.
    if (!window->fatalErrorShown())
        window->show();
    if (cl.meetingId != 0)
        window->setPendingMeetingId(QString::number(cl.meetingId));

    // Lets the start-up benchmark measure up to the shown window: the first turn of the event loop
    // prints the monotonic clock and ends the program.
    if (qEnvironmentVariableIsSet("VTX_QUIT_WHEN_SHOWN")) {
        QTimer::singleShot(0, &app, [] {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("shown %.3f\n", now.tv_sec * 1000.0 + now.tv_nsec / 1e6);
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }
    const int rc = app.exec();
    delete window;
    startup::releaseInstanceLock();
    return rc;
}
