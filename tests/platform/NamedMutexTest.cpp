#include "platform/NamedMutex.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include "HelperProcess.h"

using platformtest::HelperProcess;

namespace {

bool heldWithin(const QString& name, bool wanted, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (platform::NamedMutex::IsHeld(name) != wanted) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(10);
    }
    return true;
}

TEST(NamedMutex, HeldInThisProcessUntilReleased)
{
    const QString name = QStringLiteral("Veltrex_Cloud_Meeting_local");
    EXPECT_FALSE(platform::NamedMutex::IsHeld(name));
    {
        platform::NamedMutex mutex(name);
        ASSERT_TRUE(mutex.isHeld());
        EXPECT_TRUE(platform::NamedMutex::IsHeld(name));
        platform::NamedMutex second(name);
        EXPECT_FALSE(second.isHeld()) << "a second holder in the same process";
        mutex.release();
        EXPECT_FALSE(mutex.isHeld());
        EXPECT_FALSE(platform::NamedMutex::IsHeld(name));
        platform::NamedMutex third(name);
        EXPECT_TRUE(third.isHeld()) << "taken again right after release";
    }
    EXPECT_FALSE(platform::NamedMutex::IsHeld(name)) << "destruction releases";
}

TEST(NamedMutex, HeldByAChildUntilItDies)
{
    const QString name = QStringLiteral("Veltrex_Cloud_Meeting");
    HelperProcess child({QStringLiteral("hold-mutex"), name});
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.readLine(), QStringLiteral("held"));
    EXPECT_TRUE(platform::NamedMutex::IsHeld(name));
    platform::NamedMutex mine(name);
    EXPECT_FALSE(mine.isHeld());

    child.process().kill();
    ASSERT_TRUE(child.waitForDeath());
    EXPECT_TRUE(heldWithin(name, false, 5000));
    platform::NamedMutex after(name);
    EXPECT_TRUE(after.isHeld());
}

TEST(NamedMutex, ChildCannotTakeWhatThisProcessHolds)
{
    const QString name = QStringLiteral("vtx-mutex-parent");
    platform::NamedMutex mine(name);
    ASSERT_TRUE(mine.isHeld());
    HelperProcess child({QStringLiteral("hold-mutex"), name});
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.readLine(), QStringLiteral("failed"));
    child.closeInput();
    EXPECT_EQ(child.waitForExit(), 0);
}

} // namespace
