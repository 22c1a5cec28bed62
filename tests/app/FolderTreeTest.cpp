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

// Runs the cleanup tool for home, with a shell command before it (inside its own mount namespace
// when asked) and a limit on open descriptors. Returns the tool's output and the shell's.
struct CleanupRun
{
    bool ran = false;
    int exitCode = -1;
    QString output;
};

CleanupRun
runCleanup(const QString& home, const QString& before, const QString& after, bool ownMounts, int descriptorLimit = 0)
{
    QString script = before;
    if (descriptorLimit > 0)
        script += QStringLiteral(" && ulimit -n %1").arg(descriptorLimit);
    script += QStringLiteral(" && \"$0\"; echo \"exit $?\"; ") + after;
    QStringList args{"-c", script, CLEANUP_BINARY};
    QString program = "sh";
    if (ownMounts) {
        // As a normal user the namespace needs its own user mapping to mount anything.
        args.prepend("sh");
        if (geteuid() != 0)
            args.prepend("-r");
        args.prepend("-m");
        program = "unshare";
    }
    QProcess shell;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home);
    shell.setProcessEnvironment(env);
    shell.setWorkingDirectory(home);
    shell.start(program, args);
    CleanupRun run;
    if (!shell.waitForFinished(20000))
        return run;
    run.ran = shell.exitStatus() == QProcess::NormalExit;
    run.output = QString::fromUtf8(shell.readAllStandardOutput());
    const int at = run.output.indexOf("exit ");
    if (at >= 0)
        run.exitCode = run.output.mid(at + 5).section('\n', 0, 0).toInt();
    return run;
}

bool canMount()
{
    const QString home = vtxtest::makeTempDir("probe");
    QDir().mkpath(home + "/a");
    QProcess probe;
    QStringList args{"-m"};
    if (geteuid() != 0)
        args << "-r";
    args << "sh"
         << "-c" << QStringLiteral("mount -t tmpfs none '%1/a'").arg(home);
    probe.start("unshare", args);
    return probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
}

// A folder mounted under the data folder: its contents live outside it and must survive.
TEST(FolderTree, StopsAtMountPoints)
{
    if (!canMount())
        GTEST_SKIP() << "no private mount namespace here";
    const QString home = vtxtest::makeTempDir("mounts");
    touch(home + "/VTX/inside.txt");
    touch(home + "/VTX/deeper/sub/inside.txt");
    touch(home + "/outside/precious/a.txt");
    QDir().mkpath(home + "/VTX/bound");
    QDir().mkpath(home + "/VTX/deeper/sub/tmp");

    // A bind mount of the same file system has the same st_dev; tmpfs has its own.
    const CleanupRun run = runCleanup(home,
                                      "mount --bind outside VTX/bound && mount -t tmpfs none VTX/deeper/sub/tmp"
                                      " && echo x > VTX/deeper/sub/tmp/kept.txt",
                                      "test -e VTX/deeper/sub/tmp/kept.txt && echo kept", true);
    ASSERT_TRUE(run.ran) << run.output.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(QFileInfo::exists(home + "/outside/precious/a.txt"));
    EXPECT_FALSE(QFileInfo::exists(home + "/VTX/inside.txt"));
    EXPECT_FALSE(QFileInfo::exists(home + "/VTX/deeper/sub/inside.txt"));
    // The mount points themselves stay, and so do the folders holding them.
    EXPECT_TRUE(QFileInfo(home + "/VTX/bound").isDir());
    EXPECT_TRUE(QFileInfo(home + "/VTX/deeper/sub/tmp").isDir());
    // The file on the other file system outlived the tool (seen inside the namespace).
    EXPECT_TRUE(run.output.contains("kept")) << run.output.toStdString();
}

TEST(FolderTree, TreeDeeperThanTheDescriptorLimitGoesWhole)
{
    const QString home = vtxtest::makeTempDir("deep");
    QString path = home + "/VTX";
    for (int i = 0; i < 120; ++i)
        path += "/d";
    touch(path + "/leaf.txt");
    touch(home + "/VTX/d/d/d/side.txt");
    const CleanupRun run = runCleanup(home, "true", "", false, 40);
    ASSERT_TRUE(run.ran) << run.output.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home + "/VTX"));
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
