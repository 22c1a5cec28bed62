#include "platform/Process.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "HelperProcess.h"

using platformtest::HelperProcess;

namespace {

const platform::ProcessEntry* findPid(const QList<platform::ProcessEntry>& list, qint64 pid)
{
    for (const platform::ProcessEntry& entry : list) {
        if (entry.pid == pid)
            return &entry;
    }
    return nullptr;
}

TEST(ProcessSnapshot, FindsAChildByNameAndPid)
{
    HelperProcess child({QStringLiteral("idle")});
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.readLine(), QStringLiteral("idle"));

    const auto snapshot = platform::processSnapshot();
    ASSERT_TRUE(snapshot.has_value());
    const platform::ProcessEntry* entry = findPid(*snapshot, child.pid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->exeName, QFileInfo(QStringLiteral(PLATFORM_TEST_HELPER)).fileName());
    EXPECT_TRUE(entry->ownedByCurrentUser);

    const platform::ProcessEntry* self = findPid(*snapshot, platform::currentProcessId());
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self->exeName, QStringLiteral("platform_tests"));
    EXPECT_EQ(platform::currentProcessId(), static_cast<qint64>(::getpid()));

    // pid 1 belongs to root (or to the container's init); its name is still known.
    const platform::ProcessEntry* init = findPid(*snapshot, 1);
    ASSERT_NE(init, nullptr);
    EXPECT_FALSE(init->exeName.isEmpty());
    child.closeInput();
    EXPECT_EQ(child.waitForExit(), 0);
}

TEST(ProcessTerminate, KillsAChild)
{
    HelperProcess child({QStringLiteral("idle")});
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.readLine(), QStringLiteral("idle"));
    ASSERT_TRUE(platform::terminateProcess(child.pid()));
    ASSERT_TRUE(child.waitForDeath());
    EXPECT_EQ(child.process().exitStatus(), QProcess::CrashExit);
    EXPECT_FALSE(platform::terminateProcess(child.pid())) << "already gone";
}

TEST(ProcessTerminate, RefusesItselfAndNonsense)
{
    EXPECT_FALSE(platform::terminateProcess(platform::currentProcessId()));
    EXPECT_FALSE(platform::terminateProcess(0)) << "0 would signal the whole process group";
    EXPECT_FALSE(platform::terminateProcess(-1)) << "-1 would signal every process";
    EXPECT_FALSE(platform::terminateProcess(qint64(1) << 40));
}

TEST(ProcessTerminate, RefusesAnotherUsersProcess)
{
    if (::getuid() != 0) {
        EXPECT_FALSE(platform::terminateProcess(1)) << "init belongs to root";
        return;
    }
    // As root, a child that switched to another user stands in for someone else's process.
    HelperProcess child({QStringLiteral("idle-as"), QStringLiteral("65534")});
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.readLine(), QStringLiteral("idle"));
    const auto snapshot = platform::processSnapshot();
    ASSERT_TRUE(snapshot.has_value());
    const platform::ProcessEntry* entry = findPid(*snapshot, child.pid());
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->ownedByCurrentUser);
    EXPECT_FALSE(platform::terminateProcess(child.pid()));
    child.closeInput();
    EXPECT_EQ(child.waitForExit(), 0) << "it was still alive and ends normally";
}

// The exit watchdog's view: only an earlier copy of the same program of the same user is waited for
// and killed. Start times are counted in clock ticks, so processes meant to be earlier or later are
// started a few ticks apart.
class CopyWatchTest : public ::testing::Test
{
protected:
    static void tickApart() { QThread::msleep(50); }

    static QString ask(HelperProcess& watchdog, qint64 pid)
    {
        watchdog.process().write(QByteArray::number(pid) + '\n');
        return watchdog.readLine(15000);
    }
};

TEST_F(CopyWatchTest, KillsAnEarlierCopyThatOutlivesTheWait)
{
    HelperProcess copy({QStringLiteral("idle")});
    ASSERT_TRUE(copy.started());
    ASSERT_EQ(copy.readLine(), QStringLiteral("idle"));
    tickApart();
    HelperProcess watchdog({QStringLiteral("watch-copy"), QStringLiteral("300")});
    ASSERT_TRUE(watchdog.started());
    ASSERT_EQ(watchdog.readLine(), QStringLiteral("ready"));

    EXPECT_EQ(ask(watchdog, copy.pid()), QStringLiteral("terminated"));
    ASSERT_TRUE(copy.waitForDeath());
    EXPECT_EQ(copy.process().exitStatus(), QProcess::CrashExit);
}

TEST_F(CopyWatchTest, ReturnsWhenAnEarlierCopyEndsByItself)
{
    HelperProcess copy({QStringLiteral("idle")});
    ASSERT_TRUE(copy.started());
    ASSERT_EQ(copy.readLine(), QStringLiteral("idle"));
    tickApart();
    HelperProcess watchdog({QStringLiteral("watch-copy"), QStringLiteral("60000")});
    ASSERT_TRUE(watchdog.started());
    ASSERT_EQ(watchdog.readLine(), QStringLiteral("ready"));

    watchdog.process().write(QByteArray::number(copy.pid()) + '\n');
    watchdog.process().waitForBytesWritten();
    QThread::msleep(200); // the watchdog is waiting now
    copy.closeInput();
    EXPECT_EQ(copy.waitForExit(), 0);
    // Long before the minute is over.
    EXPECT_EQ(watchdog.readLine(15000), QStringLiteral("ended"));
}

TEST_F(CopyWatchTest, LeavesAloneEverythingButAnEarlierCopy)
{
    HelperProcess watchdog({QStringLiteral("watch-copy"), QStringLiteral("300")});
    ASSERT_TRUE(watchdog.started());
    ASSERT_EQ(watchdog.readLine(), QStringLiteral("ready"));
    tickApart();

    // The same program, but started after the watchdog: what a reused ID looks like.
    HelperProcess later({QStringLiteral("idle")});
    ASSERT_TRUE(later.started());
    ASSERT_EQ(later.readLine(), QStringLiteral("idle"));
    EXPECT_EQ(ask(watchdog, later.pid()), QStringLiteral("not-a-copy"));

    // Another program of the same user: this test itself, which started before the watchdog.
    EXPECT_EQ(ask(watchdog, platform::currentProcessId()), QStringLiteral("not-a-copy"));
    // The watchdog itself, and IDs no process can have.
    EXPECT_EQ(ask(watchdog, watchdog.pid()), QStringLiteral("not-a-copy"));
    QFile pidMax(QStringLiteral("/proc/sys/kernel/pid_max"));
    ASSERT_TRUE(pidMax.open(QIODevice::ReadOnly));
    EXPECT_EQ(ask(watchdog, pidMax.readAll().trimmed().toLongLong() + 1), QStringLiteral("not-a-copy"));
    EXPECT_EQ(ask(watchdog, 0), QStringLiteral("not-a-copy"));
    EXPECT_EQ(ask(watchdog, -1), QStringLiteral("not-a-copy"));

    later.closeInput();
    EXPECT_EQ(later.waitForExit(), 0) << "still alive and ends normally";
}

TEST_F(CopyWatchTest, LeavesAloneAnEarlierCopyOfAnotherUser)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "needs root to run a copy as another user";
    HelperProcess other({QStringLiteral("idle-as"), QStringLiteral("65534")});
    ASSERT_TRUE(other.started());
    ASSERT_EQ(other.readLine(), QStringLiteral("idle"));
    tickApart();
    HelperProcess watchdog({QStringLiteral("watch-copy"), QStringLiteral("300")});
    ASSERT_TRUE(watchdog.started());
    ASSERT_EQ(watchdog.readLine(), QStringLiteral("ready"));
    EXPECT_EQ(ask(watchdog, other.pid()), QStringLiteral("not-a-copy"));
    other.closeInput();
    EXPECT_EQ(other.waitForExit(), 0);
}

} // namespace

TEST(ProcessSnapshot, LeavesOutAProcessThatHasEnded)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    // Not reaped yet: the child is a zombie until waitpid below.
    siginfo_t info = {};
    ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT), 0);
    const auto snapshot = platform::processSnapshot();
    ASSERT_TRUE(snapshot.has_value());
    for (const auto& p : *snapshot)
        EXPECT_NE(p.pid, child);
    ::waitpid(child, nullptr, 0);
}
