// The request helper end to end: CHTTPUtil bound to a folder holding the components and a CA,
// talking to an in-process HTTPS server.

#include "net/ServiceRequest.h"

#include <QFile>
#include <atomic>
#include <chrono>
#include <cjson/cJSON.h>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

#include "HttpsTestServer.h"
#include "net/CHTTPUtil.h"
#include "support/TestEnvironment.h"

namespace {

// A program folder with the given components and CA bundle.
QString makeProgramFolder(bool withClient, bool withDownload, const std::string& caFile)
{
    const QString folder = vtxtest::makeTempDir(QStringLiteral("program")) + QLatin1Char('/');
    if (withClient)
        QFile::copy(QStringLiteral(VTX_HTTPCLIENT_LIBRARY), folder + QStringLiteral("libHttpClient.so"));
    if (withDownload)
        QFile::copy(QStringLiteral(VTX_HTTPDL_LIBRARY), folder + QStringLiteral("libHttpDL.so"));
    if (!caFile.empty())
        QFile::copy(QString::fromStdString(caFile), folder + QStringLiteral("curl-ca-bundle.crt"));
    return folder;
}

const QString& trustedFolder()
{
    static const QString folder = makeProgramFolder(true, true, HttpsTestServer::caFile());
    return folder;
}

// One server per test; the answer of each path is whatever the test sets.
class ServiceRequest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CHTTPUtil::Instance()->Rebind(trustedFolder());
        auto record = [this](const httplib::Request& req, httplib::Response& res) {
            if (req.path == "/hang") {
                // Bounded, so a failing test cannot block the server's shutdown for long.
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                while (!m_release && std::chrono::steady_clock::now() < deadline)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_hits;
            m_last = req;
            res.set_content(m_answer, "application/json");
        };
        m_https.server().Get(".*", record);
        m_https.server().Post(".*", record);
        ASSERT_TRUE(m_https.start());
        qputenv("VTX_SERVICE_HOST", QByteArray::fromStdString(m_https.host()));
    }

    void TearDown() override
    {
        m_release = true;
        // Handlers write into the fixture, so the server ends before the members it uses.
        m_https.stop();
        qunsetenv("VTX_SERVICE_HOST");
        net::setRequestTimeouts(0, 0);
    }

    void answer(std::string body)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answer = std::move(body);
    }
    httplib::Request last()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_last;
    }
    int hits()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_hits;
    }

    HttpsTestServer m_https;
    std::mutex m_mutex;
    std::string m_answer = R"({"code":"200"})";
    httplib::Request m_last;
    int m_hits = 0;
    std::atomic<bool> m_release{false};
};

} // namespace

TEST_F(ServiceRequest, HostIdWithQuerySyntaxCannotAddParameters)
{
    answer(R"({"password":"123456"})");
    EXPECT_EQ(net::queryMeetingPassword(QStringLiteral("a&id=1"), 5), std::optional<std::string>("123456"));
    const httplib::Request req = last();
    EXPECT_EQ(req.path, "/api/orvo/user/QueryListMetting");
    EXPECT_EQ(req.params.size(), 2u);
    EXPECT_EQ(req.get_param_value("host_id"), "a&id=1");
    EXPECT_EQ(req.get_param_value("id"), "5");
}

TEST_F(ServiceRequest, EmptyHostIdStillSends)
{
    answer(R"({"password":""})");
    EXPECT_EQ(net::queryMeetingPassword(QString(), 9876543210ull), std::optional<std::string>(""));
    ASSERT_EQ(hits(), 1);
    const httplib::Request req = last();
    EXPECT_EQ(req.target, "/api/orvo/user/QueryListMetting?host_id=&id=9876543210");
    EXPECT_TRUE(req.has_param("host_id"));
    EXPECT_EQ(req.get_param_value("host_id"), "");
}

TEST_F(ServiceRequest, PasswordLookupAcceptsOnlyAStringInAnyCase)
{
    struct Case
    {
        std::string answer;
        std::optional<std::string> password;
    };
    const Case cases[] = {
        {R"({"Password":"Abc"})", "Abc"},
        {R"({"code":"500","password":"kept"})", "kept"}, // this endpoint's code is not judged
        {R"({"password":""})", ""},
        {R"({"password":123456})", std::nullopt},
        {R"({"password":null})", std::nullopt},
        {R"({"data":{"password":"nested"}})", std::nullopt},
        {R"({"password":"cut)", std::nullopt},
        {"not json", std::nullopt},
        {"", std::nullopt},
        {R"({"password":")" + std::string(httpclient::kMaxResponseBytes, 'p') + "\"}", std::nullopt},
    };
    for (const auto& c : cases) {
        answer(c.answer);
        EXPECT_EQ(net::queryMeetingPassword(QStringLiteral("host"), 1), c.password) << c.answer.substr(0, 40);
    }
}

TEST_F(ServiceRequest, JsonBodyWithAwkwardTextArrivesWellFormed)
{
    answer(R"({"code":"200","data":{"id":"77"}})");
    const std::string topic = "Q3 \"review\" C:\\share\n\ttab \x01 会议";
    const net::Reply reply = net::postJson("/api/qzMeetings/meetings/send_email",
                                           net::JsonBody().add("topic", topic).add("meetings_id", "5").text(),
                                           {{"email", "a@x.cn;b&c@y.cn"}});
    EXPECT_TRUE(reply.ok());
    EXPECT_EQ(reply.dataString("id"), std::optional<std::string>("77"));

    const httplib::Request req = last();
    EXPECT_EQ(req.method, "POST");
    EXPECT_EQ(req.get_param_value("email"), "a@x.cn;b&c@y.cn");
    EXPECT_EQ(req.get_header_value("Content-Type").rfind("application/json", 0), 0u);
    const net::Reply sent = net::Reply::fromBody(req.body);
    ASSERT_EQ(sent.state(), net::Reply::State::Parsed) << req.body;
    EXPECT_EQ(sent.string("topic"), std::optional<std::string>(topic));
}

TEST_F(ServiceRequest, FieldRequestCarriesTheFields)
{
    answer(R"({"code":"200","data":"https://s.example/abc"})");
    const net::Reply reply =
        net::postFields("/api/qzMeetings/meetings/get_meetings_short_links", {{"meetings_id", "-1"}});
    EXPECT_TRUE(reply.ok());
    EXPECT_EQ(reply.dataText(), std::optional<std::string>("https://s.example/abc"));
    const httplib::Request req = last();
    EXPECT_EQ(req.get_header_value("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(req.body, "meetings_id=-1");
}

TEST_F(ServiceRequest, ErrorEnvelopeKeepsTheServiceMessage)
{
    answer(R"({"code":"403","msg":"旧密码错误"})");
    const net::Reply reply = net::postFields("/api/qzMeetings/user/set_user.do", {{"user_id", "1"}});
    EXPECT_EQ(reply.state(), net::Reply::State::Parsed);
    EXPECT_FALSE(reply.ok());
    EXPECT_EQ(reply.msg(), "旧密码错误");
}

TEST_F(ServiceRequest, HugeAnswerIsAFailedRequest)
{
    answer(R"({"code":"200","msg":")" + std::string(httpclient::kMaxResponseBytes, 'g') + "\"}");
    const net::Reply reply = net::getJson("/api/upgrade/newVersion.do");
    EXPECT_EQ(reply.state(), net::Reply::State::NoAnswer);
    EXPECT_FALSE(reply.ok());
    EXPECT_EQ(hits(), 1);
}

TEST_F(ServiceRequest, ServerThatNeverAnswersEndsAsNoAnswer)
{
    net::setRequestTimeouts(1000, 800);
    const auto started = std::chrono::steady_clock::now();
    const net::Reply reply = net::getJson("/hang");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_EQ(reply.state(), net::Reply::State::NoAnswer);
}

TEST_F(ServiceRequest, UntrustedServerGetsNoRequest)
{
    CHTTPUtil::Instance()->Rebind(makeProgramFolder(true, false, HttpsTestServer::wrongCaFile()));
    EXPECT_EQ(net::getJson("/api/x").state(), net::Reply::State::NoAnswer);
    EXPECT_FALSE(net::queryMeetingPassword(QStringLiteral("h"), 1));
    EXPECT_EQ(hits(), 0);
}

TEST_F(ServiceRequest, MissingComponentsMakeRequestsInert)
{
    CHTTPUtil* util = CHTTPUtil::Instance();
    util->Rebind(makeProgramFolder(false, false, HttpsTestServer::caFile()));
    EXPECT_EQ(util->CreateClient(), nullptr);
    EXPECT_EQ(net::getJson("/api/x").state(), net::Reply::State::NotSent);
    EXPECT_EQ(net::postJson("/api/x", "{}").state(), net::Reply::State::NotSent);
    EXPECT_EQ(net::postFields("/api/x", {{"a", "b"}}).state(), net::Reply::State::NotSent);
    EXPECT_FALSE(net::queryMeetingPassword(QStringLiteral("h"), 1));
    EXPECT_FALSE(util->CanDownload());
    EXPECT_EQ(util->StartDownload(m_https.url("/a.png"), "/tmp/never-written.png", 0), 0u);
    util->StopDownload(1234);
    EXPECT_EQ(hits(), 0);
}

TEST_F(ServiceRequest, LibraryWithoutTheEntryPointsIsInert)
{
    // The download component under the client's name: it loads, but exports the wrong functions.
    const QString folder = makeProgramFolder(false, false, HttpsTestServer::caFile());
    ASSERT_TRUE(QFile::copy(QStringLiteral(VTX_HTTPDL_LIBRARY), folder + QStringLiteral("libHttpClient.so")));
    CHTTPUtil::Instance()->Rebind(folder);
    EXPECT_EQ(net::getJson("/api/x").state(), net::Reply::State::NotSent);
    EXPECT_FALSE(CHTTPUtil::Instance()->CanDownload());
    EXPECT_EQ(hits(), 0);
}

TEST_F(ServiceRequest, CaFileAndFolderFollowTheBinding)
{
    CHTTPUtil* util = CHTTPUtil::Instance();
    EXPECT_EQ(util->Folder(), trustedFolder());
    EXPECT_EQ(util->CaFile(), (trustedFolder() + QStringLiteral("curl-ca-bundle.crt")).toStdString());
    EXPECT_TRUE(util->CanDownload());
    EXPECT_TRUE(ProgramFolder().endsWith(QLatin1Char('/')));
}
