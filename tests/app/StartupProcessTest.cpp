// Runs the real VTX program in child processes with this test's private folders.

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

#include "base/Settings.h"
#include "platform/NamedMutex.h"
#include "platform/Profile.h"
#include "platform/WindowMessage.h"
#include "recordings/FolderTree.h"
#include "support/TestEnvironment.h"
#include "support/VtxChildren.h"
#include "support/VtxService.h"

namespace {

class VtxProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        removeFolderTree(settings::dataFolder().toStdString());
        // A running copy authenticates with its own service, so it does not end on a missing cloud.
        m_service = std::make_unique<vtxtest::VtxService>();
        ASSERT_TRUE(m_service->Ok()) << m_service->Error();
        m_children = std::make_unique<vtxtest::VtxChildren>(QStringLiteral(VTX_BINARY), *m_service);
    }
    void TearDown() override { m_children.reset(); }

    QProcess* startVtx(const QStringList& args) { return m_children->start(args); }
    QString boxes() const { return m_children->boxes(); }

    static platform::WindowHandle waitForWindow() { return vtxtest::VtxChildren::waitForRegisteredWindow(20000); }

    std::unique_ptr<vtxtest::VtxService> m_service;
    std::unique_ptr<vtxtest::VtxChildren> m_children;
};

TEST_F(VtxProcessTest, UnknownLanguageIdRefusesToStart)
{
    settings::writeLanguageId(2);
    QProcess* vtx = startVtx({});
    ASSERT_TRUE(vtx->waitForFinished(20000));
    EXPECT_EQ(vtx->exitCode(), 0);
    EXPECT_TRUE(boxes().contains("Failed to load language pack.")) << boxes().toStdString();
}

TEST_F(VtxProcessTest, SecondCopyHandsItsMeetingNumberToTheRunningOne)
{
    startVtx({});
    ASSERT_NE(waitForWindow(), 0);

    QProcess* second = startVtx({"vtxlaunch://roomID:123456/"});
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_EQ(second->exitCode(), 0);
    // The running copy takes the number out of config.ini when message 1190 arrives.
    QDeadlineTimer deadline(10000);
    while (settings::readJoinId() != 0 && !deadline.hasExpired())
        QThread::msleep(50);
    EXPECT_EQ(platform::readProfileString("Join", "ID", "", 64, settings::configFile()), "0");
    EXPECT_EQ(boxes(), QString());
}

TEST_F(VtxProcessTest, SecondCopyWithoutNumberOnlyRaisesTheRunningOne)
{
    startVtx({});
    ASSERT_NE(waitForWindow(), 0);
    QProcess* second = startVtx({"an", "argument"});
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(platform::readProfileString("Join", "ID", "missing", 64, settings::configFile()), "missing");
}

TEST_F(VtxProcessTest, LockWithoutALiveWindowSaysAlreadyRunning)
{
    platform::NamedMutex lock("Veltrex_Cloud_Meeting");
    ASSERT_TRUE(lock.isHeld());
    settings::writeWindowHandle(0);
    QProcess* vtx = startVtx({"vtxlaunch://roomID:5"});
    ASSERT_TRUE(vtx->waitForFinished(20000));
    EXPECT_EQ(vtx->exitCode(), 0);
    EXPECT_FALSE(boxes().isEmpty());
    EXPECT_EQ(settings::readJoinId(), 0);
}

TEST_F(VtxProcessTest, WatchdogEndsWhenTheWatchedProcessEnds)
{
    QProcess sleeper;
    sleeper.start("sleep", {"1"});
    ASSERT_TRUE(sleeper.waitForStarted());
    QProcess* watchdog = startVtx({"cleanup", QString::number(sleeper.processId())});
    sleeper.waitForFinished(5000); // reaps the child so that it is really gone
    ASSERT_TRUE(watchdog->waitForFinished(20000));
    EXPECT_EQ(watchdog->exitCode(), 0);
    EXPECT_FALSE(QFile::exists(settings::configFile())); // no window, no settings
}

TEST_F(VtxProcessTest, WatchdogLeavesAnotherProgramAlone)
{
    // What a reused or mistyped ID looks like: a live process of the user that is not VTX.
    QProcess sleeper;
    sleeper.start("sleep", {"60"});
    ASSERT_TRUE(sleeper.waitForStarted());
    QProcess* watchdog = startVtx({"cleanup", QString::number(sleeper.processId())});
    ASSERT_TRUE(watchdog->waitForFinished(10000)) << "exits at once instead of waiting 30 s";
    EXPECT_EQ(watchdog->exitCode(), 0);
    EXPECT_EQ(sleeper.state(), QProcess::Running);
    EXPECT_FALSE(sleeper.waitForFinished(300));
    sleeper.kill();
    sleeper.waitForFinished();
}

TEST_F(VtxProcessTest, WatchdogWaitsForTheEarlierClientAndEndsWithIt)
{
    QProcess* client = startVtx({});
    ASSERT_NE(waitForWindow(), 0);
    QProcess* watchdog = startVtx({"cleanup", QString::number(client->processId())});
    EXPECT_FALSE(watchdog->waitForFinished(1500)) << "the client still runs";
    client->kill();
    client->waitForFinished(5000);
    ASSERT_TRUE(watchdog->waitForFinished(10000));
    EXPECT_EQ(watchdog->exitCode(), 0);
}

} // namespace
