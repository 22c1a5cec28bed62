// The lowest client layer: meeting numbers, text conversions, service addresses, the lifecycle.

#include <QCoreApplication>
#include <QStringList>
#include <gtest/gtest.h>

#include "base/Lifecycle.h"
#include "base/MeetingNumber.h"
#include "base/ServiceConfig.h"
#include "base/Text.h"

TEST(MeetingNumberParse, ReadsLeadingDigitsLikeTheSdk)
{
    EXPECT_EQ(parseMeetingNumber("12345678901"), 12345678901ull);
    EXPECT_EQ(parseMeetingNumber("  987abc12"), 987ull);
    EXPECT_EQ(parseMeetingNumber("+42"), 42ull);
    EXPECT_EQ(parseMeetingNumber("abc"), 0ull);
    EXPECT_EQ(parseMeetingNumber(""), 0ull);
    EXPECT_EQ(parseMeetingNumber("9223372036854775807"), 9223372036854775807ull);
    EXPECT_EQ(parseMeetingNumber("9223372036854775808"), 0ull); // beyond the signed range
    EXPECT_EQ(parseMeetingNumber("99999999999999999999999"), 0ull);
    EXPECT_EQ(parseMeetingNumber("-5"), 0ull);
    // Grouped text is not a number: callers strip the dashes first.
    EXPECT_EQ(parseMeetingNumber(stripMeetingNumber("123-4567-8901")), 12345678901ull);
    EXPECT_EQ(parseMeetingNumber("123-4567"), 123ull);
}

TEST(MeetingNumberParse, PrintsAsSigned64BitAndRoundTrips)
{
    EXPECT_EQ(meetingNumberText(0), "0");
    EXPECT_EQ(meetingNumberText(9223372036854775807ull), "9223372036854775807");
    EXPECT_EQ(meetingNumberText(9223372036854775808ull), "-9223372036854775808");
    EXPECT_EQ(meetingNumberText(18446744073709551615ull), "-1");
    for (quint64 n : {1ull, 999ull, 12345678901ull, 9223372036854775807ull})
        EXPECT_EQ(parseMeetingNumber(QString::fromStdString(meetingNumberText(n))), n);
}

TEST(TextConversions, ConvertBothWays)
{
    const QString text = QString::fromUtf8("会议 Meeting ü");
    EXPECT_EQ(WideToUtf8(text), std::string("会议 Meeting ü"));
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(AnsiToWide(WideToAnsi(QStringLiteral("plain"))), QStringLiteral("plain"));
    EXPECT_EQ(Utf8ToWide(std::string("a\0b", 3)).size(), 3);
}

TEST(ServiceConfig, EmptyOverridesFallBackToTheBuiltInAddresses)
{
    qputenv("VTX_SERVICE_HOST", "");
    qputenv("VTX_SDK_DOMAIN", "");
    EXPECT_EQ(base::serviceHost(), "127.0.0.1:18443");
    EXPECT_EQ(base::sdkWebDomain(), "https://127.0.0.1:18443");
    qputenv("VTX_SERVICE_HOST", "10.0.0.2:9443");
    EXPECT_EQ(base::serviceHost(), "10.0.0.2:9443");
    EXPECT_EQ(base::sdkWebDomain(), "https://127.0.0.1:18443"); // each has its own override
    qunsetenv("VTX_SERVICE_HOST");
    qunsetenv("VTX_SDK_DOMAIN");
}

TEST(Lifecycle, WatchdogStartsOnceAndNamesThisProcess)
{
    QStringList launched;
    startup::setRelaunchHandler([&](const QStringList& args) {
        launched << args.join(' ');
        return true;
    });
    bool started = false;
    startup::startExitWatchdog(started);
    startup::startExitWatchdog(started);
    startup::setRelaunchHandler(nullptr);
    EXPECT_TRUE(started);
    ASSERT_EQ(launched.size(), 1);
    EXPECT_EQ(launched.first(), QStringLiteral("cleanup %1").arg(QCoreApplication::applicationPid()));
}
