#include "Startup.h"

#include <QApplication>
#include <QFile>
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

namespace {

const char kLaunchPrefix[] = "vtxlaunch://roomID:";

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

qint64 leadingPid(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const long value = std::strtol(bytes.constData(), nullptr, 10);
    return value > 0 && value <= 0x7FFFFFFF ? value : 0;
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

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine cl;
    if (arguments.size() == 1) {
        const QString& arg = arguments.first();
        if (arg.startsWith(QLatin1String(kLaunchPrefix), Qt::CaseSensitive)) {
            QString rest = arg.mid(int(sizeof(kLaunchPrefix)) - 1);
            while (rest.startsWith('/'))
                rest.remove(0, 1);
            while (rest.endsWith('/'))
                rest.chop(1);
            cl.meetingId = qint64(parseMeetingNumber(rest));
        }
    } else if (arguments.size() == 2) {
        const qint64 pid = leadingPid(arguments.at(1));
        if (arguments.first() == QLatin1String("goto_login_ui")) {
            cl.role = CommandLine::SignIn;
            cl.pid = pid;
        } else if (arguments.first() == QLatin1String("cleanup") && pid != 0) {
            cl.role = CommandLine::Watchdog;
            cl.pid = pid;
        }
    }
    return cl;
}

bool waitForProcessEnd(qint64 pid, int rounds, bool terminateAtEnd)
{
    for (int i = 0; i < rounds; ++i) {
        if (lookupProcess(ownExecutableName(), pid, kProcessExists) == -2)
            return true;
        sleepMs(1000);
    }
    if (lookupProcess(ownExecutableName(), pid, kProcessExists) == -2)
        return true;
    if (terminateAtEnd)
        lookupProcess(ownExecutableName(), pid, kTerminateById);
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

    QFile qss(QStringLiteral(":/QSS/res/style.qss"));
    if (qss.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(qss.readAll()));
    QTranslator translator;
    if (translator.load(QStringLiteral(":/QSS/res/qt_zh_CN.qm")))
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
