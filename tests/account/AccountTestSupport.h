#pragma once
// Shared by the account tests: a program folder whose CA bundle trusts both vtx-service and the
// in-process test server, a vtx-service per test, and the service's admin switch for the version.

#include <QFile>
#include <QString>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>

#include "HttpsTestServer.h"
#include "base/Localization.h"
#include "net/CHTTPUtil.h"
#include "net/ServiceRequest.h"
#include "platform/Paths.h"
#include "service/ServiceClient.h"
#include "support/TestEnvironment.h"
#include "support/VtxService.h"

namespace accounttest {

inline QString programFolder()
{
    static const QString folder = [] {
        const QString dir = vtxtest::makeTempDir(QStringLiteral("program")) + QLatin1Char('/');
        QFile::copy(QStringLiteral(VTX_HTTPCLIENT_LIBRARY), dir + QStringLiteral("libHttpClient.so"));
        QFile::copy(QStringLiteral(VTX_HTTPDL_LIBRARY), dir + QStringLiteral("libHttpDL.so"));
        QFile bundle(dir + QStringLiteral("curl-ca-bundle.crt"));
        if (bundle.open(QIODevice::WriteOnly)) {
            for (const std::string& ca : {vtxtest::VtxService::CaFile(), HttpsTestServer::caFile()}) {
                QFile part(QString::fromStdString(ca));
                if (part.open(QIODevice::ReadOnly))
                    bundle.write(part.readAll() + '\n');
            }
        }
        return dir;
    }();
    return folder;
}

inline void bindComponents()
{
    CHTTPUtil::Instance()->Rebind(programFolder());
}

// Loads a language pack from beside the test program (0 Chinese, 1 English).
inline bool loadLanguage(int id)
{
    Localization::Instance()->resetForTest();
    return Localization::Instance()->Load(id, platform::programFolder() + (id == 1 ? "en_US.ini" : "zh_CN.ini")) == 0;
}

// A vtx-service of the test's own, made the client's service host.
class ServiceFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The sanitized service hashes a password through thousands of small allocations; with the
        // slow unwinder each hash takes seconds on a busy machine, longer than a client may wait.
        const QByteArray asan = qgetenv("ASAN_OPTIONS");
        qputenv("ASAN_OPTIONS", asan + (asan.isEmpty() ? "" : ":") + "fast_unwind_on_malloc=1");
        m_service = std::make_unique<vtxtest::VtxService>();
        qputenv("ASAN_OPTIONS", asan);
        ASSERT_TRUE(m_service->Ok()) << m_service->Error();
        qputenv("VTX_SERVICE_HOST", QByteArray::fromStdString(m_service->HostPort()));
        ASSERT_TRUE(loadLanguage(1));
    }
    void TearDown() override { qunsetenv("VTX_SERVICE_HOST"); }

    // Changes the version answer; members left out keep their value.
    void answerVersion(const std::string& version,
                       const std::string& force,
                       const std::string& url = "https://127.0.0.1/vtx.deb",
                       const std::string& tips = "")
    {
        servicetest::Client admin(*m_service);
        const std::string body = "{\"app_version_new\":" + servicetest::Quote(version) +
                                 ",\"force_update\":" + servicetest::Quote(force) +
                                 ",\"url\":" + servicetest::Quote(url) + ",\"tips\":" + servicetest::Quote(tips) + "}";
        ASSERT_EQ(admin.PostJson("/admin/version", body).Code(), "200");
    }

    std::unique_ptr<vtxtest::VtxService> m_service;
};

// A service that answers every POST with a body that is not JSON and holds the profile request
// until the test ends (20 s at the most), as a broken gateway would.
class BrokenServiceFixture : public ::testing::Test
{
protected:
    BrokenServiceFixture(std::string body, std::string type)
        : m_body(std::move(body))
        , m_type(std::move(type))
    {}
    void SetUp() override
    {
        auto handle = [this](const httplib::Request& req, httplib::Response& res) {
            if (req.path == "/api/qzMeetings/user/get_user_qz") {
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                while (!m_release && std::chrono::steady_clock::now() < deadline)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            res.set_content(m_body, m_type.c_str());
        };
        m_https.server().Post(".*", handle);
        ASSERT_TRUE(m_https.start());
        qputenv("VTX_SERVICE_HOST", QByteArray::fromStdString(m_https.host()));
    }
    void TearDown() override
    {
        m_release = true;
        m_https.stop();
        qunsetenv("VTX_SERVICE_HOST");
        net::setRequestTimeouts(0, 0);
    }

    const std::string m_body;
    const std::string m_type;
    HttpsTestServer m_https;
    std::atomic<bool> m_release{false};
};

} // namespace accounttest
