// The account endpoints: version answers good and bad, the profile, and the password change
// against vtx-service; garbage and silence from an in-process server.

#include "net/AccountApi.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "AccountTestSupport.h"

namespace {

using accounttest::ServiceFixture;

TEST(VersionOrder, OffersOnlyStrictlyNewerDottedNumbers)
{
    struct Case
    {
        std::string answered;
        bool newer;
    };
    const Case cases[] = {
        {"1.5.1", true},
        {"1.6", true},
        {"2.0.0", true},
        {"1.10.0", true}, // a byte-wise comparison puts this below 1.9
        {"1.5.0.1", true},
        {"01.005.001", true},
        {"99999999999.0.0", true},
        {"1.99999999999999999999999", true},
        {"1.5.0", false},
        {"1.5", false},
        {"1.5.0.0", false},
        {"1.4.9", false}, // a rollback is not an update
        {"0.9.99", false},
        {"1.5.0-rc1", false},
        {"1.6.0-rc1", false},
        {"", false},
        {"v1.6.0", false},
        {" 1.6.0", false},
        {"1..6", false},
        {".1.6", false},
        {"1.6.", false},
        {"1,6", false},
        {std::string(10000, '9'), false},
        {"9" + std::string(9999, '.'), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(net::isNewerVersion(c.answered, "1.5.0"), c.newer) << c.answered.substr(0, 30);
    EXPECT_FALSE(net::isNewerVersion("2.0", "garbage"));
    EXPECT_EQ(net::clientVersion(), "1.5.0");
}

TEST(VersionAnswerReading, TakesOnlyCompleteStringAnswers)
{
    auto read = [](const std::string& body) { return net::readVersionAnswer(net::Reply::fromBody(body)); };
    const std::string tail = R"(,"url":"https://h/v.deb","tips":"a\\nb"}})";

    const auto full = read(R"({"code":"200","data":{"app_version_new":"1.6.0","force_update":"1")" + tail);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->version, "1.6.0");
    EXPECT_EQ(full->url, "https://h/v.deb");
    EXPECT_EQ(full->tips, "a\\nb"); // escaped line breaks reach the dialog as the two characters
    EXPECT_EQ(full->mandatory, std::optional<bool>(false));

    EXPECT_FALSE(read(""));
    EXPECT_FALSE(read("<html>502</html>"));
    EXPECT_FALSE(read(R"({"code":"200"})"));
    EXPECT_FALSE(read(R"({"code":"200","data":"1.6.0"})"));
    EXPECT_FALSE(read(R"({"code":"200","data":{"force_update":"0")" + tail)); // no version
    EXPECT_FALSE(read(R"({"code":"200","data":{"app_version_new":1.6,"force_update":"0")" + tail));
    EXPECT_FALSE(read(R"({"code":"200","data":{"app_version_new":"1.6.0","url":null,"tips":""}})"));
    EXPECT_FALSE(read(R"({"code":"200","data":{"app_version_new":"1.6.0","url":"u"}})"));
}

TEST(VersionAnswerReading, ForceUpdateMeansMandatoryOnlyAsTheNumberZero)
{
    struct Case
    {
        std::string member; // the whole "force_update" member, or nothing
        std::optional<bool> mandatory;
    };
    const Case cases[] = {
        {R"("force_update":"0",)", true},   {R"("force_update":"00",)", true},
        {R"("force_update":" 0 ",)", true}, {R"("force_update":"1",)", false},
        {R"("force_update":"2",)", false},  {R"("force_update":"-1",)", false},
        {R"("force_update":"",)", {}},      {R"("force_update":"abc",)", {}},
        {R"("force_update":"0x",)", {}},    {R"("force_update":"1.0",)", {}},
        {R"("force_update":0,)", {}},       {R"("force_update":true,)", {}},
        {R"("force_update":null,)", {}},    {"", {}},
    };
    for (const Case& c : cases) {
        const auto answer = net::readVersionAnswer(
            net::Reply::fromBody(R"({"data":{)" + c.member + R"("app_version_new":"1.6.0","url":"","tips":""}})"));
        ASSERT_TRUE(answer) << c.member;
        EXPECT_EQ(answer->mandatory, c.mandatory) << c.member;
    }
}

class AccountService : public ServiceFixture
{
};

TEST_F(AccountService, VersionCheckReadsTheServiceAnswer)
{
    auto answer = net::checkVersion(); // a fresh service answers "no update"
    ASSERT_TRUE(answer);
    EXPECT_FALSE(net::isNewerVersion(answer->version, net::clientVersion()));

    const std::string longNotes = "1. Faster joins\\n2. <b>bold</b> \"quoted\"\\n" + std::string(100000, 'x');
    answerVersion("1.7.2", "0", "https://127.0.0.1/pkg/vtx_1.7.2.deb", longNotes);
    answer = net::checkVersion();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->version, "1.7.2");
    EXPECT_EQ(answer->mandatory, std::optional<bool>(true));
    EXPECT_EQ(answer->url, "https://127.0.0.1/pkg/vtx_1.7.2.deb");
    EXPECT_EQ(answer->tips, longNotes);
    EXPECT_TRUE(net::isNewerVersion(answer->version, net::clientVersion()));

    answerVersion(std::string(10000, '1'), "1");
    answer = net::checkVersion();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->version.size(), 10000u);
    EXPECT_FALSE(net::isNewerVersion(answer->version, net::clientVersion()));
}

TEST_F(AccountService, ProfileOfAKnownAndAnUnknownAccount)
{
    const auto demo = net::fetchUserProfile(QString::fromLatin1(vtxtest::VtxService::DemoAccount()));
    ASSERT_TRUE(demo);
    EXPECT_FALSE(demo->id.isEmpty());
    EXPECT_EQ(demo->lastName, QStringLiteral("王"));
    EXPECT_EQ(demo->firstName, QStringLiteral("小明"));
    EXPECT_TRUE(demo->avatarPath.startsWith(QStringLiteral("https://"))) << demo->avatarPath.toStdString();

    EXPECT_FALSE(net::fetchUserProfile(QStringLiteral("nobody@vtx.local")));
    EXPECT_FALSE(net::fetchUserProfile(QString()));
}

// Answers the service never gives.
class BrokenService : public accounttest::BrokenServiceFixture
{
protected:
    BrokenService()
        : BrokenServiceFixture("<html>gateway error</html>", "text/html")
    {}
};

TEST_F(BrokenService, SilentServiceCostsAtMostTheAccountLimitEvenWithLaxSharedTimeouts)
{
    net::setRequestTimeouts(60000, 60000);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(net::fetchUserProfile(QStringLiteral("demo@vtx.local")));
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_LT(waited, std::chrono::milliseconds(net::kAccountRequestLimit.totalMs + 2000));
    EXPECT_GE(waited, std::chrono::milliseconds(net::kAccountRequestLimit.totalMs - 500));
    EXPECT_LE(net::kAccountRequestLimit.totalMs, net::kAccountDialogBudgetMs);

    // A tighter shared limit wins over the account limit, and a tighter own limit over a lax shared one.
    net::setRequestTimeouts(500, 800);
    auto again = std::chrono::steady_clock::now();
    EXPECT_FALSE(net::fetchUserProfile(QStringLiteral("demo@vtx.local")));
    EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(3000));
    net::setRequestTimeouts(60000, 60000);
    again = std::chrono::steady_clock::now();
    EXPECT_FALSE(net::fetchUserProfile(QStringLiteral("demo@vtx.local"), net::Timeouts{500, 800}));
    EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(3000));
}

} // namespace
