// Passes of the recordings scanner over real folders in a temporary root.
#include "recordings/VideoFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "recordings/FolderTree.h"
#include "support/TestEnvironment.h"

namespace {

const std::string kOwner = "alice@vtx.local";
const char kWeekly[] = "2020-01-31 14.30.00 Weekly sync 12345678901";

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(data);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class ScannerPass : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // No worker: the tests drive the passes.
        m_root = vtxtest::makeTempDir("recordings").toStdString();
        m_scanner.setOwner(kOwner);
        m_scanner.setRootFolder(m_root);
    }

    // A recording folder; owner "" leaves account.ini out.
    QString recording(const std::string& name, const QByteArray& owner, bool finished)
    {
        const QString folder = qs(m_root) + '/' + QString::fromUtf8(name.c_str());
        EXPECT_TRUE(QDir().mkpath(folder));
        if (!owner.isNull())
            writeFile(folder + "/account.ini", owner);
        if (finished)
            finish(folder);
        return folder;
    }
    static void finish(const QString& folder) { writeFile(folder + "/playback.m3u", "#EXTM3U\n"); }

    std::vector<VideoRecord> pass()
    {
        m_scanner.rescan();
        std::vector<VideoRecord> out;
        while (auto r = m_scanner.takeNextRecord())
            out.push_back(*r);
        return out;
    }
    std::vector<std::string> gone()
    {
        std::vector<std::string> out;
        while (auto p = m_scanner.takeGonePath())
            out.push_back(*p);
        return out;
    }

    std::string m_root;
    VideoFolder m_scanner;
};

TEST_F(ScannerPass, ListsAFinishedRecordingOnceAndOnlyFromThePassAfterItWasFirstSeen)
{
    recording(kWeekly, QByteArray::fromStdString(kOwner), true);
    QSignalSpy finished(&m_scanner, &VideoFolder::notifyVideoFinished);
    EXPECT_TRUE(pass().empty());
    const auto second = pass();
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].topic, "Weekly sync");
    EXPECT_EQ(second[0].dateTime, "2020-01-31 14:30:00");
    EXPECT_EQ(second[0].path, m_root + "/" + kWeekly);
    EXPECT_TRUE(pass().empty());
    EXPECT_TRUE(finished.wait(2000));
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(ScannerPass, ClaimsAnUnownedFolderAndListsItWhenItsConversionEnds)
{
    const QString folder = recording("2021-02-03 09.05.00 Design review 987654321", QByteArray(), false);
    EXPECT_TRUE(pass().empty());
    // The owner's name exactly, with no line end.
    EXPECT_EQ(readFile(folder + "/account.ini"), QByteArray::fromStdString(kOwner));
    EXPECT_TRUE(pass().empty());
    EXPECT_TRUE(pass().empty());
    finish(folder);
    const auto records = pass();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].topic, "Design review");
}

TEST_F(ScannerPass, FoldersOfOtherUsersAreNeverListedNorTouched)
{
    const QByteArray bob = "bob@vtx.local\nnotes";
    const QString theirs = recording("2020-01-01 10.00.00 Theirs 111", bob, true);
    recording("2020-01-01 10.00.01 Prefix 112", QByteArray::fromStdString(kOwner) + "x", true);
    recording("2020-01-01 10.00.02 Shorter 113", QByteArray::fromStdString(kOwner).left(5), true);
    recording("2020-01-01 10.00.03 Empty 114", "", true);
    recording("2020-01-01 10.00.04 Binary 115", QByteArray("\0\xff\xfe\n", 4), true);
    QByteArray huge = QByteArray::fromStdString(kOwner);
    huge.append(QByteArray(1 << 20, 'z'));
    recording("2020-01-01 10.00.05 Huge 116", huge, true);
    // Only the first line counts, even when the rest is a megabyte.
    QByteArray mineWithMore = QByteArray::fromStdString(kOwner) + "\n" + QByteArray(1 << 20, '\0');
    recording("2020-01-01 10.00.06 Mine 117", mineWithMore, true);

    for (int i = 0; i < 3; ++i) {
        const auto records = pass();
        if (i == 1) {
            ASSERT_EQ(records.size(), 1u);
            EXPECT_EQ(records[0].topic, "Mine");
        } else {
            EXPECT_TRUE(records.empty());
        }
    }
    EXPECT_EQ(readFile(theirs + "/account.ini"), bob);
    EXPECT_EQ(readFile(qs(m_root) + "/2020-01-01 10.00.03 Empty 114/account.ini"), QByteArray());
}

TEST_F(ScannerPass, NamesAreSplitIntoDateTimeTopicAndNumber)
{
    // Fewer than four parts never make a record, however often they are seen.
    recording("2020-01-31", QByteArray::fromStdString(kOwner), true);
    recording("2020-01-31 14.30.00", QByteArray::fromStdString(kOwner), true);
    recording("2020-01-31 14.30.01 12345678901", QByteArray::fromStdString(kOwner), true);
    recording("2020-01-31  14.30.02   Room   101  12345678901 ", QByteArray::fromStdString(kOwner), true);
    recording("2020-01-31 14.30.03 a b c d e f g 12345678901", QByteArray::fromStdString(kOwner), true);
    recording(u8"2020-01-31 14.30.04 周会 产品 12345678901", QByteArray::fromStdString(kOwner), true);
    pass();
    std::map<std::string, std::string> topics;
    for (const VideoRecord& r : pass())
        topics[r.dateTime] = r.topic;
    EXPECT_TRUE(pass().empty());
    const std::map<std::string, std::string> expected = {
        {"2020-01-31 14:30:02", "Room 101"}, // a topic ending in a number keeps it
        {"2020-01-31 14:30:03", "a b c d e f g"},
        {"2020-01-31 14:30:04", u8"周会 产品"},
    };
    EXPECT_EQ(topics, expected);

    ASSERT_TRUE(recordFromFolderName("/r/", "d t x 1"));
    EXPECT_EQ(recordFromFolderName("/r/", "d t x 1")->path, "/r/d t x 1");
    EXPECT_FALSE(recordFromFolderName("/r", "   "));
}

TEST_F(ScannerPass, NamesAndLinksNeverLeadOutsideTheRoot)
{
    const QString outside = vtxtest::makeTempDir("outside");
    writeFile(outside + "/account.ini", "precious");
    writeFile(outside + "/playback.m3u", "x");
    QDir().mkpath(outside + "/empty");
    // A link in the root to a folder elsewhere is neither claimed nor listed.
    ASSERT_EQ(symlink(outside.toLocal8Bit().constData(), (m_root + "/2020-01-01 10.00.00 Link 1").c_str()), 0);
    ASSERT_EQ(symlink((outside + "/empty").toLocal8Bit().constData(), (m_root + "/2020-01-01 10.00.01 L2 1").c_str()),
              0);
    // An owner file that is a link to a file elsewhere is not written through nor believed.
    const QString linked = recording("2020-01-01 10.00.02 Planted 1", QByteArray(), true);
    writeFile(outside + "/victim", QByteArray::fromStdString(kOwner));
    ASSERT_EQ(
        symlink((outside + "/victim").toLocal8Bit().constData(), (linked + "/account.ini").toLocal8Bit().constData()),
        0);
    // Control characters and bytes that are not UTF-8.
    recording("2020-01-01 10.00.03 Line\nbreak 1", QByteArray::fromStdString(kOwner), true);
    // (made with the bytes as they are: a QString would turn them into valid replacement characters)
    const std::string bad = m_root + "/2020-01-01 10.00.04 Bad\xff\xfe 1";
    ASSERT_EQ(mkdir(bad.c_str(), 0755), 0);
    for (const char* file : {"/account.ini", "/playback.m3u"}) {
        FILE* f = fopen((bad + file).c_str(), "w");
        ASSERT_NE(f, nullptr);
        fputs(kOwner.c_str(), f);
        fclose(f);
    }
    // A plain file named like a recording.
    writeFile(qs(m_root) + "/2020-01-01 10.00.05 File 1", "x");

    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(pass().empty());
    EXPECT_EQ(readFile(outside + "/account.ini"), "precious");
    EXPECT_FALSE(QFileInfo::exists(outside + "/empty/account.ini"));
    EXPECT_EQ(readFile(outside + "/victim"), QByteArray::fromStdString(kOwner));
    // Only the one planted folder is remembered; nothing unusable grows the map.
    EXPECT_EQ(m_scanner.knownFolderCount(), 1u);

    EXPECT_FALSE(isAcceptableFolderName(".."));
    EXPECT_FALSE(isAcceptableFolderName("a/b"));
    EXPECT_FALSE(isAcceptableFolderName("tab\there"));
    EXPECT_FALSE(isAcceptableFolderName("\xc2\x85"));                  // NEXT LINE, a C1 control
    EXPECT_TRUE(isAcceptableFolderName("2020-01-01 10.00.00 周会 1")); // the topic as typed
    removeFolderTree(bad); // Qt cannot name it to clean up the temporary folder
}

TEST_F(ScannerPass, RootsThatCannotBeListedGiveEmptyPasses)
{
    const QString base = vtxtest::makeTempDir("roots");
    writeFile(base + "/file", "x");
    ASSERT_EQ(symlink((base + "/loop").toLocal8Bit().constData(), (base + "/loop").toLocal8Bit().constData()), 0);
    for (const QString& root : {base + "/missing", base + "/file", base + "/loop", QString()}) {
        m_scanner.setRootFolder(root.toStdString());
        EXPECT_TRUE(pass().empty()) << root.toStdString();
        EXPECT_TRUE(pass().empty()) << root.toStdString();
        EXPECT_EQ(m_scanner.knownFolderCount(), 0u);
    }
    EXPECT_FALSE(QFileInfo::exists(base + "/file/account.ini"));
}

TEST_F(ScannerPass, VanishedOrUnreadableRecordingsLeaveTheListAndTheMap)
{
    const QString a = recording("2020-01-01 10.00.00 Alpha 1", QByteArray::fromStdString(kOwner), true);
    const QString b = recording("2020-01-01 10.00.01 Beta 2", QByteArray::fromStdString(kOwner), true);
    const QString c = recording("2020-01-01 10.00.02 Gamma 3", QByteArray::fromStdString(kOwner), false);
    pass();
    ASSERT_EQ(pass().size(), 2u);
    EXPECT_EQ(m_scanner.knownFolderCount(), 3u);

    QSignalSpy goneSignal(&m_scanner, &VideoFolder::notifyVideoGone);
    ASSERT_TRUE(QDir(a).removeRecursively());
    ASSERT_TRUE(QDir(c).removeRecursively()); // never listed: forgotten without a word
    EXPECT_TRUE(pass().empty());
    EXPECT_EQ(gone(), std::vector<std::string>{a.toStdString()});
    EXPECT_EQ(m_scanner.knownFolderCount(), 1u);
    EXPECT_TRUE(goneSignal.wait(2000));

    // Losing the playlist (or, for other users than root, the right to read) drops it too, and
    // it comes back once it can be played again.
    QFile::remove(b + "/playback.m3u");
    EXPECT_TRUE(pass().empty());
    EXPECT_EQ(gone(), std::vector<std::string>{b.toStdString()});
    finish(b);
    EXPECT_EQ(pass().size(), 1u);
    if (geteuid() != 0) {
        ASSERT_EQ(chmod(b.toLocal8Bit().constData(), 0), 0);
        EXPECT_TRUE(pass().empty());
        EXPECT_EQ(gone(), std::vector<std::string>{b.toStdString()});
        chmod(b.toLocal8Bit().constData(), 0755);
    }

    // A listed folder swapped for a link to a finished recording elsewhere leaves the list.
    const QString elsewhere =
        recording("../elsewhere-2020-01-01 10.00.01 Beta 2", QByteArray::fromStdString(kOwner), true);
    pass();
    pass();
    gone();
    ASSERT_NE(m_scanner.takeNextRecord().has_value(), true);
    ASSERT_TRUE(QDir(b).removeRecursively());
    ASSERT_EQ(symlink(elsewhere.toLocal8Bit().constData(), b.toLocal8Bit().constData()), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(pass().empty());
    EXPECT_EQ(gone(), std::vector<std::string>{b.toStdString()});
    ASSERT_EQ(unlink(b.toLocal8Bit().constData()), 0);

    // The whole root going away (an unmounted drive) empties the list.
    EXPECT_TRUE(gone().empty());
    const QString d = recording("2020-01-01 10.00.03 Delta 4", QByteArray::fromStdString(kOwner), true);
    pass();
    ASSERT_EQ(pass().size(), 1u);
    const std::string moved = m_root + "-unmounted";
    ASSERT_EQ(rename(m_root.c_str(), moved.c_str()), 0);
    pass();
    EXPECT_EQ(gone(), std::vector<std::string>{d.toStdString()});
    EXPECT_EQ(m_scanner.knownFolderCount(), 0u);
    rename(moved.c_str(), m_root.c_str());
}

TEST_F(ScannerPass, ManyShortRecordingsDoNotPileUpInTheMap)
{
    for (int round = 0; round < 5; ++round) {
        std::vector<QString> folders;
        for (int i = 0; i < 20; ++i)
            folders.push_back(recording(QStringLiteral("2020-01-01 10.%1.%2 Short 1")
                                            .arg(round, 2, 10, QChar('0'))
                                            .arg(i, 2, 10, QChar('0'))
                                            .toStdString(),
                                        QByteArray::fromStdString(kOwner), true));
        pass();
        EXPECT_EQ(pass().size(), 20u);
        for (const QString& f : folders)
            QDir(f).removeRecursively();
    }
    pass();
    EXPECT_EQ(m_scanner.knownFolderCount(), 0u);
    EXPECT_EQ(gone().size(), 100u);
}

TEST_F(ScannerPass, AnotherRootOrOwnerStartsAfresh)
{
    const QString mine = recording(kWeekly, QByteArray::fromStdString(kOwner), true);
    pass();
    ASSERT_EQ(pass().size(), 1u);

    // The first-run step renames the SDK's folder: the same names under a new root.
    const std::string renamed = vtxtest::makeTempDir("renamed").toStdString() + "/Veltrex";
    ASSERT_EQ(rename(m_root.c_str(), renamed.c_str()), 0);
    m_scanner.setRootFolder(renamed);
    EXPECT_TRUE(pass().empty());
    EXPECT_EQ(gone(), std::vector<std::string>{m_root + "/" + kWeekly});
    const auto records = pass();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].path, renamed + "/" + kWeekly);

    m_root = renamed;
    m_scanner.setOwner("bob@vtx.local");
    pass();
    EXPECT_EQ(gone(), std::vector<std::string>{renamed + "/" + kWeekly});
    EXPECT_TRUE(pass().empty());
}

TEST(RecordingRemoval, RefusesPathsThatCouldLeaveTheRootAndRemovesWholeTrees)
{
    const QString base = vtxtest::makeTempDir("removal");
    const QString root = base + "/Veltrex";
    const QString rec = root + "/2020-01-01 10.00.00 Topic 1";
    QDir().mkpath(rec + "/sub/deeper");
    writeFile(rec + "/sub/deeper/file", "x");
    writeFile(root + "/keep", "x");
    for (const std::string bad :
         {std::string(), std::string("/"), std::string("relative/folder"), (root + "/..").toStdString(),
          (root + "/./x").toStdString(), (root + "//x").toStdString(), (rec + "/../..").toStdString()}) {
        EXPECT_FALSE(removeRecordingFolder(bad)) << bad;
    }
    EXPECT_TRUE(QFileInfo::exists(rec + "/sub/deeper/file"));
    EXPECT_TRUE(removeRecordingFolder(rec.toStdString() + "/"));
    EXPECT_FALSE(QFileInfo::exists(rec));
    EXPECT_TRUE(QFileInfo::exists(root + "/keep"));
}

} // namespace
