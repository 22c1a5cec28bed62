#include "platform/Process.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <memory>

#include "app/ProcessLookup.h"
#include "app/Startup.h"
#include "support/TestEnvironment.h"

namespace {

std::unique_ptr<QProcess> startSleeper(const char* seconds)
{
    auto p = std::make_unique<QProcess>();
    p->start("sleep", {seconds});
    p->waitForStarted();
    return p;
}

TEST(ProcessLookup, ExistenceOfAProcess)
{
    auto child = startSleeper("30");
    EXPECT_EQ(lookupProcess("sleep", child->processId(), kProcessExists), 0);
    child->kill();
    child->waitForFinished();
    EXPECT_EQ(lookupProcess("sleep", child->processId(), kProcessExists), -2);
}

TEST(ProcessLookup, TerminateById)
{
    auto child = startSleeper("30");
    EXPECT_EQ(lookupProcess("sleep", child->processId(), kTerminateById), 0);
    EXPECT_TRUE(child->waitForFinished(5000));
    EXPECT_EQ(lookupProcess("sleep", child->processId(), kTerminateById), 1);
}

TEST(ProcessLookup, TerminateByNameSparesTheGivenProcessAndTheCaller)
{
    // A copy of sleep under a name no other process on the machine has, so that terminating by
    // name reaches only the copies this test starts.
    const QString name = QStringLiteral("vtxtest-sleep-%1-%2")
                             .arg(platform::currentProcessId())
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    const QString program = vtxtest::makeTempDir("byname") + '/' + name;
    ASSERT_TRUE(QFile::copy(QStandardPaths::findExecutable("sleep"), program));
    auto start = [&program] {
        auto p = std::make_unique<QProcess>();
        p->start(program, {"30"});
        p->waitForStarted();
        return p;
    };
    auto spared = start();
    auto victim = start();
    auto secondVictim = start();
    ASSERT_EQ(spared->state(), QProcess::Running);

    EXPECT_EQ(lookupProcess(name.toUpper(), spared->processId(), kTerminateByName), 0);
    EXPECT_TRUE(victim->waitForFinished(5000));
    EXPECT_TRUE(secondVictim->waitForFinished(5000));
    EXPECT_EQ(spared->state(), QProcess::Running);
    EXPECT_EQ(lookupProcess(name, spared->processId(), kTerminateByName), 1) << "nothing left to terminate";
    spared->kill();
    spared->waitForFinished();
}

TEST(ProcessLookup, NeverTerminatesTheCallingProcess)
{
    EXPECT_EQ(lookupProcess("app_tests", platform::currentProcessId(), kTerminateById), 1);
}

// The watchdog waits only for an earlier copy of its own program (tested with two such copies in the
// platform tests); any other ID, like this test's own children, is neither waited for nor killed.
TEST(ProcessWait, AnotherProgramIsNeitherWaitedForNorKilled)
{
    auto child = startSleeper("60");
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(waitForProcessEnd(child->processId(), 15, true));
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(child->state(), QProcess::Running);
    EXPECT_FALSE(child->waitForFinished(300));
    child->kill();
    child->waitForFinished();
}

TEST(ProcessWait, TheCallerIsNotWaitedFor)
{
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(waitForProcessEnd(platform::currentProcessId(), 15, true));
    EXPECT_LT(timer.elapsed(), 5000);
}

} // namespace
