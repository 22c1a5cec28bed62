// The recordings folder across restarts: what VTX makes at first sign-in is where the SDK records
// and what the list watches, in every later start too.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

namespace {

struct Start
{
    QString watched;
    QString sdk;
};

class RecordingFolderAcrossStarts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_home = vtxtest::makeTempDir("home");
        m_config = vtxtest::makeTempDir("config");
    }

    Start start()
    {
        QProcess helper;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home);
        env.insert("XDG_CONFIG_HOME", m_config);
        env.remove("VTX_SDK_RECORDING_DIR");
        helper.setProcessEnvironment(env);
        helper.start(RECORDING_FOLDER_HELPER, QStringList());
        EXPECT_TRUE(helper.waitForFinished(60000));
        EXPECT_EQ(helper.exitCode(), 0) << helper.readAllStandardError().toStdString();
        const QStringList lines = QString::fromUtf8(helper.readAllStandardOutput()).split('\n');
        return lines.size() >= 2 ? Start{lines[0], lines[1]} : Start{};
    }

    QString m_home;
    QString m_config;
};

TEST_F(RecordingFolderAcrossStarts, TheFolderMadeAtFirstSignInStaysTheOneRecordedIntoAndWatched)
{
    const QString sdkDefault = m_home + "/Documents/Orvo";
    const QString ours = m_home + "/Documents/Veltrex";
    const QString earlier = "/2020-01-01 10.00.00 Earlier 1/playback.m3u";
    QDir().mkpath(QFileInfo(sdkDefault + earlier).path());
    QFile(sdkDefault + earlier).open(QIODevice::WriteOnly);

    const Start first = start();
    EXPECT_EQ(first.watched, ours);
    EXPECT_EQ(first.sdk, ours);
    EXPECT_TRUE(QFileInfo::exists(ours + earlier)); // moved, not left behind
    EXPECT_FALSE(QFileInfo::exists(sdkDefault));

    const Start second = start();
    EXPECT_EQ(second.watched, ours);
    EXPECT_EQ(second.sdk, ours);
    EXPECT_FALSE(QFileInfo::exists(sdkDefault));

    // The cleanup tool removes VTX's data folder; the SDK keeps its own setting.
    ASSERT_TRUE(QDir(m_config + "/VTX").removeRecursively());
    const Start third = start();
    EXPECT_EQ(third.watched, ours);
    EXPECT_EQ(third.sdk, ours);
    EXPECT_TRUE(QFileInfo::exists(ours + earlier));
    EXPECT_FALSE(QFileInfo::exists(ours + "/Veltrex"));
}

TEST_F(RecordingFolderAcrossStarts, AnExistingFolderOfOurNameIsNeverReplaced)
{
    const QString ours = m_home + "/Documents/Veltrex";
    QDir().mkpath(ours);
    QFile(ours + "/mine.txt").open(QIODevice::WriteOnly);
    QDir().mkpath(m_home + "/Documents/Orvo");
    QFile(m_home + "/Documents/Orvo/theirs.txt").open(QIODevice::WriteOnly);

    const Start first = start();
    EXPECT_EQ(first.watched, ours);
    EXPECT_TRUE(QFileInfo::exists(ours + "/mine.txt"));
    EXPECT_TRUE(QFileInfo::exists(m_home + "/Documents/Orvo/theirs.txt"));
    EXPECT_EQ(start().watched, ours);
}

} // namespace
