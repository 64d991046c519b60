#include "core/format.h"

#include <gtest/gtest.h>

using mv::format_text;

TEST(FormatText, IntegersPadGroupAndOverflowToAsterisks)
{
    EXPECT_EQ(format_text("%2d", 5), "05");
    EXPECT_EQ(format_text("%2d", 123), "**");
    EXPECT_EQ(format_text("%d", -42), "-42");
    EXPECT_EQ(format_text("%,", 1234567), "1,234,567");
    EXPECT_EQ(format_text("%,", -1234), "-1,234");
    EXPECT_EQ(format_text("%,", -123), "-123");
    EXPECT_EQ(format_text("%,", 0), "0");
}

TEST(FormatText, FloatsRoundHalfAwayFromZero)
{
    EXPECT_EQ(format_text("%2f", 2.5), "2.50");
    EXPECT_EQ(format_text("%1f", 0.04), "0.0");
    EXPECT_EQ(format_text("%f", 1.0), "1.0000");
    EXPECT_EQ(format_text("%0f", 2.5), "3");
    EXPECT_EQ(format_text("%0f", -2.5), "-3");
    EXPECT_EQ(format_text("%2f", -0.001), "0.00");
    EXPECT_EQ(format_text("%2f", 0.0), "0.00");
    EXPECT_EQ(format_text("%4zf", 2.5), "2.5");
    EXPECT_EQ(format_text("%z4f", 3.0), "3");
    EXPECT_EQ(format_text("%2f x %2f inches", 4.51, 3.0), "4.51 x 3.00 inches");
}

TEST(FormatText, EscapesStringsCharactersAndUnknownConversions)
{
    EXPECT_EQ(format_text("a\\nb\\tc\\\\d\\q"), "a\nb\tc\\dq");
    EXPECT_EQ(format_text("%s=%c%%", "key", 'x'), "key=x%");
    EXPECT_EQ(format_text("[%q]"), "[]");
    EXPECT_EQ(format_text("Time left: %2d:%2d:%2d", 100, 2, 6), "Time left: **:02:06");
}
