#include "platform/Process.h"

#include <QElapsedTimer>
#include <QProcess>
#include <gtest/gtest.h>
#include <memory>

#include "app/ProcessLookup.h"
#include "app/Startup.h"

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
    auto spared = startSleeper("30");
    auto victim = startSleeper("30");
    EXPECT_EQ(lookupProcess("SLEEP", spared->processId(), kTerminateByName), 0);
    EXPECT_TRUE(victim->waitForFinished(5000));
    EXPECT_EQ(spared->state(), QProcess::Running);
    spared->kill();
    spared->waitForFinished();
}

TEST(ProcessLookup, NeverTerminatesTheCallingProcess)
{
    EXPECT_EQ(lookupProcess("app_tests", platform::currentProcessId(), kTerminateById), 1);
}

TEST(ProcessWait, ReturnsAsSoonAsTheProcessEnds)
{
    auto child = startSleeper("0.3");
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(waitForProcessEnd(child->processId(), 15, true));
    EXPECT_LT(timer.elapsed(), 5000);
    child->waitForFinished();
}

TEST(ProcessWait, TerminatesAProcessThatOutlivesTheWait)
{
    auto child = startSleeper("60");
    EXPECT_FALSE(waitForProcessEnd(child->processId(), 1, true));
    EXPECT_TRUE(child->waitForFinished(5000));
}

} // namespace
