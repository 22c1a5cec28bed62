// libHttpDL.so, loaded the way VTX loads it: from a folder that also holds the CA bundle.

#include "httpdl/HttpDL.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <atomic>
#include <chrono>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <vector>

#include "HttpsTestServer.h"
#include "platform/WindowMessage.h"
#include "support/TestEnvironment.h"

namespace {

class ProgressReceiver : public QObject
{
public:
    ProgressReceiver() { m_handle = platform::registerWindow(this); }
    ~ProgressReceiver() override { platform::unregisterWindow(m_handle); }

    long long handle() const { return m_handle; }
    bool completed() const { return !values.empty() && values.back() > 100; }

    std::vector<quint64> values;
    int failures = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == platform::WindowMessageEvent::eventType()) {
            const auto* message = static_cast<platform::WindowMessageEvent*>(e);
            if (message->message() == platform::kMsgDownloadProgress) {
                values.push_back(message->wParam());
                if (message->lParam() == kDownloadFailed)
                    ++failures;
            }
            return true;
        }
        return QObject::event(e);
    }

private:
    platform::WindowHandle m_handle = 0;
};

// A private copy of the component beside the given CA bundle.
struct Component
{
    explicit Component(const std::string& caFile)
    {
        folder = vtxtest::makeTempDir(QStringLiteral("httpdl"));
        const QString library = folder + QStringLiteral("/libHttpDL.so");
        if (!QFile::copy(QStringLiteral(VTX_HTTPDL_LIBRARY), library) ||
            !QFile::copy(QString::fromStdString(caFile), folder + QStringLiteral("/curl-ca-bundle.crt")))
            return;
        module = ::dlopen(library.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        if (module) {
            start = reinterpret_cast<DL_StartDownloadFn>(::dlsym(module, "DL_StartDownload"));
            stop = reinterpret_cast<DL_StopDownloadFn>(::dlsym(module, "DL_StopDownload"));
        }
    }
    bool ready() const { return start && stop; }

    QString folder;
    void* module = nullptr;
    DL_StartDownloadFn start = nullptr;
    DL_StopDownloadFn stop = nullptr;
};

Component& trusted()
{
    static Component component(HttpsTestServer::caFile());
    return component;
}

std::string payload(std::size_t size)
{
    std::string data(size, '\0');
    unsigned value = 12345;
    for (char& c : data) {
        value = value * 1103515245u + 12345u;
        c = static_cast<char>(value >> 16);
    }
    return data;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(HttpDownload, ReportsRisingProgressThenCompletionWithTheFileInPlace)
{
    ASSERT_TRUE(trusted().ready());
    const std::string content = payload(400 * 1024);
    HttpsTestServer https;
    https.server().Get("/avatar.png", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(content.size(), "image/png",
                                 [&](size_t offset, size_t length, httplib::DataSink& sink) {
                                     return sink.write(content.data() + offset, std::min<size_t>(length, 16 * 1024));
                                 });
    });
    ASSERT_TRUE(https.start());

    const QString dir = vtxtest::makeTempDir(QStringLiteral("avatar"));
    const QString target = dir + QStringLiteral("/someone.png");
    ProgressReceiver receiver;
    const DownloadHandle handle =
        trusted().start(https.url("/avatar.png").c_str(), target.toStdString().c_str(), "", "", receiver.handle());
    ASSERT_NE(handle, 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return receiver.completed(); }, 15000));

    EXPECT_EQ(receiver.values.back(), 101u);
    for (std::size_t i = 0; i + 1 < receiver.values.size(); ++i) {
        EXPECT_LE(receiver.values[i], 100u);
        if (i > 0)
            EXPECT_LE(receiver.values[i - 1], receiver.values[i]);
    }
    EXPECT_EQ(receiver.values[receiver.values.size() - 2], 100u);
    EXPECT_EQ(readAll(target), QByteArray::fromStdString(content));
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("someone.png")});

    // Stopping a finished download only frees it; the file stays.
    trusted().stop(handle);
    EXPECT_TRUE(QFile::exists(target));
}

TEST(HttpDownload, StopEndsARunningDownloadPromptlyAndLeavesNoPartialFile)
{
    ASSERT_TRUE(trusted().ready());
    std::atomic<bool> serverDone{false};
    const std::string chunk = payload(16 * 1024);
    HttpsTestServer https;
    https.server().Get("/big.bin", [&](const httplib::Request&, httplib::Response& res) {
        // Announces 64 MB and trickles it out, so the download is still running when stopped.
        res.set_content_provider(64u * 1024 * 1024, "application/octet-stream",
                                 [&](size_t, size_t, httplib::DataSink& sink) {
                                     std::this_thread::sleep_for(std::chrono::milliseconds(20));
                                     return !serverDone && sink.write(chunk.data(), chunk.size());
                                 });
    });
    ASSERT_TRUE(https.start());

    const QString dir = vtxtest::makeTempDir(QStringLiteral("stop"));
    const QString target = dir + QStringLiteral("/big.bin");
    ProgressReceiver receiver;
    const DownloadHandle handle =
        trusted().start(https.url("/big.bin").c_str(), target.toStdString().c_str(), "", "", receiver.handle());
    ASSERT_NE(handle, 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !receiver.values.empty(); }, 15000));
    EXPECT_EQ(filesIn(dir).size(), 1); // the partial file, under another name
    EXPECT_FALSE(QFile::exists(target));

    const auto started = std::chrono::steady_clock::now();
    trusted().stop(handle);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    serverDone = true;

    QCoreApplication::processEvents();
    EXPECT_TRUE(filesIn(dir).isEmpty()) << filesIn(dir).join(',').toStdString();
    EXPECT_FALSE(receiver.completed());
    EXPECT_EQ(receiver.failures, 0); // a stop is the caller's own doing
    // A second stop of the same handle is harmless.
    trusted().stop(handle);
}

TEST(HttpDownload, ErrorPageNeverReplacesTheExistingFile)
{
    ASSERT_TRUE(trusted().ready());
    std::atomic<int> hits{0};
    HttpsTestServer https;
    https.server().Get("/missing.png", [&](const httplib::Request&, httplib::Response& res) {
        ++hits;
        res.status = 404;
        res.set_content("<html>not found</html>", "text/html");
    });
    ASSERT_TRUE(https.start());

    const QString dir = vtxtest::makeTempDir(QStringLiteral("notfound"));
    const QString target = dir + QStringLiteral("/old.png");
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old picture");
    }
    ProgressReceiver receiver;
    const DownloadHandle handle =
        trusted().start(https.url("/missing.png").c_str(), target.toStdString().c_str(), "", "", receiver.handle());
    ASSERT_NE(handle, 0u);
    // The attempt is over once its partial file is gone again.
    EXPECT_TRUE(QTest::qWaitFor([&] { return hits > 0 && filesIn(dir).size() == 1; }, 15000));
    trusted().stop(handle);
    QCoreApplication::processEvents();
    EXPECT_FALSE(receiver.completed());
    EXPECT_EQ(readAll(target), QByteArray("old picture"));
}

TEST(HttpDownload, ConnectionLostHalfwayIsReportedAndKeepsTheOldFile)
{
    ASSERT_TRUE(trusted().ready());
    const std::string content = payload(256 * 1024);
    HttpsTestServer https;
    https.server().Get("/setup.deb", [&](const httplib::Request&, httplib::Response& res) {
        // Promises the whole file, sends half of it, then drops the connection.
        res.set_content_provider(content.size(), "application/octet-stream",
                                 [&](size_t offset, size_t length, httplib::DataSink& sink) {
                                     if (offset >= content.size() / 2)
                                         return false;
                                     return sink.write(content.data() + offset, std::min<size_t>(length, 16 * 1024));
                                 });
    });
    ASSERT_TRUE(https.start());

    const QString dir = vtxtest::makeTempDir(QStringLiteral("halfway"));
    const QString target = dir + QStringLiteral("/setup.deb");
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("previous package");
    }
    ProgressReceiver receiver;
    const DownloadHandle handle =
        trusted().start(https.url("/setup.deb").c_str(), target.toStdString().c_str(), "", "", receiver.handle());
    ASSERT_NE(handle, 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return receiver.failures > 0; }, 15000));
    trusted().stop(handle);
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.failures, 1);
    EXPECT_FALSE(receiver.completed());
    EXPECT_EQ(readAll(target), QByteArray("previous package"));
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("setup.deb")});
}

TEST(HttpDownload, UntrustedServerYieldsNoFile)
{
    Component untrusted(HttpsTestServer::wrongCaFile());
    ASSERT_TRUE(untrusted.ready());
    std::atomic<int> hits{0};
    HttpsTestServer https;
    https.server().Get("/a.png", [&](const httplib::Request&, httplib::Response& res) {
        ++hits;
        res.set_content("png", "image/png");
    });
    ASSERT_TRUE(https.start());

    const QString dir = vtxtest::makeTempDir(QStringLiteral("untrusted"));
    ProgressReceiver receiver;
    const DownloadHandle handle = untrusted.start(
        https.url("/a.png").c_str(), (dir + QStringLiteral("/a.png")).toStdString().c_str(), "", "", receiver.handle());
    ASSERT_NE(handle, 0u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return filesIn(dir).isEmpty(); }, 15000));
    untrusted.stop(handle);
    QCoreApplication::processEvents();
    EXPECT_FALSE(receiver.completed());
    EXPECT_EQ(hits, 0);
}

TEST(HttpDownload, UnusableArgumentsAndHandlesAreRefused)
{
    ASSERT_TRUE(trusted().ready());
    const QString dir = vtxtest::makeTempDir(QStringLiteral("args"));
    const std::string target = (dir + QStringLiteral("/x.png")).toStdString();
    EXPECT_EQ(trusted().start("", target.c_str(), "", "", 0), 0u);
    EXPECT_EQ(trusted().start(nullptr, target.c_str(), "", "", 0), 0u);
    EXPECT_EQ(trusted().start("https://127.0.0.1:1/x.png", "", "", "", 0), 0u);
    EXPECT_EQ(trusted().start("https://127.0.0.1:1/x.png", (dir + "/no/such/folder/x.png").toStdString().c_str(),
                              nullptr, nullptr, 0),
              0u);
    EXPECT_TRUE(filesIn(dir).isEmpty());
    trusted().stop(0);
    trusted().stop(12345);
}
