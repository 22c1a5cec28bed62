// The scanner's worker: its two clocks, the conversion window's title, and its stop.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

#include "base/Localization.h"
#include "platform/Paths.h"
#include "platform/TopLevelWindows.h"
#include "recordings/ConversionWindow.h"
#include "recordings/VideoFolder.h"
#include "support/TestEnvironment.h"

namespace {

const std::string kOwner = "alice@vtx.local";

std::string finishedRecordingRoot(int count)
{
    const QString root = vtxtest::makeTempDir("worker");
    for (int i = 0; i < count; ++i) {
        const QString folder = root + QStringLiteral("/2020-01-01 10.00.00 Topic%1 1").arg(i);
        QDir().mkpath(folder);
        QFile owner(folder + "/account.ini");
        owner.open(QIODevice::WriteOnly);
        owner.write(kOwner.c_str());
        QFile playlist(folder + "/playback.m3u");
        playlist.open(QIODevice::WriteOnly);
    }
    return root.toStdString();
}

// Milliseconds until the window's title changes, or -1 when it does not within the limit.
qint64 msUntilRetitled(QWidget& window, const QElapsedTimer& since, int limitMs)
{
    const QString before = window.windowTitle();
    while (since.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (window.windowTitle() != before)
            return since.elapsed();
        QTest::qSleep(5);
    }
    return -1;
}

class RecordingWorker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Localization::Instance()->resetForTest();
        ASSERT_EQ(Localization::Instance()->Load(1, platform::programFolder() + "en_US.ini"), 0);
        platform::trackTopLevelWindows();
    }
};

TEST_F(RecordingWorker, PassesRunAtOnceThenOnTheirClockAndEachAsksForThePath)
{
    VideoFolder::Clocks clocks;
    clocks.rescanMs = 200;
    clocks.sleepMs = 10;
    VideoFolder scanner(clocks);
    QSignalSpy paths(&scanner, &VideoFolder::notifyUpdateVideoPath);
    QSignalSpy finished(&scanner, &VideoFolder::notifyVideoFinished);
    QElapsedTimer since;
    since.start();
    scanner.start(kOwner, finishedRecordingRoot(2));
    ASSERT_TRUE(paths.wait(2000));
    EXPECT_LT(since.elapsed(), 1000); // the first pass does not wait for the clock
    // Claimed in the first pass, listed in the second.
    int taken = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            while (scanner.takeNextRecord())
                ++taken;
            return taken == 2;
        },
        3000));
    EXPECT_FALSE(scanner.takeNextRecord());
    // One signal per batch of the same pass, at most one per record.
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished.count() >= 1; }, 2000));
    EXPECT_LE(finished.count(), 2);

    QTest::qWait(600);
    const qint64 elapsed = since.elapsed();
    scanner.stop();
    EXPECT_GE(paths.count(), 3);
    EXPECT_LE(paths.count(), elapsed / clocks.rescanMs + 1);
}

TEST_F(RecordingWorker, RetitlesTheConversionWindowAboutASecondAfterStartAndWhenItOpensLate)
{
    EXPECT_EQ(conversionWindowTitle(), QString::fromUtf8("VTX - 转换录制文件"));
    QWidget early;
    early.setWindowTitle(sdkConversionWindowTitle());
    early.show();
    QWidget lookalike;
    lookalike.setWindowTitle(QStringLiteral("Saved: ") + sdkConversionWindowTitle());
    lookalike.show();

    VideoFolder scanner;
    QElapsedTimer since;
    since.start();
    scanner.start(kOwner, vtxtest::makeTempDir("empty").toStdString());
    const qint64 first = msUntilRetitled(early, since, 4000);
    EXPECT_GE(first, 1000);
    EXPECT_LE(first, 3000);
    EXPECT_EQ(early.windowTitle(), conversionWindowTitle());

    QWidget late;
    late.setWindowTitle(sdkConversionWindowTitle());
    late.show();
    QElapsedTimer lateSince;
    lateSince.start();
    const qint64 second = msUntilRetitled(late, lateSince, 4000);
    EXPECT_GE(second, 0);
    EXPECT_LE(second, 2500);
    EXPECT_EQ(late.windowTitle(), conversionWindowTitle());
    scanner.stop();
    EXPECT_EQ(lookalike.windowTitle(), QStringLiteral("Saved: ") + sdkConversionWindowTitle());
}

TEST_F(RecordingWorker, NothingReachesTheReceiverAfterStop)
{
    VideoFolder::Clocks clocks;
    clocks.rescanMs = 0; // a pass on every wake
    clocks.windowCheckMs = 0;
    clocks.sleepMs = 1;
    auto scanner = std::make_unique<VideoFolder>(clocks);
    QSignalSpy paths(scanner.get(), &VideoFolder::notifyUpdateVideoPath);
    QSignalSpy finished(scanner.get(), &VideoFolder::notifyVideoFinished);
    scanner->start(kOwner, finishedRecordingRoot(20));
    // The GUI thread is busy while the worker queues deliveries.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    scanner->stop();
    EXPECT_FALSE(scanner->isRunning());
    EXPECT_FALSE(scanner->takeNextRecord()); // the queue went with the run
    QTest::qWait(300);
    EXPECT_EQ(paths.count(), 0);
    EXPECT_EQ(finished.count(), 0);

    QWidget window;
    window.setWindowTitle(sdkConversionWindowTitle());
    window.show();
    QTest::qWait(300);
    EXPECT_EQ(window.windowTitle(), sdkConversionWindowTitle());

    // A new run reports again, and the scanner can be destroyed while it runs.
    scanner->start(kOwner, finishedRecordingRoot(1));
    EXPECT_TRUE(paths.wait(2000));
    scanner.reset();
}

TEST_F(RecordingWorker, StopEndsALongPassWithoutWaitingForIt)
{
    VideoFolder::Clocks clocks;
    clocks.rescanMs = 0;
    clocks.sleepMs = 1;
    VideoFolder scanner(clocks);
    scanner.start(kOwner, finishedRecordingRoot(400));
    QTest::qWait(50);
    QElapsedTimer stopping;
    stopping.start();
    scanner.stop();
    EXPECT_LT(stopping.elapsed(), 1000);
}

} // namespace
