// The maker's web service endpoints, against a service started by each test.

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "ServiceClient.h"

using namespace servicetest;
using vtxtest::VtxService;

namespace {

const char* const kPhone = "13800138000";

class WebApi : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_service.Ok()) << m_service.Error(); }

    Answer RequestCode(const std::string& phone)
    {
        return m_client.PostJson("/api/orvo/user/GetVerificationCode.do", "{\"phoneNumber\":" + Quote(phone) + "}");
    }
    Answer Validate(const std::string& phone, const std::string& code, const std::string& email = std::string())
    {
        std::string body = "{\"phoneNumber\":" + Quote(phone) + ",\"verification_code\":" + Quote(code);
        if (!email.empty())
            body += ",\"email\":" + Quote(email);
        return m_client.PostJson("/api/orvo/user/Validation.do", body + "}");
    }
    std::string DemoUserId()
    {
        return m_client.PostForm("/api/qzMeetings/user/get_user_qz", {{"email", VtxService::DemoAccount()}})
            .DataStr("id");
    }
    std::string ArrangeBody(const std::string& userId, const std::string& topic, const std::string& recurrence)
    {
        return "{\"user_id\":\"" + userId + "\",\"topic\" : " + Quote(topic) +
               ",\"type\" : \"8\",\"start_time\" : \"2031-03-02 10:00:00\",\"duration\" : \"90\","
               "\"timezone\" : \"Asia/Shanghai\",\"password\" : \"abc123\"," +
               recurrence +
               "\"settings\": {\"host_video\": \"true\",\"participant_video\" : \"false\","
               "\"join_before_host\" : \"true\",\"mute_upon_entry\" : \"false\",\"use_pmi\" : \"false\","
               "\"auto_recording\" : \"local\"}}";
    }
    const char* Weekly() const
    {
        return "\"recurrence\":{\"type\":\"2\",\"repeat_interval\":\"2\",\"weekly_days\" : \"3,5\","
               "\"end_date_time\" : \"2031-04-30T23:59:59Z\"},";
    }

    VtxService m_service;
    Client m_client{m_service};
};

} // namespace

TEST_F(WebApi, VerificationCodeNeedsElevenDigitsStartingWithOne)
{
    for (const char* bad : {"1380013800", "138001380001", "23800138000", "1380013800a", ""}) {
        EXPECT_EQ(RequestCode(bad).Code(), "400") << bad;
    }
    EXPECT_TRUE(m_service.OutboxFiles("sms-").empty());
    EXPECT_EQ(RequestCode(kPhone).Code(), "200");
    const std::string code = m_service.LatestSmsCode(kPhone);
    EXPECT_EQ(code.size(), 6u);
    EXPECT_EQ(code.find_first_not_of("0123456789"), std::string::npos);
}

TEST_F(WebApi, AnonymousValidationGivesTheSameTemporaryAccountPerPhone)
{
    ASSERT_EQ(RequestCode(kPhone).Code(), "200");
    const Answer first = Validate(kPhone, m_service.LatestSmsCode(kPhone));
    ASSERT_EQ(first.Code(), "200") << first.body;
    EXPECT_FALSE(first.DataStr("account_name").empty());
    EXPECT_FALSE(first.DataStr("password").empty());

    // The temporary account is a real cloud account.
    const auto session = m_client.SignIn(first.DataStr("account_name"), first.DataStr("password"));
    EXPECT_EQ(m_client.Get("/sdk/me", session).Code(), "200");

    ASSERT_EQ(RequestCode(kPhone).Code(), "200");
    const Answer second = Validate(kPhone, m_service.LatestSmsCode(kPhone));
    EXPECT_EQ(second.DataStr("account_name"), first.DataStr("account_name"));
    EXPECT_EQ(second.DataStr("password"), first.DataStr("password"));

    ASSERT_EQ(RequestCode("13900139000").Code(), "200");
    const Answer other = Validate("13900139000", m_service.LatestSmsCode("13900139000"));
    EXPECT_NE(other.DataStr("account_name"), first.DataStr("account_name"));
}

TEST_F(WebApi, CodeIsSingleUseAndBurnsAfterFiveWrongTries)
{
    ASSERT_EQ(RequestCode(kPhone).Code(), "200");
    const std::string code = m_service.LatestSmsCode(kPhone);
    EXPECT_EQ(Validate(kPhone, code).Code(), "200");
    EXPECT_EQ(Validate(kPhone, code).Code(), "401"); // used up

    ASSERT_EQ(RequestCode(kPhone).Code(), "200");
    const std::string fresh = m_service.LatestSmsCode(kPhone);
    const std::string wrong = fresh == "000000" ? "111111" : "000000";
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Validate(kPhone, wrong).Code(), "401");
    EXPECT_EQ(Validate(kPhone, fresh).Code(), "401"); // guessed too often, the right code is gone too
}

TEST_F(WebApi, ValidationWithAccountBindsPhoneAndRejectsUnknownAccount)
{
    ASSERT_EQ(RequestCode(kPhone).Code(), "200");
    const std::string code = m_service.LatestSmsCode(kPhone);
    EXPECT_EQ(Validate(kPhone, code, "nobody@vtx.local").Code(), "404");
    // The unknown account did not use up the code.
    const Answer a = Validate(kPhone, code, VtxService::DemoAccount());
    ASSERT_EQ(a.Code(), "200") << a.body;
    ASSERT_TRUE(cJSON_IsObject(a.Data()));
    for (const cJSON* member = a.Data()->child; member; member = member->next) {
        ASSERT_TRUE(cJSON_IsString(member)) << member->string;
        EXPECT_STRNE(member->valuestring, "") << member->string;
    }
    EXPECT_EQ(Validate(kPhone, "12345").Code(), "401");
}

TEST_F(WebApi, ProfileCarriesNamesAndAServedAvatar)
{
    const Answer a = m_client.PostForm("/api/qzMeetings/user/get_user_qz", {{"email", VtxService::DemoAccount()}});
    ASSERT_EQ(a.Code(), "200") << a.body;
    EXPECT_FALSE(a.DataStr("id").empty());
    EXPECT_EQ(a.DataStr("last_name") + a.DataStr("first_name"), "王小明");
    const std::string avatar = a.DataStr("avatar_path");
    const std::string prefix = m_service.BaseUrl();
    ASSERT_EQ(avatar.compare(0, prefix.size(), prefix), 0) << avatar;
    auto png = m_client.Raw().Get(avatar.substr(prefix.size()).c_str());
    ASSERT_TRUE(png);
    EXPECT_EQ(png->status, 200);
    EXPECT_EQ(png->body.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)), 0);

    EXPECT_EQ(m_client.PostForm("/api/qzMeetings/user/get_user_qz", {{"email", "x@y.cn"}}).Code(), "404");
    EXPECT_EQ(m_client.PostForm("/api/qzMeetings/user/get_user_qz", {}).Code(), "400");
    EXPECT_EQ(m_client.Get("/avatar/99999.png").status, 404);
}

TEST_F(WebApi, ProfileAcceptsMultipartFields)
{
    httplib::MultipartFormDataItems items = {{"email", VtxService::DemoAccount(), "", ""}};
    const Answer a = ToAnswer(m_client.Raw().Post("/api/qzMeetings/user/get_user_qz", items));
    EXPECT_EQ(a.Code(), "200") << a.body;
}

TEST_F(WebApi, QueryListMettingAnswersTopLevelPasswordByIdOrNumber)
{
    const auto session = m_client.SignInDemo();
    const Answer item = m_client.PostJson("/sdk/items", "{\"topic\":\"t\",\"password\":\"pw42\"}", session);
    ASSERT_EQ(item.Code(), "200") << item.body;
    const auto id = static_cast<int64_t>(item.DataNum("meeting_id"));
    const auto number = static_cast<int64_t>(item.DataNum("meeting_number"));
    const std::string host = Escape(VtxService::DemoAccount());
    for (int64_t key : {id, number}) {
        const Answer a = m_client.Get("/api/orvo/user/QueryListMetting?host_id=" + host + "&id=" + std::to_string(key));
        EXPECT_EQ(a.Str("password"), "pw42") << key;
    }
    // The personal meeting without password answers an empty string, not a missing member.
    const Answer me = m_client.Get("/sdk/me", session);
    const Answer pmi = m_client.Get("/api/orvo/user/QueryListMetting?host_id=" + host +
                                    "&id=" + std::to_string(static_cast<int64_t>(me.DataNum("pmi"))));
    ASSERT_TRUE(cJSON_IsString(cJSON_GetObjectItemCaseSensitive(pmi.json.get(), "password"))) << pmi.body;
    EXPECT_EQ(pmi.Str("password"), "");

    const Answer stranger = m_client.Get("/api/orvo/user/QueryListMetting?host_id=x%40y.cn&id=" + std::to_string(id));
    EXPECT_EQ(stranger.Code(), "404");
    EXPECT_EQ(cJSON_GetObjectItemCaseSensitive(stranger.json.get(), "password"), nullptr);
    EXPECT_EQ(m_client.Get("/api/orvo/user/QueryListMetting?host_id=" + host + "&id=12ab").Code(), "400");
    EXPECT_EQ(m_client.Get("/api/orvo/user/QueryListMetting?host_id=" + host).Code(), "400");
}

TEST_F(WebApi, UpdatePmiChecksDigitsAndConflicts)
{
    const std::string host = Escape(VtxService::DemoAccount());
    auto update = [&](const std::string& pmi) {
        return m_client.Get("/api/orvo/user/UpdatePMI.do?host_id=" + host + "&pmi=" + pmi).Code();
    };
    EXPECT_EQ(update("123456789"), "400");
    EXPECT_EQ(update("123456789012"), "400");
    EXPECT_EQ(update("0123456789"), "400");
    EXPECT_EQ(m_client.Get("/api/orvo/user/UpdatePMI.do?host_id=x%40y.cn&pmi=1234567890").Code(), "404");

    EXPECT_EQ(update("12345678901"), "200");
    const auto session = m_client.SignInDemo();
    const Answer list = m_client.Get("/sdk/items", session);
    const cJSON* first = cJSON_GetArrayItem(cJSON_GetObjectItemCaseSensitive(list.Data(), "items"), 0);
    ASSERT_TRUE(first);
    EXPECT_TRUE(cJSON_IsTrue(cJSON_GetObjectItemCaseSensitive(first, "is_pmi")));
    EXPECT_EQ(cJSON_GetObjectItemCaseSensitive(first, "meeting_number")->valuedouble, 12345678901.0);

    // Another account's PMI is taken.
    ASSERT_EQ(RequestCode(kPhone).Code(), "200");
    const Answer guest = Validate(kPhone, m_service.LatestSmsCode(kPhone));
    const auto guestSession = m_client.SignIn(guest.DataStr("account_name"), guest.DataStr("password"));
    const auto guestPmi = static_cast<int64_t>(m_client.Get("/sdk/me", guestSession).DataNum("pmi"));
    EXPECT_EQ(update(std::to_string(guestPmi)), "409");
    EXPECT_EQ(update("12345678901"), "200"); // unchanged number is fine
}

TEST_F(WebApi, RecurringMeetingAppearsInTheHostsList)
{
    const std::string userId = DemoUserId();
    ASSERT_FALSE(userId.empty());
    const Answer a = m_client.PostJson("/api/qzMeetings/meetings/meetings_arrange.do",
                                       ArrangeBody(userId, "周会 \"weekly\"", Weekly()));
    ASSERT_EQ(a.Code(), "200") << a.body;

    const auto session = m_client.SignInDemo();
    const Answer list = m_client.Get("/sdk/items", session);
    const cJSON* items = cJSON_GetObjectItemCaseSensitive(list.Data(), "items");
    ASSERT_EQ(cJSON_GetArraySize(items), 2);
    const cJSON* item = cJSON_GetArrayItem(items, 1);
    EXPECT_STREQ(cJSON_GetObjectItemCaseSensitive(item, "topic")->valuestring, "周会 \"weekly\"");
    EXPECT_TRUE(cJSON_IsTrue(cJSON_GetObjectItemCaseSensitive(item, "recurring")));
    EXPECT_EQ(cJSON_GetObjectItemCaseSensitive(item, "start_time")->valuedouble, 0.0);
    EXPECT_EQ(cJSON_GetObjectItemCaseSensitive(item, "duration")->valuedouble, 90.0);
    EXPECT_TRUE(cJSON_IsTrue(cJSON_GetObjectItemCaseSensitive(item, "auto_recording")));
    EXPECT_FALSE(cJSON_IsTrue(cJSON_GetObjectItemCaseSensitive(item, "participant_video")));
    const cJSON* rec = cJSON_GetObjectItemCaseSensitive(item, "recurrence");
    EXPECT_STREQ(cJSON_GetObjectItemCaseSensitive(rec, "weekly_days")->valuestring, "3,5");
    EXPECT_EQ(cJSON_GetObjectItemCaseSensitive(rec, "repeat_interval")->valuedouble, 2.0);
    EXPECT_EQ(
        std::to_string(static_cast<int64_t>(cJSON_GetObjectItemCaseSensitive(item, "meeting_number")->valuedouble)),
        a.DataStr("meeting_number"));
}

TEST_F(WebApi, RecurringMeetingRejectsBadFields)
{
    const std::string userId = DemoUserId();
    auto post = [&](const std::string& body) {
        return m_client.PostJson("/api/qzMeetings/meetings/meetings_arrange.do", body).Code();
    };
    EXPECT_EQ(post(ArrangeBody("99999", "t", Weekly())), "404");
    EXPECT_EQ(post(ArrangeBody(userId, "", Weekly())), "400");
    // Duration as a JSON number instead of the string the client sends.
    std::string body = ArrangeBody(userId, "t", Weekly());
    const std::string durationText = "\"duration\" : \"90\"";
    body.replace(body.find(durationText), durationText.size(), "\"duration\" : 90");
    EXPECT_EQ(post(body), "400");
    EXPECT_EQ(post(ArrangeBody(userId, "t",
                               "\"recurrence\":{\"type\":\"2\",\"repeat_interval\":\"1\",\"weekly_days\" : \"5,3\","
                               "\"end_date_time\" : \"2031-04-30T23:59:59Z\"},")),
              "400");
    EXPECT_EQ(post(ArrangeBody(userId, "t",
                               "\"recurrence\":{\"type\":\"1\",\"repeat_interval\":\"16\","
                               "\"end_date_time\" : \"2031-04-30T23:59:59Z\"},")),
              "400");
    EXPECT_EQ(post(ArrangeBody(userId, "t",
                               "\"recurrence\":{\"type\":\"3\",\"repeat_interval\":\"1\",\"monthly_day\":\"2\","
                               "\"end_date_time\" : \"2031-02-30T23:59:59Z\"},")),
              "400");
    EXPECT_EQ(post(ArrangeBody(userId, "t",
                               "\"recurrence\":{\"type\":\"1\",\"repeat_interval\":\"1\","
                               "\"end_date_time\" : \"2031-03-01T23:59:59Z\"},")),
              "400"); // ends before it starts
    const auto session = m_client.SignInDemo();
    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItemCaseSensitive(m_client.Get("/sdk/items", session).Data(), "items")),
              1);
}

TEST_F(WebApi, ShortLinkResolvesToLaunchPage)
{
    const auto session = m_client.SignInDemo();
    const auto pmi = static_cast<int64_t>(m_client.Get("/sdk/me", session).DataNum("pmi"));
    const Answer a =
        m_client.PostForm("/api/qzMeetings/meetings/get_meetings_short_links", {{"meetings_id", std::to_string(pmi)}});
    ASSERT_EQ(a.Code(), "200") << a.body;
    const cJSON* data = a.Data();
    ASSERT_TRUE(cJSON_IsString(data));
    const std::string link = data->valuestring;
    EXPECT_EQ(
        m_client.PostForm("/api/qzMeetings/meetings/get_meetings_short_links", {{"meetings_id", std::to_string(pmi)}})
            .Data()
            ->valuestring,
        link);
    const std::string base = m_service.BaseUrl();
    ASSERT_EQ(link.compare(0, base.size(), base), 0) << link;
    auto page = m_client.Raw().Get(link.substr(base.size()).c_str());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->get_header_value("Content-Type").find("text/html"), std::string::npos);
    EXPECT_NE(page->body.find("href=\"vtxlaunch://roomID:" + std::to_string(pmi) + "\""), std::string::npos);

    EXPECT_EQ(
        m_client.PostForm("/api/qzMeetings/meetings/get_meetings_short_links", {{"meetings_id", "55555555555"}}).Code(),
        "404");
    EXPECT_EQ(m_client.PostForm("/api/qzMeetings/meetings/get_meetings_short_links", {{"meetings_id", "x"}}).Code(),
              "400");
    EXPECT_EQ(m_client.Raw().Get("/s/zzzz")->status, 404);
}

TEST_F(WebApi, UserGuideFollowsTheAskedLanguageOrRedirects)
{
    const auto guide = [&](const std::string& target, const httplib::Headers& headers) {
        auto page = m_client.Raw().Get(target.c_str(), headers);
        EXPECT_TRUE(page && page->status == 200);
        return page ? page->body : std::string();
    };
    // The page holds both languages; the asked one comes first.
    const auto chineseFirst = [](const std::string& body) {
        const size_t zh = body.find("id=\"zh\""), en = body.find("id=\"en\"");
        EXPECT_NE(zh, std::string::npos);
        EXPECT_NE(en, std::string::npos);
        return zh < en;
    };
    EXPECT_TRUE(chineseFirst(guide("/guide/PC/pcguide.html?lang=zh-CN", {})));
    EXPECT_FALSE(chineseFirst(guide("/guide/PC/pcguide.html?lang=en", {})));
    // The client's own choice wins over the browser's header.
    EXPECT_FALSE(chineseFirst(guide("/guide/PC/pcguide.html?lang=en", {{"Accept-Language", "zh-CN"}})));
    EXPECT_TRUE(chineseFirst(guide("/guide/PC/pcguide.html", {{"Accept-Language", "fr;q=1, zh;q=0.7, en;q=0.5"}})));
    EXPECT_FALSE(chineseFirst(guide("/guide/PC/pcguide.html", {{"Accept-Language", "zh;q=0.3, en-GB"}})));
    EXPECT_FALSE(chineseFirst(guide("/guide/PC/pcguide.html", {{"Accept-Language", "zh;q=x, de"}})));

    vtxtest::VtxService::Options options;
    options.guideUrl = "https://docs.example.org/vtx/guide.html";
    vtxtest::VtxService elsewhere(options);
    ASSERT_TRUE(elsewhere.Ok()) << elsewhere.Error();
    Client client(elsewhere);
    auto moved = client.Raw().Get("/guide/PC/pcguide.html?lang=en");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->status, 302);
    EXPECT_EQ(moved->get_header_value("Location"), options.guideUrl);
}

TEST_F(WebApi, EmailInvitationWritesOneFilePerAddress)
{
    const std::string body = "{\"topic\":\"Plan \\\"A\\\"\",\"start_time\":\"2031-01-01 10:00:00\",\"duration\":\"60 "
                             "minutes\",\"meetings_id\":\"12345678901\",\"mettings_password\":\"pw1\"}";
    const Answer a = m_client.PostJson("/api/qzMeetings/meetings/send_email?email=" + Escape("a@x.cn;b@y.cn"), body);
    ASSERT_EQ(a.Code(), "200") << a.body;
    const auto files = m_service.OutboxFiles("email-");
    ASSERT_EQ(files.size(), 2u);
    std::ifstream in(m_service.OutboxDir() + "/" + files[0]);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("Plan \"A\""), std::string::npos);
    EXPECT_NE(text.str().find("123-4567-8901"), std::string::npos);
    EXPECT_NE(text.str().find("pw1"), std::string::npos);

    const Answer bad =
        m_client.PostJson("/api/qzMeetings/meetings/send_email?email=" + Escape("a@x.cn;not-mail"), body);
    EXPECT_EQ(bad.Code(), "400");
    EXPECT_NE(bad.Msg().find("not-mail"), std::string::npos);
    EXPECT_EQ(m_client.PostJson("/api/qzMeetings/meetings/send_email?email=", body).Code(), "400");
    EXPECT_EQ(m_service.OutboxFiles("email-").size(), 2u); // nothing sent for the refused ones
}

TEST_F(WebApi, PasswordChangeChecksCurrentPasswordAndMovesSignIn)
{
    const std::string id = DemoUserId();
    auto change = [&](const std::string& next, const std::string& old) {
        return m_client.PostForm("/api/qzMeetings/user/set_user.do",
                                 {{"user_id", id}, {"password", next}, {"passwordOld", old}});
    };
    const Answer wrong = change("newpass1", "nope");
    EXPECT_EQ(wrong.Code(), "403");
    EXPECT_FALSE(wrong.Msg().empty());
    EXPECT_EQ(change("short", VtxService::DemoPassword()).Code(), "400");
    EXPECT_EQ(m_client.PostForm("/api/qzMeetings/user/set_user.do", {{"user_id", id}}).Code(), "400");
    EXPECT_EQ(change("密码 with \"quotes\"", VtxService::DemoPassword()).Code(), "200");

    const auto token = m_client.AppHeaders();
    EXPECT_EQ(m_client.PostJson("/sdk/login", "{\"user\":\"demo@vtx.local\",\"password\":\"demo1234\"}", token).Code(),
              "401");
    EXPECT_EQ(m_client
                  .PostJson("/sdk/login",
                            "{\"user\":\"demo@vtx.local\",\"password\":" + Quote("密码 with \"quotes\"") + "}", token)
                  .Code(),
              "200");
}

TEST_F(WebApi, VersionAnswerFollowsAdminChanges)
{
    const std::string request = "{\"pv\":\"windows\",\"app_id\": \"qzvlt-003\",\"version\": \"1.5.0\"}";
    Answer a = m_client.PostJson("/api/upgrade/newVersion.do", request);
    ASSERT_EQ(a.Code(), "200");
    EXPECT_EQ(a.DataStr("app_version_new"), "1.5.0");
    for (const char* member : {"force_update", "url", "tips"})
        EXPECT_TRUE(cJSON_IsString(cJSON_GetObjectItemCaseSensitive(a.Data(), member))) << member;

    ASSERT_EQ(m_client
                  .PostJson("/admin/version", "{\"app_version_new\":\"1.6.0\",\"force_update\":\"0\","
                                              "\"url\":\"https://example.cn/vtx.tar.gz\",\"tips\":\"新版本\"}")
                  .Code(),
              "200");
    a = m_client.PostJson("/api/upgrade/newVersion.do", request);
    EXPECT_EQ(a.DataStr("app_version_new"), "1.6.0");
    EXPECT_EQ(a.DataStr("force_update"), "0");
    EXPECT_EQ(a.DataStr("tips"), "新版本");
    EXPECT_EQ(m_client.PostJson("/admin/version", "{\"force_update\":0}").Code(), "400");

    // The change is saved for the next start.
    std::ifstream in(m_service.DataDir() + "/version.json");
    std::stringstream saved;
    saved << in.rdbuf();
    EXPECT_NE(saved.str().find("1.6.0"), std::string::npos);
}

TEST_F(WebApi, PlusInQueryStaysPartOfTheAddress)
{
    const std::string body = "{\"topic\":\"t\",\"start_time\":\"2031-01-01 10:00:00\",\"duration\":\"60\","
                             "\"meetings_id\":\"12345678901\",\"mettings_password\":\"\"}";
    m_client.Raw().set_url_encode(false); // send the query exactly as written
    const Answer a =
        m_client.PostJson("/api/qzMeetings/meetings/send_email?email=first+tag@x.cn;second%2Btag%40y.cn", body);
    ASSERT_EQ(a.Code(), "200") << a.body;
    const auto files = m_service.OutboxFiles("email-");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(files[0].find("first+tag@x.cn"), std::string::npos) << files[0];
    EXPECT_NE(files[1].find("second+tag@y.cn"), std::string::npos) << files[1];
    // A stray percent sign is not a valid address, and does not crash the decoder.
    EXPECT_EQ(m_client.PostJson("/api/qzMeetings/meetings/send_email?email=bad%zz@x.cn%", body).Code(), "400");
}
