#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "HelperProcess.h"
#include "platform/Profile.h"
#include "support/TestEnvironment.h"

using platformtest::HelperProcess;

namespace {

TEST(ProfileConcurrency, TwoProcessesWritingOneFileLoseNothing)
{
    const QString path = vtxtest::makeTempDir(QStringLiteral("concurrent")) + QStringLiteral("/config.ini");
    constexpr int kKeys = 200;
    HelperProcess first({QStringLiteral("write-keys"), path, QStringLiteral("a"), QString::number(kKeys)});
    HelperProcess second({QStringLiteral("write-keys"), path, QStringLiteral("b"), QString::number(kKeys)});
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(second.started());
    // This process writes too, to a key of its own, at the same time.
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(platform::writeProfileString("Shared", "mine", QString::number(i), path));
    ASSERT_EQ(first.waitForExit(60000), 0);
    ASSERT_EQ(second.waitForExit(60000), 0);

    int missing = 0;
    for (const char* prefix : {"a", "b"}) {
        for (int i = 0; i < kKeys; ++i) {
            const QString key = QString::fromLatin1(prefix) + QString::number(i);
            const QString expected = QStringLiteral("value-%1-%2").arg(QLatin1String(prefix)).arg(i);
            if (platform::readProfileString("Shared", key, "", 256, path) != expected)
                ++missing;
        }
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(platform::readProfileInt("Shared", "mine", -1, path), 49);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("[Shared]"), 1);
}

TEST(ProfileConcurrency, WriterKilledMidWriteLeavesOldOrNewContent)
{
    const QString dir = vtxtest::makeTempDir(QStringLiteral("killed"));
    const QString path = dir + QStringLiteral("/config.ini");
    // A big file makes each rewrite take long enough to be hit while it runs.
    QByteArray content = "[Head]\nfirst=1\n[Data]\nstate=written-0\n[Filler]\n";
    for (int i = 0; i < 20000; ++i)
        content += "key" + QByteArray::number(i) + "=" + QByteArray(40, 'f') + "\n";
    content += "[Tail]\nlast=1\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    for (int round = 0; round < 3; ++round) {
        HelperProcess writer({QStringLiteral("rewrite-loop"), path});
        ASSERT_TRUE(writer.started());
        const int wanted = 3 + round * 4;
        int written = 0;
        while (written < wanted) {
            const QString line = writer.readLine(20000);
            ASSERT_FALSE(line.isEmpty()) << "the writer stopped reporting";
            written = line.toInt();
        }
        writer.process().kill();
        ASSERT_TRUE(writer.waitForDeath());

        const QString state = platform::readProfileString("Data", "state", "", 256, path);
        EXPECT_TRUE(state.startsWith(QStringLiteral("written-"))) << state.toStdString();
        EXPECT_GE(state.mid(8).toInt(), written);
        EXPECT_EQ(platform::readProfileInt("Head", "first", 0, path), 1);
        EXPECT_EQ(platform::readProfileString("Filler", "key19999", "", 256, path), QString(40, QLatin1Char('f')));
        EXPECT_EQ(platform::readProfileInt("Tail", "last", 0, path), 1);
    }
    // The lock died with the writer: a new write goes through at once.
    EXPECT_TRUE(platform::writeProfileString("Data", "state", "after", path));
    EXPECT_EQ(platform::readProfileString("Data", "state", "", 256, path), QStringLiteral("after"));
    // Temporary files of killed writers are cleared by the next writer.
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("config.ini"), QStringLiteral("config.ini.lock")}));
}

} // namespace
