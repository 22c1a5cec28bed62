// The short-link and e-mail endpoints as the invite dialog calls them.

#include "net/InviteApi.h"

#include <gtest/gtest.h>

#include "HttpsTestServer.h"
#include "InviteSupport.h"

namespace {

using InviteApi = InviteFixture;

net::EmailInvitation invitation(quint64 number)
{
    net::EmailInvitation inv;
    inv.topic = "Budget \"Q3\" \xe5\x91\xa8\xe4\xbc\x9a"; // quotes and Chinese survive the body
    inv.startTime = "2026-12-09 20:30:00";
    inv.durationMinutes = 45;
    inv.minuteUnit = "minutes";
    inv.meetingId = number;
    inv.password = "p&w;d=1";
    return inv;
}

TEST_F(InviteApi, ShortLinkOfARunningMeetingIsTheServicesStablePage)
{
    const quint64 number = runningMeeting();
    const std::optional<std::string> link = net::fetchShortLink(number);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->rfind(m_service->BaseUrl() + "/s/", 0), 0u) << *link;
    EXPECT_EQ(net::fetchShortLink(number), link);
    EXPECT_FALSE(net::fetchShortLink(98765432101ull)) << "an unknown meeting has no short link";
}

TEST_F(InviteApi, EmailReachesTheOutboxOncePerAddressWithTheMeetingsValues)
{
    const quint64 number = runningMeeting();
    const net::EmailSendResult result =
        net::sendEmailInvitation({"first@example.com", "second+tag@example.org"}, invitation(number));
    EXPECT_TRUE(result.sent) << result.msg;
    const std::vector<std::string> mails = outboxMails(*m_service);
    ASSERT_EQ(mails.size(), 2u);
    const bool firstThere = mails[0].find("first@example.com") != std::string::npos ||
                            mails[1].find("first@example.com") != std::string::npos;
    const bool secondThere = mails[0].find("second+tag@example.org") != std::string::npos ||
                             mails[1].find("second+tag@example.org") != std::string::npos;
    EXPECT_TRUE(firstThere && secondThere);
    for (const std::string& mail : mails) {
        EXPECT_NE(mail.find("Topic: Budget \"Q3\" \xe5\x91\xa8\xe4\xbc\x9a"), std::string::npos) << mail;
        EXPECT_NE(mail.find("Time: 2026-12-09 20:30:00"), std::string::npos) << mail;
        EXPECT_NE(mail.find("Duration: 45 minutes"), std::string::npos) << mail;
        EXPECT_NE(mail.find("Password: p&w;d=1"), std::string::npos) << mail;
        EXPECT_NE(mail.find("/j/" + std::to_string(number)), std::string::npos) << mail;
    }
}

TEST_F(InviteApi, InternationalisedAddressArrivesUnchanged)
{
    const quint64 number = runningMeeting();
    const std::string address = "\xe7\x94\xa8\xe6\x88\xb7@\xe4\xbe\x8b\xe5\xad\x90.\xe4\xb8\xad\xe5\x9b\xbd";
    EXPECT_TRUE(net::sendEmailInvitation({address}, invitation(number)).sent);
    const std::vector<std::string> mails = outboxMails(*m_service);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_NE(mails[0].find("To: " + address), std::string::npos) << mails[0];
}

TEST_F(InviteApi, RefusalCarriesTheServicesMessageAndSendsNothing)
{
    const quint64 number = runningMeeting();
    net::EmailSendResult result = net::sendEmailInvitation({"not-an-address"}, invitation(number));
    EXPECT_FALSE(result.sent);
    EXPECT_TRUE(result.answered);
    EXPECT_NE(result.msg.find("not-an-address"), std::string::npos) << result.msg;

    std::vector<std::string> many;
    for (int i = 0; i < 200; ++i)
        many.push_back("person" + std::to_string(i) + "@example.com");
    result = net::sendEmailInvitation(many, invitation(number));
    EXPECT_FALSE(result.sent);
    EXPECT_FALSE(result.msg.empty());
    EXPECT_TRUE(outboxMails(*m_service).empty());
}

TEST_F(InviteApi, NoServiceMeansNoLinkAndAnUnansweredSend)
{
    m_service->Stop();
    EXPECT_FALSE(net::fetchShortLink(12345678901ull));
    const net::EmailSendResult result = net::sendEmailInvitation({"a@example.com"}, invitation(12345678901ull));
    EXPECT_FALSE(result.sent);
    EXPECT_FALSE(result.answered);
    EXPECT_TRUE(result.msg.empty());
}

// Answers the service might give when something is wrong on its side.
TEST(InviteApiAnswers, OnlyAStringCode200WithANonEmptyStringIsAShortLink)
{
    HttpsTestServer server;
    std::string answer;
    std::string fieldSeen;
    server.server().Post("/api/qzMeetings/meetings/get_meetings_short_links",
                         [&](const httplib::Request& req, httplib::Response& res) {
                             fieldSeen = req.get_param_value("meetings_id");
                             res.set_content(answer, "application/json");
                         });
    ASSERT_TRUE(server.start());
    qputenv("VTX_SERVICE_HOST", QByteArray::fromStdString(server.host()));

    answer = R"({"code":"200","msg":"ok","data":"https://example.com/s/abc"})";
    EXPECT_EQ(net::fetchShortLink(9223372036854775807ull), std::optional<std::string>("https://example.com/s/abc"));
    EXPECT_EQ(fieldSeen, "9223372036854775807");
    for (const char* bad : {R"({"code":200,"data":"https://example.com/s/abc"})", R"({"code":"200","data":""})",
                            R"({"code":"200","data":{"link":"https://example.com/s/abc"}})",
                            R"({"code":"500","msg":"down","data":"https://example.com/s/abc"})", "<html>busy</html>",
                            R"({"code":"200","data":"https://example.com/s/abc")", ""}) {
        answer = bad;
        EXPECT_FALSE(net::fetchShortLink(1)) << bad;
    }
}

TEST(InviteApiAnswers, EmailAddressesTravelAsOnePercentEncodedValue)
{
    HttpsTestServer server;
    std::string emailSeen;
    std::string bodySeen;
    std::string answer = R"({"code":"200","data":{"sent":2}})";
    server.server().Post("/api/qzMeetings/meetings/send_email",
                         [&](const httplib::Request& req, httplib::Response& res) {
                             emailSeen = req.get_param_value("email");
                             bodySeen = req.body;
                             res.set_content(answer, "application/json");
                         });
    ASSERT_TRUE(server.start());
    qputenv("VTX_SERVICE_HOST", QByteArray::fromStdString(server.host()));

    net::EmailInvitation inv;
    inv.topic = std::string(3000, 't'); // far beyond the old 1024-byte buffers
    inv.startTime = "2026-12-09 20:30:00";
    inv.durationMinutes = 60;
    inv.minuteUnit = "\xe5\x88\x86\xe9\x92\x9f";
    inv.meetingId = 12345678901ull;
    inv.password = "a\"b\\c";
    std::vector<std::string> addresses;
    for (int i = 0; i < 60; ++i)
        addresses.push_back("a+" + std::to_string(i) + "@example.com");
    EXPECT_TRUE(net::sendEmailInvitation(addresses, inv).sent);
    EXPECT_EQ(emailSeen.substr(0, 28), "a+0@example.com;a+1@example.");
    EXPECT_EQ(emailSeen.size(), 10u * 15 + 50 * 16 + 59);
    EXPECT_EQ(bodySeen, "{\"topic\":\"" + inv.topic +
                            "\",\"start_time\":\"2026-12-09 20:30:00\",\"duration\":\"60 \xe5\x88\x86\xe9\x92\x9f\","
                            "\"meetings_id\":\"12345678901\",\"mettings_password\":\"a\\\"b\\\\c\"}");

    answer = R"({"code":200,"msg":"sent?"})";
    net::EmailSendResult result = net::sendEmailInvitation({"a@example.com"}, inv);
    EXPECT_FALSE(result.sent);
    EXPECT_EQ(result.msg, "sent?");
    answer = "not json";
    result = net::sendEmailInvitation({"a@example.com"}, inv);
    EXPECT_FALSE(result.sent);
    EXPECT_FALSE(result.answered);
    EXPECT_TRUE(result.msg.empty());
}

} // namespace
