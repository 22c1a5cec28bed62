#include "base/MeetingNumber.h"

#include <gtest/gtest.h>

TEST(MeetingNumberText, GroupsByLength)
{
    EXPECT_EQ(formatMeetingNumber("123"), "123");
    EXPECT_EQ(formatMeetingNumber("1234"), "123-4");
    EXPECT_EQ(formatMeetingNumber("123456"), "123-456");
    EXPECT_EQ(formatMeetingNumber("1234567"), "123-456-7");
    EXPECT_EQ(formatMeetingNumber("1234567890"), "123-456-7890");
}

TEST(MeetingNumberText, SwitchesToThreeFourFourAtElevenDigits)
{
    EXPECT_EQ(formatMeetingNumber("12345678901"), "123-4567-8901");
    EXPECT_EQ(formatMeetingNumber("1234567890123"), "123-4567-890123");
}

TEST(MeetingNumberText, StripRemovesEveryDash)
{
    EXPECT_EQ(stripMeetingNumber("123-4567-8901"), "12345678901");
    EXPECT_EQ(stripMeetingNumber("--"), "");
}
