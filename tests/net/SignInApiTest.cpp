// The phone-verification endpoints against a vtx-service of the test's own.

#include "net/SignInApi.h"

#include <QFile>
#include <gtest/gtest.h>
#include <memory>

#include "net/CHTTPUtil.h"
#include "support/TestEnvironment.h"
#include "support/VtxService.h"

namespace {

const QString kPhone = QStringLiteral("13800138000");

class SignInApi : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_service = std::make_unique<vtxtest::VtxService>();
        ASSERT_TRUE(m_service->Ok()) << m_service->Error();
        const QString folder = vtxtest::makeTempDir(QStringLiteral("program")) + QLatin1Char('/');
        ASSERT_TRUE(QFile::copy(QStringLiteral(VTX_HTTPCLIENT_LIBRARY), folder + QStringLiteral("libHttpClient.so")));
        ASSERT_TRUE(QFile::copy(QString::fromStdString(vtxtest::VtxService::CaFile()),
                                folder + QStringLiteral("curl-ca-bundle.crt")));
        CHTTPUtil::Instance()->Rebind(folder);
        qputenv("VTX_SERVICE_HOST", QByteArray::fromStdString(m_service->HostPort()));
    }
    void TearDown() override { qunsetenv("VTX_SERVICE_HOST"); }

    QString sentCode(const QString& phone) const
    {
        return QString::fromStdString(m_service->LatestSmsCode(phone.toStdString()));
    }

    std::unique_ptr<vtxtest::VtxService> m_service;
};

TEST_F(SignInApi, CodeRequestReachesThePhoneAndBadNumbersAreRefused)
{
    EXPECT_TRUE(net::requestVerificationCode(kPhone));
    EXPECT_EQ(sentCode(kPhone).size(), 6);
    EXPECT_FALSE(net::requestVerificationCode(QStringLiteral("23800138000")));
    EXPECT_FALSE(net::requestVerificationCode(QStringLiteral("1380013800\"}")));
    EXPECT_TRUE(sentCode(QStringLiteral("23800138000")).isEmpty());
}

TEST_F(SignInApi, AnonymousValidationHandsOutATemporaryAccountOnlyForTheRightCode)
{
    ASSERT_TRUE(net::requestVerificationCode(kPhone));
    const QString code = sentCode(kPhone);
    ASSERT_FALSE(code.isEmpty());
    const QString wrong = code == QStringLiteral("000000") ? QStringLiteral("111111") : QStringLiteral("000000");
    EXPECT_EQ(net::validateAnonymous(kPhone, wrong), std::nullopt);

    const std::optional<net::TemporaryAccount> account = net::validateAnonymous(kPhone, code);
    ASSERT_TRUE(account);
    EXPECT_FALSE(account->account.isEmpty());
    EXPECT_FALSE(account->password.isEmpty());
    EXPECT_NE(account->account, QString::fromLatin1(vtxtest::VtxService::DemoAccount()));
}

TEST_F(SignInApi, AccountValidationNeedsAKnownAccountAndTheRightCode)
{
    ASSERT_TRUE(net::requestVerificationCode(kPhone));
    const QString code = sentCode(kPhone);
    ASSERT_FALSE(code.isEmpty());
    const QString demo = QString::fromLatin1(vtxtest::VtxService::DemoAccount());
    EXPECT_FALSE(net::validateForAccount(kPhone, code, QStringLiteral("nobody@vtx.local")));
    EXPECT_TRUE(net::validateForAccount(kPhone, code, demo));

    // Without a service nothing is accepted.
    qputenv("VTX_SERVICE_HOST", "127.0.0.1:1");
    EXPECT_FALSE(net::validateForAccount(kPhone, code, demo));
    EXPECT_FALSE(net::requestVerificationCode(kPhone));
}

} // namespace
