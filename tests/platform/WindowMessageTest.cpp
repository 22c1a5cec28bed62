#include "platform/WindowMessage.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocalServer>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

#include "HelperProcess.h"
#include "platform/Paths.h"

using platformtest::HelperProcess;

namespace {

struct Received
{
    quint32 message;
    quint64 wParam;
    qint64 lParam;
    QThread* thread;
};

class RecordingReceiver : public QObject
{
public:
    std::vector<Received> received;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != platform::WindowMessageEvent::eventType())
            return QObject::event(event);
        auto* message = static_cast<platform::WindowMessageEvent*>(event);
        received.push_back({message->message(), message->wParam(), message->lParam(), QThread::currentThread()});
        return true;
    }
};

TEST(WindowMessage, PostedMessagesArriveOnTheReceiversThread)
{
    RecordingReceiver receiver;
    const platform::WindowHandle handle = platform::registerWindow(&receiver);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(platform::registerWindow(&receiver), handle) << "registering twice keeps the handle";
    EXPECT_EQ(platform::handleOf(&receiver), handle);
    EXPECT_TRUE(platform::isWindow(handle));

    EXPECT_TRUE(platform::postMessage(handle, platform::kMsgDownloadProgress, 42, -7));
    std::thread worker([handle] { platform::postMessage(handle, platform::kMsgDownloadProgress, 101, 0); });
    worker.join();
    EXPECT_TRUE(receiver.received.empty()) << "posting never delivers synchronously";
    QTRY_COMPARE_WITH_TIMEOUT(receiver.received.size(), size_t(2), 5000);
    EXPECT_EQ(receiver.received[0].message, quint32(platform::kMsgDownloadProgress));
    EXPECT_EQ(receiver.received[0].wParam, 42u);
    EXPECT_EQ(receiver.received[0].lParam, -7);
    EXPECT_EQ(receiver.received[1].wParam, 101u);
    EXPECT_EQ(receiver.received[1].thread, QThread::currentThread());
}

TEST(WindowMessage, SendWaitsUntilTheReceiverHandledIt)
{
    RecordingReceiver receiver;
    const platform::WindowHandle handle = platform::registerWindow(&receiver);
    std::atomic<int> result{-1};
    std::thread worker([&] { result = platform::sendMessage(handle, platform::kMsgJoinMeeting, 0, 5) ? 1 : 0; });
    // The worker is blocked until this thread's event loop delivers the message.
    QTRY_COMPARE_WITH_TIMEOUT(result.load(), 1, 5000);
    worker.join();
    ASSERT_EQ(receiver.received.size(), size_t(1));
    EXPECT_EQ(receiver.received[0].lParam, 5);

    // On the receiver's own thread the message is delivered at once instead of deadlocking.
    EXPECT_TRUE(platform::sendMessage(handle, platform::kMsgEmailDuplicate, 1, 2));
    EXPECT_EQ(receiver.received.size(), size_t(2));
}

TEST(WindowMessage, SendTimesOutWhenTheReceiverDoesNotRun)
{
    RecordingReceiver receiver;
    const platform::WindowHandle handle = platform::registerWindow(&receiver);
    bool result = true;
    std::thread worker([&] { result = platform::sendMessage(handle, platform::kMsgJoinMeeting, 0, 0, 200); });
    worker.join(); // this thread runs no event loop meanwhile
    EXPECT_FALSE(result);
}

TEST(WindowMessage, DeadHandlesAreRefused)
{
    platform::WindowHandle handle = 0;
    {
        auto receiver = std::make_unique<RecordingReceiver>();
        handle = platform::registerWindow(receiver.get());
        ASSERT_TRUE(platform::isWindow(handle));
    }
    EXPECT_FALSE(platform::isWindow(handle));
    EXPECT_FALSE(platform::postMessage(handle, 1, 0, 0));
    EXPECT_FALSE(platform::sendMessage(handle, 1, 0, 0, 200));
    EXPECT_FALSE(platform::restoreAndRaise(handle));
    EXPECT_FALSE(platform::isWindow(0));
    EXPECT_FALSE(platform::isWindow(-5));
    EXPECT_EQ(platform::handleOf(nullptr), 0);

    RecordingReceiver unregistered;
    const platform::WindowHandle second = platform::registerWindow(&unregistered);
    platform::unregisterWindow(second);
    EXPECT_FALSE(platform::isWindow(second));
    EXPECT_EQ(platform::handleOf(&unregistered), 0);
}

TEST(WindowMessage, RestoreAndRaiseLocallyRestoresWithoutMoving)
{
    QWidget window;
    window.setGeometry(120, 80, 300, 200);
    window.show();
    window.showMinimized();
    ASSERT_TRUE(window.isMinimized());
    const QRect before = window.geometry();
    const platform::WindowHandle handle = platform::registerWindow(&window);
    ASSERT_TRUE(platform::restoreAndRaise(handle));
    EXPECT_FALSE(window.isMinimized());
    EXPECT_EQ(window.geometry(), before);
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_FALSE(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint)) << "top-most only for a moment";

    RecordingReceiver notAWidget;
    EXPECT_FALSE(platform::restoreAndRaise(platform::registerWindow(&notAWidget)));
}

TEST(WindowMessage, CrossProcessSendReachesAChildWindow)
{
    HelperProcess child({QStringLiteral("window")});
    ASSERT_TRUE(child.started());
    const QString line = child.waitForLine(QStringLiteral("handle "));
    ASSERT_FALSE(line.isEmpty());
    const platform::WindowHandle handle = line.mid(7).toLongLong();
    ASSERT_EQ(handle >> 20, child.pid()) << "the handle carries the owner's pid";

    EXPECT_TRUE(platform::isWindow(handle));
    EXPECT_TRUE(platform::restoreAndRaise(handle));
    EXPECT_EQ(child.waitForLine(QStringLiteral("restored")), QStringLiteral("restored"));
    EXPECT_TRUE(platform::postMessage(handle, platform::kMsgDownloadProgress, 55, 66));
    EXPECT_EQ(child.waitForLine(QStringLiteral("got ")), QStringLiteral("got 1204 55 66"));
    // A send returns only after the child printed what it got, and the child then exits.
    EXPECT_TRUE(platform::sendMessage(handle, platform::kMsgJoinMeeting, 0, 1234567));
    EXPECT_EQ(child.readLine(), QStringLiteral("got 1190 0 1234567"));
    EXPECT_EQ(child.waitForExit(), 0);

    // Gone with its process.
    EXPECT_FALSE(platform::isWindow(handle));
    EXPECT_FALSE(platform::sendMessage(handle, platform::kMsgJoinMeeting, 0, 1, 500));
}

TEST(WindowMessage, KilledProcessLeavesNoLiveWindow)
{
    HelperProcess child({QStringLiteral("window")});
    ASSERT_TRUE(child.started());
    const QString line = child.waitForLine(QStringLiteral("handle "));
    ASSERT_FALSE(line.isEmpty());
    const platform::WindowHandle handle = line.mid(7).toLongLong();
    ASSERT_TRUE(platform::isWindow(handle));
    child.process().kill();
    ASSERT_TRUE(child.waitForDeath());
    // The socket file of the dead process may still be there; it must not count.
    EXPECT_FALSE(platform::isWindow(handle));
    EXPECT_FALSE(platform::postMessage(handle, 1, 0, 0));
}

TEST(WindowMessage, StaleSocketOfALiveProcessIsNotAWindow)
{
    // A socket file named like one of this test's children but with nobody listening.
    HelperProcess child({QStringLiteral("idle")});
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.readLine(), QStringLiteral("idle"));
    const platform::WindowHandle handle = (child.pid() << 20) | 1;
    const QString path = platform::runtimeFolder() + QStringLiteral("/w-%1").arg(handle, 0, 16);
    {
        QLocalServer server;
        ASSERT_TRUE(server.listen(path));
        EXPECT_FALSE(platform::isWindow(handle)) << "a server that never answers is no window";
    }
    EXPECT_FALSE(platform::isWindow(handle));
    child.closeInput();
    EXPECT_EQ(child.waitForExit(), 0);
}

} // namespace
