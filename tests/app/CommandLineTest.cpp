#include <gtest/gtest.h>

#include "app/Startup.h"

namespace {

CommandLine parse(const QStringList& args)
{
    return parseCommandLine(args);
}

TEST(CommandLine, BrowserLinkGivesTheMeetingNumber)
{
    EXPECT_EQ(parse({"vtxlaunch://roomID:123456/"}).meetingId, 123456);
    EXPECT_EQ(parse({"vtxlaunch://roomID://98765432101//"}).meetingId, 98765432101LL);
    EXPECT_EQ(parse({"vtxlaunch://roomID:123abc"}).meetingId, 123);
    EXPECT_EQ(parse({"vtxlaunch://roomID:123456/"}).role, CommandLine::Normal);
}

TEST(CommandLine, BrowserLinkWithoutDigitsOrWrongCaseIsNoMeeting)
{
    EXPECT_EQ(parse({"vtxlaunch://roomID:"}).meetingId, 0);
    EXPECT_EQ(parse({"vtxlaunch://roomID:/"}).meetingId, 0);
    EXPECT_EQ(parse({"VTXLAUNCH://ROOMID:123456"}).meetingId, 0);
    EXPECT_EQ(parse({"vtxlaunch://roomid:123456"}).meetingId, 0);
    EXPECT_EQ(parse({"123456"}).meetingId, 0);
}

TEST(CommandLine, SignInRelaunchTakesTheOldProcessId)
{
    const CommandLine cl = parse({"goto_login_ui", "4242"});
    EXPECT_EQ(cl.role, CommandLine::SignIn);
    EXPECT_EQ(cl.pid, 4242);
    const CommandLine zero = parse({"goto_login_ui", "0"});
    EXPECT_EQ(zero.role, CommandLine::SignIn); // no wait, but still the sign-in page
    EXPECT_EQ(zero.pid, 0);
}

TEST(CommandLine, WatchdogNeedsANonZeroProcessId)
{
    const CommandLine cl = parse({"cleanup", "77"});
    EXPECT_EQ(cl.role, CommandLine::Watchdog);
    EXPECT_EQ(cl.pid, 77);
    EXPECT_EQ(parse({"cleanup", "abc"}).role, CommandLine::Normal);
    EXPECT_EQ(parse({"cleanup", "0"}).role, CommandLine::Normal);
    EXPECT_EQ(parse({"cleanup", "12x"}).pid, 12);
}

TEST(CommandLine, AnythingElseIsANormalStart)
{
    for (const QStringList& args :
         {QStringList{}, QStringList{"--help"}, QStringList{"a", "b"}, QStringList{"goto_login_ui"},
          QStringList{"goto_login_ui", "1", "2"}, QStringList{"vtxlaunch://roomID:1", "x"}}) {
        const CommandLine cl = parse(args);
        EXPECT_EQ(cl.role, CommandLine::Normal) << args.join(' ').toStdString();
        EXPECT_EQ(cl.meetingId, 0);
    }
}

} // namespace
