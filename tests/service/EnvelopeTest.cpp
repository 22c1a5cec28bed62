// Answer envelope, bad input and process behaviour of vtx-service.

#include <cstdlib>
#include <gtest/gtest.h>

#include "ServiceClient.h"
#include "support/TestEnvironment.h"

using namespace servicetest;
using vtxtest::VtxService;

namespace {

class Envelope : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_service.Ok()) << m_service.Error(); }
    VtxService m_service;
    Client m_client{m_service};
};

} // namespace

TEST_F(Envelope, UnknownPathIsJson404)
{
    const Answer a = m_client.Get("/api/does/not/exist");
    EXPECT_EQ(a.status, 404);
    ASSERT_TRUE(a.json) << a.body;
    EXPECT_EQ(a.Code(), "404");
    EXPECT_NE(a.Msg().find("/api/does/not/exist"), std::string::npos);
}

TEST_F(Envelope, WrongMethodOnKnownPathIs405)
{
    const Answer a = m_client.Get("/api/upgrade/newVersion.do");
    EXPECT_EQ(a.status, 405);
    EXPECT_EQ(a.Code(), "405");
}

TEST_F(Envelope, MalformedJsonAndNonObjectBodiesAre400)
{
    for (const char* body : {"{", "", "[1,2]", "\"text\"", "{\"phoneNumber\":\"13800000000\"} trailing", "nul"}) {
        const Answer a = m_client.PostJson("/api/orvo/user/GetVerificationCode.do", body);
        EXPECT_EQ(a.status, 200) << body;
        EXPECT_EQ(a.Code(), "400") << body;
        EXPECT_FALSE(a.Msg().empty()) << body;
    }
}

TEST_F(Envelope, WronglyTypedOrMissingFieldIsNamedInMessage)
{
    Answer a = m_client.PostJson("/api/orvo/user/GetVerificationCode.do", "{\"phoneNumber\":13800000000}");
    EXPECT_EQ(a.Code(), "400");
    EXPECT_NE(a.Msg().find("phoneNumber"), std::string::npos) << a.Msg();
    a = m_client.PostJson("/api/upgrade/newVersion.do", "{\"pv\":\"windows\",\"app_id\":\"qzvlt-003\"}");
    EXPECT_EQ(a.Code(), "400");
    EXPECT_NE(a.Msg().find("version"), std::string::npos) << a.Msg();
}

TEST_F(Envelope, OversizeBodyIsRejectedWith413)
{
    const std::string big = "{\"phoneNumber\":\"" + std::string(300 * 1024, '1') + "\"}";
    const Answer a = m_client.PostJson("/api/orvo/user/GetVerificationCode.do", big);
    EXPECT_EQ(a.status, 413);
    EXPECT_EQ(a.Code(), "413");
    // Just under the limit is still read and answered on its merits.
    const std::string fits = "{\"phoneNumber\":\"" + std::string(200 * 1024, '1') + "\"}";
    EXPECT_EQ(m_client.PostJson("/api/orvo/user/GetVerificationCode.do", fits).Code(), "400");
}

TEST_F(Envelope, CodeIsAlwaysAString)
{
    const Answer a = m_client.PostJson("/api/upgrade/newVersion.do",
                                       "{\"pv\":\"windows\",\"app_id\":\"qzvlt-003\",\"version\":\"1.5.0\"}");
    ASSERT_TRUE(a.json);
    EXPECT_TRUE(cJSON_IsString(cJSON_GetObjectItemCaseSensitive(a.json.get(), "code")));
    EXPECT_EQ(a.Code(), "200");
}

TEST_F(Envelope, TrickyTextRoundTripsExactly)
{
    const auto session = m_client.SignInDemo();
    const std::string tricky = "He said \"hi\" \\ back\\slash \t tab \n newline \x01\x1f ctrl "
                               "'); DROP TABLE items; -- 会议主题 😀";
    const Answer created = m_client.PostJson("/sdk/items", "{\"topic\":" + Quote(tricky) + "}", session);
    ASSERT_EQ(created.Code(), "200") << created.body;
    EXPECT_EQ(created.DataStr("topic"), tricky);
    const int64_t id = static_cast<int64_t>(created.DataNum("meeting_id"));
    const Answer again = m_client.Get("/sdk/items/" + std::to_string(id), session);
    EXPECT_EQ(again.DataStr("topic"), tricky);
    // The table survived the SQL fragment.
    EXPECT_EQ(m_client.Get("/sdk/items", session).Code(), "200");
}

TEST(ServiceProcess, StopsCleanlyOnSigtermAndKeepsDataAcrossRestart)
{
    const std::string dir = vtxtest::makeTempDir("persist").toStdString();
    int64_t itemId = 0;
    {
        VtxService service(VtxService::Options{dir, 0});
        ASSERT_TRUE(service.Ok()) << service.Error();
        Client client(service);
        const auto session = client.SignInDemo();
        const Answer a = client.PostJson("/sdk/items", "{\"topic\":\"kept\"}", session);
        ASSERT_EQ(a.Code(), "200");
        itemId = static_cast<int64_t>(a.DataNum("meeting_id"));
        // A meeting still running at shutdown must not keep the process from a clean exit.
        ASSERT_EQ(client.PostJson("/sdk/meetings/start", "{\"number\":0}", session).Code(), "200");
        EXPECT_TRUE(service.Stop());
    }
    VtxService again(VtxService::Options{dir, 0});
    ASSERT_TRUE(again.Ok()) << again.Error();
    Client client(again);
    const auto session = client.SignInDemo(); // the demo account is not created twice
    const Answer a = client.Get("/sdk/items/" + std::to_string(itemId), session);
    EXPECT_EQ(a.DataStr("topic"), "kept");
}

TEST(ServiceProcess, RefusesToStartWithoutCertificate)
{
    // A missing key must end the process with an error, not leave a plain-HTTP server.
    const std::string dir = vtxtest::makeTempDir("nocert").toStdString();
    const std::string cmd = std::string(VTX_SERVICE_BINARY) + " --listen 127.0.0.1:0 --data " + dir +
                            " --cert /nonexistent.crt --key /nonexistent.key >/dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    EXPECT_NE(status, 0);
}
