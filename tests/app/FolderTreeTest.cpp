#include "recordings/FolderTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TestEnvironment.h"

namespace {

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("x");
}

TEST(FolderTree, RemovesNestedFolders)
{
    const QString root = vtxtest::makeTempDir("tree") + "/VTX";
    touch(root + "/config.ini");
    touch(root + "/a/b/c/d/deep.txt");
    touch(root + "/a/.hidden");
    QDir().mkpath(root + "/empty/inner");
    removeFolderTree(root.toStdString());
    EXPECT_FALSE(QFileInfo::exists(root));
}

TEST(FolderTree, MissingFolderIsNoError)
{
    const QString root = vtxtest::makeTempDir("tree") + "/none";
    removeFolderTree(root.toStdString());
    removeFolderTree("");
    EXPECT_FALSE(QFileInfo::exists(root));
}

TEST(FolderTree, SymbolicLinksAreRemovedNotFollowed)
{
    const QString base = vtxtest::makeTempDir("tree");
    touch(base + "/outside/precious.txt");
    touch(base + "/VTX/inside.txt");
    ASSERT_EQ(symlink((base + "/outside").toLocal8Bit().constData(), (base + "/VTX/link").toLocal8Bit().constData()),
              0);
    ASSERT_EQ(symlink((base + "/outside/precious.txt").toLocal8Bit().constData(),
                      (base + "/VTX/filelink").toLocal8Bit().constData()),
              0);
    removeFolderTree((base + "/VTX").toStdString());
    EXPECT_FALSE(QFileInfo::exists(base + "/VTX"));
    EXPECT_TRUE(QFileInfo::exists(base + "/outside/precious.txt"));

    // The folder itself given as a link: only the link goes.
    ASSERT_EQ(symlink((base + "/outside").toLocal8Bit().constData(), (base + "/alias").toLocal8Bit().constData()), 0);
    removeFolderTree((base + "/alias").toStdString());
    EXPECT_FALSE(QFileInfo(base + "/alias").isSymLink());
    EXPECT_TRUE(QFileInfo::exists(base + "/outside/precious.txt"));
}

TEST(FolderTree, UndeletableEntryKeepsItsFoldersAndTheRestGoes)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may delete anything";
    const QString root = vtxtest::makeTempDir("tree") + "/VTX";
    touch(root + "/locked/keep.txt");
    touch(root + "/other/gone.txt");
    touch(root + "/gone.txt");
    chmod((root + "/locked").toLocal8Bit().constData(), 0555);
    removeFolderTree(root.toStdString());
    EXPECT_TRUE(QFileInfo::exists(root + "/locked/keep.txt"));
    EXPECT_FALSE(QFileInfo::exists(root + "/other"));
    EXPECT_FALSE(QFileInfo::exists(root + "/gone.txt"));
    chmod((root + "/locked").toLocal8Bit().constData(), 0755);
}

TEST(CleanupTool, RemovesTheDataFolderAndExitsZero)
{
    const QString home = vtxtest::makeTempDir("cleanup");
    touch(home + "/VTX/config.ini");
    touch(home + "/VTX/user@example.com.ini");
    touch(home + "/VTX/sub/dir/file");
    touch(home + "/other/keep.txt");
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home);
    tool.setProcessEnvironment(env);
    tool.start(CLEANUP_BINARY, {"ignored", "arguments"});
    ASSERT_TRUE(tool.waitForFinished(10000));
    EXPECT_EQ(tool.exitCode(), 0);
    EXPECT_TRUE(tool.readAll().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(home + "/VTX"));
    EXPECT_TRUE(QFileInfo::exists(home + "/other/keep.txt"));

    tool.start(CLEANUP_BINARY, QStringList());
    ASSERT_TRUE(tool.waitForFinished(10000));
    EXPECT_EQ(tool.exitCode(), 0);
}

} // namespace
