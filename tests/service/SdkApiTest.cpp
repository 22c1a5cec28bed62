// The meeting cloud API that libsdk uses, at the HTTP level.

#include <chrono>
#include <gtest/gtest.h>

#include "ServiceClient.h"
#include "common/AppCredentials.h"

using namespace servicetest;
using vtxtest::VtxService;

namespace {

class SdkApi : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_service.Ok()) << m_service.Error();
        m_demo = m_client.SignInDemo();
    }

    int64_t CreateItem(const std::string& body, int64_t* number = nullptr)
    {
        const Answer a = m_client.PostJson("/sdk/items", body, m_demo);
        EXPECT_EQ(a.Code(), "200") << a.body;
        if (number)
            *number = static_cast<int64_t>(a.DataNum("meeting_number"));
        return static_cast<int64_t>(a.DataNum("meeting_id"));
    }
    Answer Start(int64_t number)
    {
        return m_client.PostJson("/sdk/meetings/start", "{\"number\":" + std::to_string(number) + ",\"kind\":1}",
                                 m_demo);
    }
    Answer JoinAnonymous(int64_t number, const std::string& password = std::string(), const char* name = "Guest")
    {
        return m_client.PostJson("/sdk/meetings/join",
                                 "{\"number\":" + std::to_string(number) + ",\"password\":" + Quote(password) +
                                     ",\"display_name\":\"" + name + "\",\"user_type\":101}",
                                 m_client.AppHeaders());
    }
    Answer State(int64_t number, const std::string& participant)
    {
        return m_client.Get("/sdk/meetings/" + std::to_string(number) + "/state?participant=" + participant,
                            m_client.AppHeaders());
    }
    Answer Call(int64_t number, const char* action, const std::string& participant, const std::string& extra = "")
    {
        return m_client.PostJson("/sdk/meetings/" + std::to_string(number) + "/" + action,
                                 "{\"participant\":" + Quote(participant) + extra + "}", m_client.AppHeaders());
    }
    static double Reason(const Answer& a) { return a.DataNum("reason"); }

    VtxService m_service;
    Client m_client{m_service};
    httplib::Headers m_demo;
};

} // namespace

TEST_F(SdkApi, AuthenticationNeedsTheApplicationPair)
{
    EXPECT_EQ(m_client.PostJson("/sdk/auth", std::string("{\"app_key\":\"") + vtx::kAppKey + "\",\"app_secret\":\"x\"}")
                  .Code(),
              "401");
    EXPECT_EQ(m_client.PostJson("/sdk/auth", "{\"app_key\":1,\"app_secret\":2}").Code(), "400");
    EXPECT_EQ(m_client.PostJson("/sdk/login", "{\"user\":\"demo@vtx.local\",\"password\":\"demo1234\"}").Code(), "401");
    EXPECT_EQ(
        m_client.PostJson("/sdk/login", "{\"user\":\"demo@vtx.local\",\"password\":\"wrong\"}", m_client.AppHeaders())
            .Code(),
        "401");
    EXPECT_EQ(m_client.Get("/sdk/items", m_client.AppHeaders()).Code(), "401");
    const Answer me = m_client.Get("/sdk/me", m_demo);
    ASSERT_EQ(me.Code(), "200");
    EXPECT_EQ(me.DataStr("display_name"), "王小明");
    EXPECT_EQ(std::to_string(static_cast<int64_t>(me.DataNum("pmi"))).size(), 10u);

    EXPECT_EQ(m_client.PostJson("/sdk/logout", "", m_demo).Code(), "200");
    EXPECT_EQ(m_client.Get("/sdk/me", m_demo).Code(), "401");
}

TEST_F(SdkApi, ItemsCanBeListedEditedAndDeletedButThePersonalOneStays)
{
    int64_t number = 0;
    const int64_t id = CreateItem("{\"topic\":\"Review\",\"start_time\":1924992000,\"duration\":90,"
                                  "\"password\":\"abc1\",\"join_before_host\":false,\"mute_upon_entry\":true}",
                                  &number);
    EXPECT_EQ(std::to_string(number).size(), 11u);
    Answer list = m_client.Get("/sdk/items", m_demo);
    const cJSON* items = cJSON_GetObjectItemCaseSensitive(list.Data(), "items");
    ASSERT_EQ(cJSON_GetArraySize(items), 2);
    EXPECT_TRUE(cJSON_IsTrue(cJSON_GetObjectItemCaseSensitive(cJSON_GetArrayItem(items, 0), "is_pmi")));
    const cJSON* item = cJSON_GetArrayItem(items, 1);
    EXPECT_EQ(cJSON_GetObjectItemCaseSensitive(item, "start_time")->valuedouble, 1924992000.0);
    EXPECT_TRUE(cJSON_IsTrue(cJSON_GetObjectItemCaseSensitive(item, "password_enabled")));
    EXPECT_TRUE(cJSON_IsTrue(cJSON_GetObjectItemCaseSensitive(item, "mute_upon_entry")));
    EXPECT_FALSE(cJSON_IsTrue(cJSON_GetObjectItemCaseSensitive(item, "join_before_host")));
    EXPECT_TRUE(cJSON_IsObject(cJSON_GetObjectItemCaseSensitive(item, "modifiable")));

    const std::string path = "/sdk/items/" + std::to_string(id);
    Answer edited = m_client.Put(path, "{\"topic\":\"Review 2\",\"duration\":30,\"password\":\"\"}", m_demo);
    ASSERT_EQ(edited.Code(), "200") << edited.body;
    EXPECT_EQ(edited.DataStr("topic"), "Review 2");
    EXPECT_EQ(edited.DataNum("duration"), 30.0);
    EXPECT_FALSE(edited.DataBool("password_enabled"));
    EXPECT_EQ(m_client.Put(path, "{\"duration\":\"30\"}", m_demo).Code(), "400");
    EXPECT_EQ(m_client.Put(path, "{\"duration\":1441}", m_demo).Code(), "400");
    EXPECT_EQ(m_client.Put(path, "{\"password\":\"has space\"}", m_demo).Code(), "400");

    EXPECT_EQ(m_client.Delete(path, m_demo).Code(), "200");
    EXPECT_EQ(m_client.Get(path, m_demo).Code(), "404");
    EXPECT_EQ(m_client.Delete(path, m_demo).Code(), "404");
    const auto pmiId =
        static_cast<int64_t>(cJSON_GetObjectItemCaseSensitive(cJSON_GetArrayItem(items, 0), "meeting_id")->valuedouble);
    EXPECT_EQ(m_client.Delete("/sdk/items/" + std::to_string(pmiId), m_demo).Code(), "403");
}

TEST_F(SdkApi, DefaultTopicsFollowTheLanguageOfTheRequest)
{
    httplib::Headers chinese = m_demo;
    chinese.emplace("Accept-Language", "zh-CN");
    const std::string name = "王小明";
    const auto topics = [&](const httplib::Headers& headers) {
        std::vector<std::string> out;
        const Answer list = m_client.Get("/sdk/items", headers);
        const cJSON* items = cJSON_GetObjectItemCaseSensitive(list.Data(), "items");
        const cJSON* item = nullptr;
        cJSON_ArrayForEach(item, items) out.push_back(cJSON_GetObjectItemCaseSensitive(item, "topic")->valuestring);
        return out;
    };

    const Answer unnamed = m_client.PostJson("/sdk/items", "{\"start_time\":1924992000}", chinese);
    ASSERT_EQ(unnamed.Code(), "200") << unnamed.body;
    EXPECT_EQ(unnamed.DataStr("topic"), name + "的会议");
    CreateItem("{\"topic\":\"Review's Meeting\",\"start_time\":1924992000}");
    // Stored once, shown in the language of whoever asks; a topic the host typed stays as typed.
    EXPECT_EQ(topics(chinese), (std::vector<std::string>{name + "的个人会议室", name + "的会议", "Review's Meeting"}));
    EXPECT_EQ(topics(m_demo),
              (std::vector<std::string>{name + "'s Personal Meeting Room", name + "'s Meeting", "Review's Meeting"}));

    const Answer instant = m_client.PostJson("/sdk/meetings/start", "{\"number\":0,\"kind\":1}", chinese);
    ASSERT_EQ(instant.Code(), "200") << instant.body;
    EXPECT_EQ(instant.DataStr("topic"), name + "的 Orvo 会议");
    const auto pmi = static_cast<int64_t>(m_client.Get("/sdk/me", m_demo).DataNum("pmi"));
    const Answer room =
        m_client.PostJson("/sdk/meetings/start", "{\"kind\":1,\"number\":" + std::to_string(pmi) + "}", chinese);
    ASSERT_EQ(room.Code(), "200") << room.body;
    EXPECT_EQ(room.DataStr("topic"), name + "的个人会议室");
}

TEST_F(SdkApi, PeriodicPmiScheduleUpdatesThePersonalMeeting)
{
    const auto pmi = static_cast<int64_t>(m_client.Get("/sdk/me", m_demo).DataNum("pmi"));
    const Answer a = m_client.PostJson(
        "/sdk/items", "{\"periodic\":true,\"use_pmi\":true,\"password\":\"room1\",\"host_video\":false}", m_demo);
    ASSERT_EQ(a.Code(), "200") << a.body;
    EXPECT_TRUE(a.DataBool("is_pmi"));
    EXPECT_EQ(a.DataNum("meeting_number"), static_cast<double>(pmi));
    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItemCaseSensitive(m_client.Get("/sdk/items", m_demo).Data(), "items")),
              1);
    EXPECT_EQ(m_client.Get("/api/orvo/user/QueryListMetting?host_id=demo%40vtx.local&id=" + std::to_string(pmi))
                  .Str("password"),
              "room1");

    // A one-off meeting that uses the PMI meets in the personal room.
    int64_t number = 0;
    CreateItem("{\"topic\":\"in my room\",\"use_pmi\":true}", &number);
    EXPECT_EQ(number, pmi);
}

TEST_F(SdkApi, OptionMarkedNotModifiableKeepsItsValue)
{
    const int64_t id = CreateItem("{\"topic\":\"locked option\",\"join_before_host\":true}");
    ASSERT_EQ(m_client
                  .PostJson("/admin/modifiable",
                            "{\"meeting_id\":" + std::to_string(id) + ",\"modifiable\":{\"join_before_host\":false}}")
                  .Code(),
              "200");
    const std::string path = "/sdk/items/" + std::to_string(id);
    const Answer item = m_client.Get(path, m_demo);
    EXPECT_FALSE(cJSON_IsTrue(cJSON_GetObjectItemCaseSensitive(
        cJSON_GetObjectItemCaseSensitive(item.Data(), "modifiable"), "join_before_host")));
    // The SDK sends whole items: the locked option keeps its value, the rest changes.
    const Answer edited = m_client.Put(path, "{\"join_before_host\":false,\"mute_upon_entry\":true}", m_demo);
    ASSERT_EQ(edited.Code(), "200") << edited.body;
    EXPECT_TRUE(edited.DataBool("join_before_host"));
    EXPECT_TRUE(edited.DataBool("mute_upon_entry"));
}

TEST_F(SdkApi, JoinFailsWithTheSdkReasons)
{
    EXPECT_EQ(Reason(JoinAnonymous(55555555555)), 8.0);

    // The personal room waits for its host.
    const auto pmi = static_cast<int64_t>(m_client.Get("/sdk/me", m_demo).DataNum("pmi"));
    EXPECT_EQ(Reason(JoinAnonymous(pmi)), 7.0);

    int64_t waiting = 0;
    CreateItem("{\"topic\":\"wait for host\",\"join_before_host\":false}", &waiting);
    const Answer notStarted = JoinAnonymous(waiting);
    EXPECT_EQ(notStarted.Code(), "403");
    EXPECT_EQ(Reason(notStarted), 7.0);

    int64_t secret = 0;
    CreateItem("{\"topic\":\"secret\",\"password\":\"s3cret\",\"join_before_host\":false}", &secret);
    const Answer host = Start(secret);
    ASSERT_EQ(host.Code(), "200") << host.body;
    EXPECT_TRUE(host.DataBool("is_host"));
    EXPECT_EQ(host.DataStr("password"), "s3cret");
    EXPECT_EQ(Reason(JoinAnonymous(secret, "wrong")), 4.0);
    EXPECT_EQ(Reason(JoinAnonymous(secret, "")), 4.0);
    const Answer guest = JoinAnonymous(secret, "s3cret");
    ASSERT_EQ(guest.Code(), "200") << guest.body;
    EXPECT_FALSE(guest.DataBool("is_host"));

    ASSERT_EQ(Call(secret, "lock", host.DataStr("participant_id"), ",\"locked\":true").Code(), "200");
    EXPECT_EQ(Reason(JoinAnonymous(secret, "s3cret")), 12.0);
    EXPECT_EQ(Call(secret, "lock", guest.DataStr("participant_id"), ",\"locked\":false").Code(), "403");
    ASSERT_EQ(Call(secret, "lock", host.DataStr("participant_id"), ",\"locked\":false").Code(), "200");

    ASSERT_EQ(m_client.PostJson("/admin/capacity", "{\"capacity\":3}").Code(), "200");
    EXPECT_EQ(JoinAnonymous(secret, "s3cret").Code(), "200"); // third of three
    EXPECT_EQ(Reason(JoinAnonymous(secret, "s3cret")), 9.0);
}

TEST_F(SdkApi, JoinBeforeHostOpensTheMeetingWithoutItsHost)
{
    int64_t number = 0;
    CreateItem("{\"topic\":\"early\",\"join_before_host\":true}", &number);
    const Answer guest = JoinAnonymous(number);
    ASSERT_EQ(guest.Code(), "200") << guest.body;
    EXPECT_EQ(State(number, guest.DataStr("participant_id")).DataNum("host"), 0.0);
    // The owner arriving later becomes the host.
    const Answer host = Start(number);
    EXPECT_TRUE(host.DataBool("is_host"));
    EXPECT_EQ(State(number, guest.DataStr("participant_id")).DataNum("host"), host.DataNum("participant"));
}

TEST_F(SdkApi, EndedByHostReachesEveryParticipant)
{
    const Answer host = Start(0);
    ASSERT_EQ(host.Code(), "200") << host.body;
    const auto number = static_cast<int64_t>(host.DataNum("number"));
    EXPECT_EQ(std::to_string(number).size(), 11u);
    EXPECT_NE(host.DataStr("join_url").find(std::to_string(number)), std::string::npos);
    const Answer a = JoinAnonymous(number, "", "A");
    const Answer b = JoinAnonymous(number, "", "B");
    ASSERT_EQ(a.Code(), "200");
    ASSERT_EQ(b.Code(), "200");

    Answer s = State(number, a.DataStr("participant_id"));
    EXPECT_EQ(s.DataStr("state"), "running");
    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItemCaseSensitive(s.Data(), "participants")), 3);

    EXPECT_EQ(Call(number, "end", a.DataStr("participant_id")).Code(), "403"); // not the host
    ASSERT_EQ(Call(number, "end", host.DataStr("participant_id")).Code(), "200");
    for (const Answer* p : {&a, &b}) {
        s = State(number, p->DataStr("participant_id"));
        EXPECT_EQ(s.DataStr("state"), "ended");
        EXPECT_EQ(s.DataNum("end_reason"), 2.0);
    }
    s = State(number, host.DataStr("participant_id"));
    EXPECT_EQ(s.DataStr("state"), "ended");
    EXPECT_EQ(s.DataNum("end_reason"), 0.0);
    // An ended instant meeting is gone.
    EXPECT_EQ(Reason(JoinAnonymous(number)), 8.0);
}

TEST_F(SdkApi, RemovedParticipantSeesRemovedByHost)
{
    const Answer host = Start(0);
    const auto number = static_cast<int64_t>(host.DataNum("number"));
    const Answer guest = JoinAnonymous(number);
    const auto target = static_cast<int64_t>(guest.DataNum("participant"));
    EXPECT_EQ(Call(number, "remove", guest.DataStr("participant_id"), ",\"target\":" + std::to_string(target)).Code(),
              "403");
    ASSERT_EQ(Call(number, "remove", host.DataStr("participant_id"), ",\"target\":" + std::to_string(target)).Code(),
              "200");
    const Answer s = State(number, guest.DataStr("participant_id"));
    EXPECT_EQ(s.DataStr("state"), "removed");
    EXPECT_EQ(s.DataNum("end_reason"), 1.0);
    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItemCaseSensitive(State(number, host.DataStr("participant_id")).Data(),
                                                                  "participants")),
              1);
}

TEST_F(SdkApi, ShareLockKeepsParticipantsFromSharing)
{
    const Answer host = Start(0);
    const auto number = static_cast<int64_t>(host.DataNum("number"));
    const Answer guest = JoinAnonymous(number);
    const std::string g = guest.DataStr("participant_id");
    ASSERT_EQ(Call(number, "share", g, ",\"sharing\":true").DataNum("sharing"), guest.DataNum("participant"));
    ASSERT_EQ(Call(number, "share_lock", host.DataStr("participant_id"), ",\"locked\":true").Code(), "200");
    const Answer s = State(number, g);
    EXPECT_TRUE(s.DataBool("share_locked"));
    EXPECT_EQ(s.DataNum("sharing"), 0.0);
    EXPECT_EQ(Call(number, "share", g, ",\"sharing\":true").Code(), "403");
}

TEST_F(SdkApi, LeavingLastParticipantEndsTheMeetingAndUnknownTokensAre404)
{
    int64_t number = 0;
    CreateItem("{\"topic\":\"short\",\"join_before_host\":false}", &number);
    const Answer host = Start(number);
    const std::string p = host.DataStr("participant_id");
    EXPECT_EQ(Call(number, "leave", p).Code(), "200");
    EXPECT_EQ(State(number, p).DataStr("state"), "left");
    EXPECT_EQ(Reason(JoinAnonymous(number)), 7.0); // no longer running
    EXPECT_EQ(State(number, "not-a-token").Code(), "404");
    EXPECT_EQ(State(number + 1, p).Code(), "404"); // the token belongs to another meeting
    EXPECT_EQ(m_client.Get("/sdk/meetings/" + std::to_string(number) + "/state?participant=" + p).Code(), "401");
}

TEST_F(SdkApi, OnlyTheOwnerStartsAScheduledMeeting)
{
    int64_t number = 0;
    CreateItem("{\"topic\":\"mine\"}", &number);
    ASSERT_EQ(m_client.PostJson("/api/orvo/user/GetVerificationCode.do", "{\"phoneNumber\":\"13700137000\"}").Code(),
              "200");
    const Answer guest =
        m_client.PostJson("/api/orvo/user/Validation.do", "{\"phoneNumber\":\"13700137000\",\"verification_code\":\"" +
                                                              m_service.LatestSmsCode("13700137000") + "\"}");
    const auto other = m_client.SignIn(guest.DataStr("account_name"), guest.DataStr("password"));
    EXPECT_EQ(m_client.PostJson("/sdk/meetings/start", "{\"number\":" + std::to_string(number) + "}", other).Code(),
              "403");
    const Answer unknown = m_client.PostJson("/sdk/meetings/start", "{\"number\":55555555555}", m_demo);
    EXPECT_EQ(unknown.Code(), "404");
    EXPECT_EQ(Reason(unknown), 8.0);
    EXPECT_EQ(m_client.PostJson("/sdk/meetings/start", "{\"number\":\"1\"}", m_demo).Code(), "400");
    // A signed-in join needs a session.
    EXPECT_EQ(m_client
                  .PostJson("/sdk/meetings/join",
                            "{\"number\":" + std::to_string(number) + ",\"display_name\":\"x\",\"user_type\":100}",
                            m_client.AppHeaders())
                  .Code(),
              "401");
}

TEST(SdkApiTimeout, ParticipantThatStopsPollingIsDropped)
{
    VtxService service(VtxService::Options{std::string(), 0, 1});
    ASSERT_TRUE(service.Ok()) << service.Error();
    Client client(service);
    const auto demo = client.SignInDemo();
    const Answer host = client.PostJson("/sdk/meetings/start", "{\"number\":0}", demo);
    ASSERT_EQ(host.Code(), "200") << host.body;
    const auto number = static_cast<int64_t>(host.DataNum("number"));
    const Answer guest =
        client.PostJson("/sdk/meetings/join", "{\"number\":" + std::to_string(number) + ",\"display_name\":\"gone\"}",
                        client.AppHeaders());
    ASSERT_EQ(guest.Code(), "200") << guest.body;

    // The host keeps polling; the guest never does and must vanish from the list.
    const std::string statePath = "/sdk/meetings/" + std::to_string(number) + "/state?participant=";
    int count = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    do {
        const Answer s = client.Get(statePath + host.DataStr("participant_id"), client.AppHeaders());
        ASSERT_EQ(s.DataStr("state"), "running");
        count = cJSON_GetArraySize(cJSON_GetObjectItemCaseSensitive(s.Data(), "participants"));
    } while (count > 1 && std::chrono::steady_clock::now() < deadline);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(client.Get(statePath + guest.DataStr("participant_id"), client.AppHeaders()).DataStr("state"), "left");
}
