#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QUrl>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

#include "platform/Clipboard.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "platform/Tick.h"
#include "support/TestEnvironment.h"

namespace {

TEST(Tick, IsMonotonicMilliseconds)
{
    QElapsedTimer timer;
    timer.start();
    const std::uint32_t start = platform::tickCount();
    std::uint32_t previous = start;
    // Busy-wait on the clock itself, not a sleep: 30 ms must pass on both clocks alike.
    while (timer.elapsed() < 30) {
        const std::uint32_t now = platform::tickCount();
        ASSERT_LE(static_cast<std::uint32_t>(now - previous), 1000u) << "went backwards or jumped";
        previous = now;
    }
    const std::uint32_t elapsed = platform::tickCount() - start;
    EXPECT_GE(elapsed, 29u);
    EXPECT_LT(elapsed, 1000u);
}

TEST(Paths, FollowXdgFolders)
{
    EXPECT_EQ(platform::appDataFolder(), vtxtest::configHome());
    EXPECT_EQ(platform::dataFolder(), vtxtest::configHome() + QStringLiteral("/VTX/"));
    EXPECT_TRUE(platform::programFolder().endsWith(QLatin1Char('/')));
    EXPECT_TRUE(QFile::exists(platform::programFolder() + QStringLiteral("platform_tests")));

    const QString runtime = platform::runtimeFolder();
    EXPECT_EQ(runtime, vtxtest::runtimeDir() + QStringLiteral("/VTX"));
    struct stat st
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(runtime).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "relative/path");
    EXPECT_EQ(platform::appDataFolder(), QDir::homePath() + QStringLiteral("/.config"))
        << "relative values are ignored";
    qputenv("XDG_CONFIG_HOME", saved);

    const QString nested = vtxtest::makeTempDir(QStringLiteral("paths")) + QStringLiteral("/a/b/c");
    EXPECT_TRUE(platform::ensureFolder(nested));
    EXPECT_TRUE(QDir(nested).exists());
    EXPECT_FALSE(platform::ensureFolder(QString()));
}

TEST(Clipboard, SetsTextOnlyFromTheGuiThread)
{
    ASSERT_TRUE(platform::setClipboardText(QString::fromUtf8("https://meet.example/j/123 会议")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("https://meet.example/j/123 会议"));
    bool fromWorker = true;
    std::thread worker([&] { fromWorker = platform::setClipboardText(QStringLiteral("x")); });
    worker.join();
    EXPECT_FALSE(fromWorker);
}

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

TEST(Shell, OpensPathsAsFilesAndAddressesAsUrls)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    EXPECT_TRUE(platform::shellOpen(QStringLiteral("/tmp/rec 2024#1?/playback.m3u")));
    EXPECT_TRUE(platform::shellOpen(QStringLiteral("https://example.com/download?v=1.5")));
    EXPECT_FALSE(platform::shellOpen(QStringLiteral("  ")));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(catcher.urls[0].toLocalFile(), QStringLiteral("/tmp/rec 2024#1?/playback.m3u"));
    EXPECT_EQ(catcher.urls[1], QUrl(QStringLiteral("https://example.com/download?v=1.5")));
}

} // namespace

#include "SystemTest.moc"
