// The shell's own duties: message boxes only answered by tests, and a fatal SDK error that ends
// the client without showing the window.

#include <QFile>
#include <gtest/gtest-spi.h>

#include "ClientFixture.h"
#include "sdk/SDKEntryPoints.h"
#include "support/TestEnvironment.h"
#include "support/UnansweredBoxes.h"

namespace {

int showBox()
{
    return MessageBox::show(nullptr, MessageBox::Question, "VTX", "Delete everything?", "OK", "Cancel");
}

TEST(MessageBoxSeam, TheEnvironmentCannotAnswerABox)
{
    const QString log = vtxtest::makeTempDir("boxes") + "/boxes.log";
    qputenv("VTX_TEST_MESSAGEBOX_LOG", log.toLocal8Bit());
    QStringList asked;
    MessageBox::setTestHandler([&](MessageBox::Icon, const QString&, const QString& text) {
        asked << text;
        return int(MessageBox::SecondButton);
    });
    EXPECT_EQ(showBox(), MessageBox::SecondButton);
    vtxtest::failOnUnansweredBoxes();
    qunsetenv("VTX_TEST_MESSAGEBOX_LOG");
    EXPECT_EQ(asked, QStringList{"Delete everything?"});
    EXPECT_FALSE(QFile::exists(log));
}

TEST(MessageBoxSeam, AnUnansweredBoxFailsTheTestAndIsClosed)
{
    static int answer = 0;
    EXPECT_NONFATAL_FAILURE(answer = showBox(), "message box nobody answered");
    EXPECT_EQ(answer, MessageBox::Closed);
    // An auto-answer still comes first.
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    EXPECT_EQ(showBox(), MessageBox::FirstButton);
    MessageBox::clearAutoAnswer();
}

ORVOSDK::SDKError failingInit(ORVOSDK::InitParam&)
{
    return ORVOSDK::SDKERR_UNINITIALIZE;
}

class ShellTest : public ClientFixture
{
};

TEST_F(ShellTest, FatalSdkErrorEndsWithoutShowingTheWindow)
{
    SDKEntries().InitSDK = &failingInit;
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    {
        MainWindow failed;
        EXPECT_TRUE(failed.fatalErrorShown());
        EXPECT_FALSE(failed.isVisible());
        EXPECT_EQ(MessageBox::answeredTexts(), QStringList{LangText("msg.sdk_init_error")});
    }
    SDKEntries() = RealSDKEntries();
    // The client asked to end, and the watchdog makes sure it does.
    EXPECT_EQ(m_relaunches.size(), 1);
    EXPECT_TRUE(m_relaunches.value(0).startsWith("cleanup "));

    // A healthy start is untouched by the failed one.
    EXPECT_FALSE(window().fatalErrorShown());
    EXPECT_TRUE(waitForAuthentication());
}

} // namespace
