// The scheduling endpoints: bodies compared as parsed JSON, then against a vtx-service of the test.
#include "net/MeetingApi.h"

#include <QTcpServer>
#include <gtest/gtest.h>
#include <memory>

#include "net/ServiceRequest.h"
#include "support/VtxService.h"

namespace {

net::ArrangeRequest weeklyRequest(const std::string& userId)
{
    net::ArrangeRequest r;
    r.userId = userId;
    r.topic = QStringLiteral("Team sync");
    r.startTime = "2031-01-07 10:00:00";
    r.durationMinutes = 90;
    r.recurrence.type = net::ArrangeRecurrence::Weekly;
    r.recurrence.interval = 2;
    r.recurrence.weeklyDays = "3,5";
    r.recurrence.endDateTime = "2031-03-01T23:59:59Z";
    return r;
}

net::Reply parse(const std::string& body)
{
    return net::Reply::fromBody(body);
}

const cJSON* member(const cJSON* object, const char* name)
{
    return cJSON_GetObjectItemCaseSensitive(object, name);
}

std::string text(const cJSON* object, const char* name)
{
    const cJSON* item = member(object, name);
    return cJSON_IsString(item) ? item->valuestring : "<not a string>";
}

} // namespace

TEST(ArrangeBody, WeeklyMeetingCarriesEveryFieldAsText)
{
    net::ArrangeRequest r = weeklyRequest("42");
    r.password = "abc123";
    r.autoRecording = true;
    const net::Reply body = parse(net::arrangeMeetingBody(r));
    ASSERT_EQ(body.state(), net::Reply::State::Parsed);
    const cJSON* root = body.root();
    EXPECT_EQ(text(root, "user_id"), "42");
    EXPECT_EQ(text(root, "type"), "8");
    EXPECT_EQ(text(root, "start_time"), "2031-01-07 10:00:00");
    EXPECT_EQ(text(root, "duration"), "90");
    EXPECT_EQ(text(root, "timezone"), "Asia/Shanghai");
    EXPECT_EQ(text(root, "password"), "abc123");
    const cJSON* rec = member(root, "recurrence");
    ASSERT_TRUE(cJSON_IsObject(rec));
    EXPECT_EQ(text(rec, "type"), "2");
    EXPECT_EQ(text(rec, "repeat_interval"), "2");
    EXPECT_EQ(text(rec, "weekly_days"), "3,5");
    EXPECT_EQ(member(rec, "monthly_day"), nullptr);
    EXPECT_EQ(text(rec, "end_date_time"), "2031-03-01T23:59:59Z");
    const cJSON* settings = member(root, "settings");
    ASSERT_TRUE(cJSON_IsObject(settings));
    EXPECT_EQ(text(settings, "host_video"), "true");
    EXPECT_EQ(text(settings, "join_before_host"), "false");
    EXPECT_EQ(text(settings, "use_pmi"), "false");
    EXPECT_EQ(text(settings, "auto_recording"), "local");
    // The recurrence comes directly before the settings, as the service's own clients send it.
    EXPECT_EQ(rec->next, settings);
}

TEST(ArrangeBody, DailyAndMonthlyCarryOnlyTheirOwnRuleFields)
{
    net::ArrangeRequest r = weeklyRequest("1");
    r.recurrence.type = net::ArrangeRecurrence::Monthly;
    r.recurrence.monthlyDay = 31;
    net::Reply body = parse(net::arrangeMeetingBody(r));
    const cJSON* rec = member(body.root(), "recurrence");
    EXPECT_EQ(text(rec, "type"), "3");
    EXPECT_EQ(text(rec, "monthly_day"), "31");
    EXPECT_EQ(member(rec, "weekly_days"), nullptr);

    r.recurrence.type = net::ArrangeRecurrence::Daily;
    body = parse(net::arrangeMeetingBody(r));
    rec = member(body.root(), "recurrence");
    EXPECT_EQ(text(rec, "type"), "1");
    EXPECT_EQ(member(rec, "weekly_days"), nullptr);
    EXPECT_EQ(member(rec, "monthly_day"), nullptr);
    EXPECT_EQ(text(member(body.root(), "settings"), "auto_recording"), "none");
}

TEST(ArrangeBody, HostileTopicsStayOneWellFormedValue)
{
    const QString topics[] = {
        QStringLiteral("say \"hi\", \\o/ \r\nnext line\t\x01 end"),
        QStringLiteral("\",\"user_id\":\"0"),
        QString(10000, QChar(0x4F1A)),
        QStringLiteral("emoji \U0001F600 and \u00E9"),
    };
    for (const QString& topic : topics) {
        net::ArrangeRequest r = weeklyRequest("7");
        r.topic = topic;
        r.password = "p\"w";
        const net::Reply body = parse(net::arrangeMeetingBody(r));
        ASSERT_EQ(body.state(), net::Reply::State::Parsed) << topic.left(40).toStdString();
        EXPECT_EQ(QString::fromUtf8(text(body.root(), "topic").c_str()), topic);
        EXPECT_EQ(text(body.root(), "user_id"), "7");
        EXPECT_EQ(text(body.root(), "password"), "p\"w");
    }
}

class ScheduleService : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_service = std::make_unique<vtxtest::VtxService>();
        ASSERT_TRUE(m_service->Ok()) << m_service->Error();
        qputenv("VTX_SERVICE_HOST", QByteArray::fromStdString(m_service->HostPort()));
    }
    std::string demoUserId()
    {
        const net::Reply profile =
            net::postFields("/api/qzMeetings/user/get_user_qz", {{"email", vtxtest::VtxService::DemoAccount()}});
        return profile.dataString("id").value_or("");
    }
    std::unique_ptr<vtxtest::VtxService> m_service;
};

TEST_F(ScheduleService, AcceptsARecurringMeetingAndReportsItsOwnRefusals)
{
    const std::string userId = demoUserId();
    ASSERT_FALSE(userId.empty());
    EXPECT_TRUE(net::arrangeMeeting(weeklyRequest(userId)).ok);

    net::ArrangeRequest tooLong = weeklyRequest(userId);
    tooLong.topic = QString(10000, QLatin1Char('x'));
    const net::ServiceResult refused = net::arrangeMeeting(tooLong);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.msg.find("topic"), std::string::npos) << refused.msg;

    net::ArrangeRequest noDays = weeklyRequest(userId);
    noDays.recurrence.weeklyDays.clear();
    EXPECT_FALSE(net::arrangeMeeting(noDays).ok);
}

TEST_F(ScheduleService, ChangesThePersonalMeetingIdAndRefusesShortOnes)
{
    const QString account = QString::fromLatin1(vtxtest::VtxService::DemoAccount());
    EXPECT_TRUE(net::updatePersonalMeetingId(account, 3456789012ull).ok);
    const net::ServiceResult shortId = net::updatePersonalMeetingId(account, 345678901ull);
    EXPECT_FALSE(shortId.ok);
    EXPECT_FALSE(shortId.msg.empty());
    // An account carrying query syntax stays one value.
    EXPECT_FALSE(net::updatePersonalMeetingId(account + QStringLiteral("&pmi=1"), 4567890123ull).ok);
}

TEST(ScheduleServiceDown, NoServiceIsAFailureWithoutText)
{
    // A loopback port that was free a moment ago: nothing answers there.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    qputenv("VTX_SERVICE_HOST", QByteArray("127.0.0.1:") + QByteArray::number(port));
    const net::ServiceResult result = net::arrangeMeeting(weeklyRequest("1"));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.msg.empty());
}
