#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace vtxtest {
namespace {
std::unique_ptr<QTemporaryDir> g_root;
} // namespace

QString configHome()
{
    return g_root->filePath("config");
}
QString runtimeDir()
{
    return g_root->filePath("runtime");
}

QString makeTempDir(const QString& name)
{
    static int counter = 0;
    const QString path = g_root->filePath(QStringLiteral("tmp/%1-%2").arg(name).arg(++counter));
    QDir().mkpath(path);
    return path;
}

void initEnvironment()
{
    g_root = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/vtxtest-XXXXXX");
    QDir().mkpath(configHome());
    QDir().mkpath(runtimeDir());
    QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A home of its own too: the SDK stand-in records into ~/Documents, and signing in moves
    // that folder; neither may happen to the real user's files.
    const QString home = g_root->filePath("home");
    QDir().mkpath(home);
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", configHome().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtimeDir().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

int runTests(int argc, char** argv)
{
    initEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    int rc = 0;
    {
        QApplication app(argc, argv);
        rc = RUN_ALL_TESTS();
    }
    g_root.reset();
    return rc;
}

} // namespace vtxtest
