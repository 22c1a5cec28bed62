// vtx-service when its disk fails, when it is stopped at once, when codes are guessed, and what
// it leaves on disk for other users to read.

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "RawPeer.h"
#include "ServiceClient.h"
#include "support/TestEnvironment.h"

using namespace servicetest;
using vtxtest::VtxService;

namespace {

class ServiceFaults : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_service.Ok()) << m_service.Error(); }

    Answer RequestCode(const std::string& phone)
    {
        return m_client.PostJson("/api/orvo/user/GetVerificationCode.do", "{\"phoneNumber\":" + Quote(phone) + "}");
    }
    Answer Validate(const std::string& phone, const std::string& code)
    {
        return m_client.PostJson("/api/orvo/user/Validation.do",
                                 "{\"phoneNumber\":" + Quote(phone) + ",\"verification_code\":" + Quote(code) + "}");
    }
    Answer Faults(const std::string& body) { return m_client.PostJson("/admin/faults", body); }
    std::string DemoPmi()
    {
        return m_client.PostForm("/api/qzMeetings/user/get_user_qz", {{"email", VtxService::DemoAccount()}})
            .DataStr("pmi");
    }

    VtxService m_service;
    Client m_client{m_service};
};

std::string WrongCode(const std::string& right)
{
    return right == "000000" ? "111111" : "000000";
}

mode_t ModeOf(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

} // namespace

TEST_F(ServiceFaults, FailedCommitIsA500AndKeepsNothing)
{
    const std::string pmi = DemoPmi();
    ASSERT_EQ(Faults("{\"fail_commits\":true}").Code(), "200");
    const Answer change =
        m_client.Get("/api/orvo/user/UpdatePMI.do?host_id=demo%40vtx.local&pmi=" + std::string("8765432109"));
    EXPECT_EQ(change.Code(), "500") << change.body;

    ASSERT_EQ(RequestCode("13800138000").Code(), "500"); // the code itself cannot be stored
    ASSERT_EQ(Faults("{\"fail_commits\":false}").Code(), "200");
    ASSERT_EQ(RequestCode("13800138000").Code(), "200");
    const std::string code = m_service.LatestSmsCode("13800138000");
    ASSERT_EQ(Faults("{\"fail_commits\":true}").Code(), "200");
    // The code cannot be struck off, so it is not taken; no account is handed out.
    EXPECT_EQ(Validate("13800138000", code).Code(), "500");
    ASSERT_EQ(Faults("{\"fail_commits\":false}").Code(), "200");

    // Nothing of the failed changes stayed, and the database takes writes again.
    EXPECT_EQ(DemoPmi(), pmi);
    EXPECT_EQ(m_client.Get("/api/orvo/user/UpdatePMI.do?host_id=demo%40vtx.local&pmi=8765432109").Code(), "200");
    EXPECT_EQ(DemoPmi(), "8765432109");
    const Answer guest = Validate("13800138000", code);
    ASSERT_EQ(guest.Code(), "200") << guest.body;
    EXPECT_EQ(m_client.Get("/sdk/me", m_client.SignIn(guest.DataStr("account_name"), guest.DataStr("password"))).Code(),
              "200");
}

TEST_F(ServiceFaults, AccountCreationWhoseCommitFailsHandsOutNothing)
{
    ASSERT_EQ(RequestCode("13900139000").Code(), "200");
    const std::string code = m_service.LatestSmsCode("13900139000");
    // Striking the code off commits; the new account's transaction is the one that fails.
    ASSERT_EQ(Faults("{\"fail_commits\":true,\"commits_before_failure\":1}").Code(), "200");
    const Answer failed = Validate("13900139000", code);
    ASSERT_EQ(Faults("{\"fail_commits\":false}").Code(), "200");
    EXPECT_EQ(failed.Code(), "500") << failed.body;
    EXPECT_EQ(failed.DataStr("password"), "");
    EXPECT_EQ(
        m_client.PostForm("/api/qzMeetings/user/get_user_qz", {{"email", "guest13900139000@guest.vtx.local"}}).Code(),
        "404");
    // A new code gets the account made for real.
    ASSERT_EQ(RequestCode("13900139000").Code(), "200");
    const Answer made = Validate("13900139000", m_service.LatestSmsCode("13900139000"));
    ASSERT_EQ(made.Code(), "200") << made.body;
    EXPECT_EQ(m_client.Get("/sdk/me", m_client.SignIn(made.DataStr("account_name"), made.DataStr("password"))).Code(),
              "200");
}

TEST(ServiceStop, StopsPromptlyWhenTerminatedAtAnyEarlyMoment)
{
    std::mt19937 random(std::random_device{}());
    const std::string data = vtxtest::makeTempDir("stop").toStdString();
    for (int round = 0; round < 30; ++round) {
        ServiceProcess service(data + "/data" + std::to_string(round % 3));
        // From before main() until well after "listening".
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 400));
        ASSERT_EQ(kill(service.Pid(), SIGTERM), 0);
        const int status = service.WaitExit(8000);
        ASSERT_NE(status, -1) << "round " << round << " hung after SIGTERM";
        // Killed by the signal before its handling was set up, or a clean exit.
        EXPECT_TRUE((WIFEXITED(status) && WEXITSTATUS(status) == 0) ||
                    (WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM))
            << "round " << round << " status " << status;
    }
}

TEST_F(ServiceFaults, VerificationCodeRequestsAreLimitedPerPhoneAndPeer)
{
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(RequestCode("13800138000").Code(), "200") << i;
    const Answer limited = RequestCode("13800138000");
    EXPECT_EQ(limited.Code(), "429");
    EXPECT_FALSE(limited.Msg().empty());
    EXPECT_EQ(m_service.OutboxFiles("sms-13800138000-").size(), 10u);
    // Other phones from the same peer, up to the peer's limit.
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(RequestCode("1390013" + std::to_string(9000 + i)).Code(), "200") << i;
    EXPECT_EQ(RequestCode("13700137000").Code(), "429");
}

TEST_F(ServiceFaults, WrongCodeBudgetSurvivesNewCodes)
{
    const std::string phone = "13800138000";
    // Four codes, each burnt by five wrong guesses: twenty wrong codes in all.
    for (int code = 0; code < 4; ++code) {
        ASSERT_EQ(RequestCode(phone).Code(), "200");
        const std::string wrong = WrongCode(m_service.LatestSmsCode(phone));
        for (int guess = 0; guess < 5; ++guess)
            ASSERT_EQ(Validate(phone, wrong).Code(), "401") << code << "/" << guess;
    }
    ASSERT_EQ(RequestCode(phone).Code(), "200");
    const Answer refused = Validate(phone, m_service.LatestSmsCode(phone));
    EXPECT_EQ(refused.Code(), "429") << "even the right code is refused once the budget is spent";
    // Another phone is not affected.
    ASSERT_EQ(RequestCode("13900139000").Code(), "200");
    EXPECT_EQ(Validate("13900139000", m_service.LatestSmsCode("13900139000")).Code(), "200");
}

TEST(ServiceFiles, DataIsPrivateWhateverTheUmask)
{
    const std::string root = vtxtest::makeTempDir("files").toStdString();
    const std::string fresh = root + "/fresh";
    const std::string old = root + "/old";
    // A data folder and version file left world-readable by an earlier run.
    ASSERT_EQ(mkdir(old.c_str(), 0755), 0);
    {
        std::ofstream(old + "/version.json") << "{}\n";
    }
    ASSERT_EQ(chmod(old.c_str(), 0755), 0);
    ASSERT_EQ(chmod((old + "/version.json").c_str(), 0644), 0);

    const mode_t saved = umask(0);
    for (const std::string& dir : {fresh, old}) {
        VtxService::Options options;
        options.dataDir = dir;
        VtxService service(options);
        ASSERT_TRUE(service.Ok()) << service.Error();
        Client client(service);
        // Writes that create the WAL, the outbox and a new version file.
        ASSERT_EQ(client.PostJson("/api/orvo/user/GetVerificationCode.do", "{\"phoneNumber\":\"13800138000\"}").Code(),
                  "200");
        ASSERT_EQ(client.PostJson("/admin/version", "{\"tips\":\"x\"}").Code(), "200");
        EXPECT_EQ(ModeOf(dir), 0700u) << dir;
        EXPECT_EQ(ModeOf(dir + "/outbox"), 0700u) << dir;
        for (const char* name : {"/vtx.sqlite", "/vtx.sqlite-wal", "/vtx.sqlite-shm", "/version.json"})
            EXPECT_EQ(ModeOf(dir + name), 0600u) << dir << name;
        for (const auto& sms : service.OutboxFiles("sms-"))
            EXPECT_EQ(ModeOf(service.OutboxDir() + "/" + sms), 0600u) << sms;
    }
    umask(saved);
}

TEST_F(ServiceFaults, ConcurrentVersionUpdatesLeaveOneWholeFile)
{
    std::vector<std::thread> writers;
    for (int w = 0; w < 6; ++w) {
        writers.emplace_back([this, w] {
            Client client(m_service);
            // Large enough that one write takes several system calls.
            for (int i = 0; i < 8; ++i)
                client.PostJson("/admin/version",
                                "{\"tips\":\"" + std::string(200 * 1024, static_cast<char>('a' + w)) + "\"}");
        });
    }
    for (auto& w : writers)
        w.join();
    std::ifstream in(m_service.DataDir() + "/version.json");
    std::stringstream text;
    text << in.rdbuf();
    Json saved(cJSON_Parse(text.str().c_str()));
    ASSERT_TRUE(saved) << "version.json is not whole: " << text.str().size() << " bytes";
    const Answer served = m_client.PostJson("/api/upgrade/newVersion.do",
                                            "{\"pv\":\"linux\",\"app_id\":\"qzvlt-003\",\"version\":\"1.5.0\"}");
    const cJSON* tips = cJSON_GetObjectItemCaseSensitive(saved.get(), "tips");
    ASSERT_TRUE(cJSON_IsString(tips));
    EXPECT_EQ(served.DataStr("tips"), tips->valuestring) << "the file does not hold the latest answer";
    // No temporary file is left behind.
    for (const auto& entry : std::filesystem::directory_iterator(m_service.DataDir()))
        EXPECT_EQ(entry.path().filename().string().find("version.json."), std::string::npos) << entry.path();
}

TEST_F(ServiceFaults, LeastRecentlyUsedTokensMakeRoomForNewOnes)
{
    ASSERT_EQ(Faults("{\"max_tokens\":4}").Code(), "200");
    const auto demo = m_client.SignInDemo(); // app token 1 and session 1
    std::vector<httplib::Headers> others;
    for (int i = 0; i < 4; ++i) {
        Client other(m_service);
        others.push_back(other.SignInDemo());
        // The first session stays in use, so others make way.
        ASSERT_EQ(m_client.Get("/sdk/me", demo).Code(), "200") << i;
    }
    EXPECT_EQ(m_client.Get("/sdk/me", others.front()).Code(), "401"); // its app token went first
    EXPECT_EQ(m_client.Get("/sdk/me", others.back()).Code(), "200");
}

TEST_F(ServiceFaults, OutboxKeepsTheNewestMessages)
{
    // 21 invitations of 50 addresses: 1050 messages, of which the newest 1000 stay.
    std::string addresses;
    for (int i = 0; i < 50; ++i)
        addresses += (i ? ";" : "") + std::string("u") + std::to_string(i) + "@x.cn";
    const std::string body = "{\"topic\":\"T\",\"start_time\":\"2031-01-01 10:00\",\"duration\":\"60\","
                             "\"meetings_id\":\"12345678901\",\"mettings_password\":\"\"}";
    for (int i = 0; i < 21; ++i)
        ASSERT_EQ(m_client.PostJson("/api/qzMeetings/meetings/send_email?email=" + Escape(addresses), body).Code(),
                  "200");
    ASSERT_EQ(RequestCode("13800138000").Code(), "200");
    EXPECT_EQ(m_service.OutboxFiles("email-").size() + m_service.OutboxFiles("sms-").size(), 1000u);
    EXPECT_FALSE(m_service.LatestSmsCode("13800138000").empty());
}

TEST_F(ServiceFaults, ItemListIsPaged)
{
    const auto demo = m_client.SignInDemo();
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(
            m_client.PostJson("/sdk/items", "{\"start_time\":" + std::to_string(2000000000 + i) + "}", demo).Code(),
            "200");
    const Answer all = m_client.Get("/sdk/items", demo);
    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItemCaseSensitive(all.Data(), "items")), 6);
    EXPECT_EQ(all.DataNum("total"), 6);
    EXPECT_TRUE(std::isnan(all.DataNum("next_offset")));

    std::vector<double> ids;
    for (std::string path = "/sdk/items?limit=4";;) {
        const Answer page = m_client.Get(path, demo);
        ASSERT_EQ(page.Code(), "200") << page.body;
        const cJSON* item = nullptr;
        cJSON_ArrayForEach(item, cJSON_GetObjectItemCaseSensitive(page.Data(), "items"))
            ids.push_back(cJSON_GetObjectItemCaseSensitive(item, "meeting_id")->valuedouble);
        if (std::isnan(page.DataNum("next_offset")))
            break;
        path = "/sdk/items?limit=4&offset=" + std::to_string(static_cast<int>(page.DataNum("next_offset")));
    }
    // The pages together are the whole list, in its order.
    std::vector<double> whole;
    const cJSON* item = nullptr;
    cJSON_ArrayForEach(item, cJSON_GetObjectItemCaseSensitive(all.Data(), "items"))
        whole.push_back(cJSON_GetObjectItemCaseSensitive(item, "meeting_id")->valuedouble);
    EXPECT_EQ(ids, whole);
    EXPECT_EQ(m_client.Get("/sdk/items?limit=0", demo).Code(), "400");
    EXPECT_EQ(m_client.Get("/sdk/items?limit=501", demo).Code(), "400");
}
