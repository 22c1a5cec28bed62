// Second process for the platform tests. Modes:
//   write-keys FILE PREFIX COUNT  writes COUNT keys into [Shared]; exit 0 when every write succeeded
//   rewrite-loop FILE             rewrites [Data] state until killed, printing the count after each write
//   hold-mutex NAME               takes the named mutex, prints "held" or "failed", holds it until stdin closes
//   window                        registers a minimised widget, prints "handle N", prints "got M W L" for each
//                                 message and "restored" once un-minimised; message 1190 ends the process
//   idle                          prints "idle" and waits until stdin closes
//   idle-as UID                   the same after switching to that user (the tests run it as root only)
//   watch-copy MS                 prints "ready", then for each process ID read from stdin watches it as the
//                                 exit watchdog does (MS milliseconds, kill at the end) and prints the outcome
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

#include "platform/NamedMutex.h"
#include "platform/Process.h"
#include "platform/Profile.h"
#include "platform/WindowMessage.h"

namespace {

void say(const QByteArray& line)
{
    std::fputs((line + '\n').constData(), stdout);
    std::fflush(stdout);
}

void waitForStdinEof()
{
    char buffer[64];
    while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
}

class Receiver : public QWidget
{
protected:
    bool event(QEvent* event) override
    {
        if (event->type() == platform::WindowMessageEvent::eventType()) {
            auto* message = static_cast<platform::WindowMessageEvent*>(event);
            say("got " + QByteArray::number(message->message()) + ' ' + QByteArray::number(message->wParam()) + ' ' +
                QByteArray::number(message->lParam()));
            if (message->message() == platform::kMsgJoinMeeting)
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            return true;
        }
        return QWidget::event(event);
    }
};

int runWindow(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Receiver window;
    window.resize(200, 100);
    window.showMinimized();
    const platform::WindowHandle handle = platform::registerWindow(&window);
    QTimer watch;
    bool reported = false;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!reported && !window.isMinimized()) {
            reported = true;
            say("restored");
        }
    });
    watch.start(20);
    // The test closes stdin to end an idle window process.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    say("handle " + QByteArray::number(handle));
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "write-keys" && argc == 5) {
        const QString file = QString::fromLocal8Bit(argv[2]);
        const QString prefix = QString::fromLocal8Bit(argv[3]);
        const int count = QByteArray(argv[4]).toInt();
        int failures = 0;
        for (int i = 0; i < count; ++i) {
            if (!platform::writeProfileString(QStringLiteral("Shared"), prefix + QString::number(i),
                                              QStringLiteral("value-%1-%2").arg(prefix).arg(i), file))
                ++failures;
        }
        return failures == 0 ? 0 : 1;
    }
    if (mode == "rewrite-loop" && argc == 3) {
        const QString file = QString::fromLocal8Bit(argv[2]);
        for (int i = 1;; ++i) {
            if (!platform::writeProfileString(QStringLiteral("Data"), QStringLiteral("state"),
                                              QStringLiteral("written-%1").arg(i), file))
                return 1;
            say(QByteArray::number(i));
        }
    }
    if (mode == "hold-mutex" && argc == 3) {
        platform::NamedMutex mutex(QString::fromLocal8Bit(argv[2]));
        say(mutex.isHeld() ? "held" : "failed");
        waitForStdinEof();
        return 0;
    }
    if (mode == "window")
        return runWindow(argc, argv);
    if (mode == "idle-as" && argc == 3) {
        const uid_t uid = static_cast<uid_t>(QByteArray(argv[2]).toUInt());
        if (::setgid(uid) != 0 || ::setuid(uid) != 0)
            return 3;
        say("idle");
        waitForStdinEof();
        return 0;
    }
    if (mode == "watch-copy" && argc == 3) {
        const int ms = QByteArray(argv[2]).toInt();
        say("ready");
        char line[64];
        while (std::fgets(line, sizeof line, stdin)) {
            switch (platform::watchEarlierCopy(QByteArray(line).trimmed().toLongLong(), ms, true)) {
            case platform::CopyWatch::NotACopy:
                say("not-a-copy");
                break;
            case platform::CopyWatch::Ended:
                say("ended");
                break;
            case platform::CopyWatch::Terminated:
                say("terminated");
                break;
            case platform::CopyWatch::StillRunning:
                say("still-running");
                break;
            }
        }
        return 0;
    }
    if (mode == "idle") {
        say("idle");
        waitForStdinEof();
        return 0;
    }
    std::fputs("unknown mode\n", stderr);
    return 2;
}
