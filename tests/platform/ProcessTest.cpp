#include "platform/Process.h"

#include <QFileInfo>
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
