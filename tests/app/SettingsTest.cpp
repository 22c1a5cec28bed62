#include "base/Settings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/Profile.h"
#include "recordings/FolderTree.h"
#include "support/TestEnvironment.h"

namespace {

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { removeFolderTree(settings::dataFolder().toStdString()); }
};

TEST_F(SettingsTest, FreshProfileReadsDefaultsAndCreatesNothing)
{
    EXPECT_EQ(settings::readLanguageId(), 0);
    EXPECT_EQ(settings::readWindowHandle(), 0);
    EXPECT_EQ(settings::readJoinId(), 0);
    EXPECT_FALSE(settings::readAlwaysUsePmi());
    const settings::Login login = settings::readLogin();
    EXPECT_TRUE(login.account.isEmpty());
    EXPECT_FALSE(login.memory);
    EXPECT_TRUE(settings::readTemporaryAccount().user.isEmpty());
    EXPECT_TRUE(settings::readNickname("someone@example.com", false).isEmpty());
    EXPECT_FALSE(settings::isVerificationValid(QString()));
    EXPECT_TRUE(settings::loadHistory(QString(), false).empty());
    EXPECT_FALSE(QFileInfo::exists(settings::dataFolder()));
}

TEST_F(SettingsTest, FirstWriteCreatesTheDataFolderUnderTheConfigHome)
{
    settings::writeLanguageId(1);
    EXPECT_EQ(settings::dataFolder(), vtxtest::configHome() + "/VTX/");
    EXPECT_TRUE(QFileInfo::exists(settings::configFile()));
    EXPECT_EQ(settings::readLanguageId(), 1);
}

TEST_F(SettingsTest, RememberedPasswordIsOnlyKeptWithMemory)
{
    settings::writeLogin("user@example.com", "secret", false);
    EXPECT_EQ(settings::readLogin().password, "");
    settings::writeLogin("user@example.com", "secret", true);
    const settings::Login login = settings::readLogin();
    EXPECT_EQ(login.account, "user@example.com");
    EXPECT_EQ(login.password, "secret");
    EXPECT_TRUE(login.memory);
}

TEST_F(SettingsTest, ConfigAndAccountFilesArePrivateWhateverTheUmask)
{
    const mode_t before = ::umask(022);
    settings::writeTemporaryAccount("tmp123", "pw");
    settings::writeNickname("user@example.com", false, "Alice");
    settings::saveHistory("user@example.com", true, {{1700000000, {"12345678901", "Review"}}});
    ::umask(before);
    for (const QString& file : {settings::configFile(), settings::accountFile("user@example.com")}) {
        const QFile::Permissions perms = QFileInfo(file).permissions();
        EXPECT_TRUE(perms & QFile::ReadOwner) << file.toStdString();
        EXPECT_FALSE(perms & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther))
            << file.toStdString();
    }
}

TEST_F(SettingsTest, JoinIdKeepsSixtyFourBits)
{
    settings::writeJoinId(98765432101LL);
    EXPECT_EQ(settings::readJoinId(), 98765432101LL);
    settings::writeJoinId(0);
    EXPECT_EQ(settings::readJoinId(), 0);
}

TEST_F(SettingsTest, VerificationIsValidForThisVersionOnly)
{
    settings::writeVerification("user@example.com");
    EXPECT_TRUE(settings::isVerificationValid("user@example.com"));
    EXPECT_FALSE(settings::isVerificationValid(QString())); // the general file is separate

    platform::writeProfileString("Verification", "versison", "1.4.9.0", settings::accountFile("user@example.com"));
    EXPECT_FALSE(settings::isVerificationValid("user@example.com"));
}

TEST_F(SettingsTest, VerificationNeedsATimestamp)
{
    settings::writeVerification(QString());
    platform::writeProfileString("Verification", "timestamp", "", settings::configFile());
    EXPECT_FALSE(settings::isVerificationValid(QString()));
}

TEST_F(SettingsTest, NicknamesAreKeptPerModeAndAccount)
{
    settings::writeNickname(QString(), false, "Guest");
    settings::writeNickname(QString(), true, "Sharer");
    settings::writeNickname("a@example.com", false, "Alice");
    EXPECT_EQ(settings::readNickname(QString(), false), "Guest");
    EXPECT_EQ(settings::readNickname(QString(), true), "Sharer");
    EXPECT_EQ(settings::readNickname("a@example.com", false), "Alice");
    EXPECT_EQ(settings::readNickname("a@example.com", true), "");
}

TEST(AccountFileName, OrdinaryNamesKeepTheirPlainFileName)
{
    EXPECT_EQ(settings::accountFileName("user@example.com"), "user@example.com");
    EXPECT_EQ(settings::accountFileName(QString::fromUtf8("张三")), QString::fromUtf8("张三"));
    EXPECT_EQ(settings::accountFile("user@example.com"), settings::dataFolder() + "user@example.com.ini");
}

TEST(AccountFileName, UnsafeNamesStayInsideTheDataFolder)
{
    const QStringList unsafe = {"../../etc/passwd", "..", ".", "a/b", QString("a\nb"), QString("x\x01y"), "50%",
                                QString(300, 'a')};
    QSet<QString> seen;
    for (const QString& name : unsafe) {
        const QString file = settings::accountFileName(name);
        EXPECT_FALSE(file.contains('/')) << file.toStdString();
        EXPECT_NE(file, "..");
        EXPECT_NE(file, ".");
        EXPECT_LE(file.toUtf8().size(), 200);
        for (const QChar c : file)
            EXPECT_GE(c.unicode(), 0x20);
        EXPECT_TRUE(file.contains('%')); // escaped names never collide with plain ones
        seen.insert(file);
        EXPECT_EQ(QFileInfo(settings::accountFile(name)).absolutePath() + "/", settings::dataFolder());
    }
    EXPECT_EQ(seen.size(), unsafe.size());
}

TEST_F(SettingsTest, HistoryRoundTripsInTimeOrder)
{
    settings::History history;
    history[300] = {"33333333333", "Third"};
    history[100] = {"1111111111", QString::fromUtf8("第一").toStdString()};
    history[200] = {"222222", "Second"};
    settings::saveHistory("a@example.com", false, history);
    const settings::History loaded = settings::loadHistory("a@example.com", false);
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded.at(100).id, "1111111111");
    EXPECT_EQ(loaded.at(100).name, QString::fromUtf8("第一").toStdString());
    EXPECT_EQ(loaded.at(300).name, "Third");
    EXPECT_TRUE(settings::loadHistory("a@example.com", true).empty());
    EXPECT_EQ(platform::readProfileString("History", "id_0", "", 64, settings::accountFile("a@example.com")),
              "1111111111");
}

TEST_F(SettingsTest, ShorterHistoryLeavesOldKeysButOnlyCountsLoad)
{
    settings::History five;
    for (int i = 0; i < 5; ++i)
        five[1000 + i] = {std::to_string(100000 + i), "m"};
    settings::saveHistory(QString(), true, five);
    settings::History two;
    two[5] = {"555555", "a"};
    two[6] = {"666666", "b"};
    settings::saveHistory(QString(), true, two);

    const QString file = settings::configFile();
    EXPECT_EQ(platform::readProfileInt("History_share", "counts", -1, file), 2);
    EXPECT_EQ(platform::readProfileString("History_share", "id_4", "", 64, file), "100004");
    EXPECT_EQ(settings::loadHistory(QString(), true).size(), 2u);
}

TEST_F(SettingsTest, HistoryWithGapsAndHugeCountLoadsExistingIndexesQuickly)
{
    const QString file = settings::configFile();
    settings::writeLanguageId(0); // creates the folder
    platform::writeProfileString("History", "counts", "2000000000", file);
    platform::writeProfileString("History", "id_0", "123456", file);
    platform::writeProfileString("History", "time_0", "10", file);
    platform::writeProfileString("History", "id_7", "", file);
    platform::writeProfileString("History", "id_9", "999999", file);
    platform::writeProfileString("History", "time_9", "junk", file);
    platform::writeProfileString("Other", "id_3", "333333", file);

    QElapsedTimer timer;
    timer.start();
    const settings::History loaded = settings::loadHistory(QString(), false);
    EXPECT_LT(timer.elapsed(), 2000);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded.at(10).id, "123456");
    EXPECT_EQ(loaded.at(0).id, "999999"); // a time that is not a number reads as 0
}

TEST_F(SettingsTest, FirstRunRecordingFolderMovesTheSdkFolderOnce)
{
    const QString base = vtxtest::makeTempDir("rec");
    const QString sdkFolder = base + "/Orvo";
    QDir().mkpath(sdkFolder);
    QFile marker(sdkFolder + "/keep.txt");
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();

    EXPECT_EQ(settings::firstRunRecordingFolder(sdkFolder + "/"), base + "/Veltrex");
    EXPECT_TRUE(QFileInfo::exists(base + "/Veltrex/keep.txt"));
    EXPECT_FALSE(QFileInfo::exists(sdkFolder));
    EXPECT_EQ(settings::firstRunRecordingFolder(base + "/Veltrex"), QString());
}

TEST_F(SettingsTest, FirstRunRecordingFolderIsCreatedWhenTheSdkFolderIsMissing)
{
    const QString base = vtxtest::makeTempDir("rec");
    EXPECT_EQ(settings::firstRunRecordingFolder(base + "/missing"), base + "/Veltrex");
    EXPECT_TRUE(QFileInfo(base + "/Veltrex").isDir());
}

TEST_F(SettingsTest, FirstRunRecordingFolderWaitsForAnAbsoluteSdkFolder)
{
    // Neither a folder named "Veltrex" in the working folder nor one at the top of the file system.
    const QString cwd = QDir::currentPath();
    for (const QString& bad : {QString(), QString("  "), QString("relative/Orvo"), QString("/")}) {
        EXPECT_EQ(settings::firstRunRecordingFolder(bad), QString()) << bad.toStdString();
        EXPECT_FALSE(QFileInfo::exists(cwd + "/Veltrex"));
    }
    EXPECT_FALSE(QFileInfo::exists("/Veltrex"));
    // The step was not used up by them.
    const QString base = vtxtest::makeTempDir("rec");
    EXPECT_EQ(settings::firstRunRecordingFolder(base + "/Orvo"), base + "/Veltrex");
}

TEST(ProgramVersion, HasFourNumbers)
{
    EXPECT_EQ(settings::programVersionText(), "1.5.0.0");
}

} // namespace
