#include "core/util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace mv;

TEST(Util, RoundingClampingAndBits)
{
    EXPECT_EQ(round_nearest(2.5), 3);
    EXPECT_EQ(round_nearest(-2.5), -3);
    EXPECT_EQ(round_nearest(2.49), 2);
    EXPECT_EQ(round_nearest(-0.4), 0);
    EXPECT_EQ(round_nearest(0.49999999999999994), 0); // just below a half
    EXPECT_EQ(round_nearest(-0.49999999999999994), 0);
    EXPECT_EQ(round_nearest(4503599627370497.0), 4503599627370497LL); // odd, above 2^52
    EXPECT_EQ(round_nearest(1e300), std::numeric_limits<long long>::max());
    EXPECT_EQ(round_nearest(std::nan("")), 0);
    EXPECT_EQ(clamp_byte(-3), 0);
    EXPECT_EQ(clamp_byte(300), 255);
    EXPECT_EQ(clamp_word(70000), 65535);
    std::uint8_t row[2] = {0, 0};
    bit_set(row, 0);
    bit_set(row, 9);
    EXPECT_EQ(row[0], 0x80);
    EXPECT_EQ(row[1], 0x40);
    bit_toggle(row, 0);
    bit_put(row, 15, true);
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(row[1], 0x41);
    EXPECT_TRUE(bit_test(row, 15));
    EXPECT_FALSE(bit_test(row, 14));
}

TEST(Util, ExtensionsAndCaseBlindComparison)
{
    EXPECT_FALSE(extension_differs("IMAGE.TIF", ".tif"));
    EXPECT_TRUE(extension_differs("tif", ".tif"));
    EXPECT_TRUE(extension_differs(".tif", ".tif"));
    EXPECT_TRUE(extension_differs("a.tiff", ".tif"));
    EXPECT_FALSE(extension_differs("a.Tif", ".tif"));
    EXPECT_TRUE(str_equal_nocase("Curve", "cURVE"));
    EXPECT_FALSE(str_equal_nocase("Curve", "Curves"));
}

TEST(Util, ListsAndMultiStrings)
{
    const char list[] = "Red\0Green\0Blue\0\1";
    EXPECT_EQ(list_count(list), 3);
    EXPECT_EQ(list_item(list, 1), "Green");
    EXPECT_EQ(list_item(list, 3), "");
    EXPECT_EQ(list_item(list, 7), "");
    const char multi[] = "a\0bc\0\0";
    EXPECT_EQ(multi_count(multi), 2);
    EXPECT_STREQ(multi_skip(multi, 1), "bc");
    EXPECT_STREQ(multi_skip(multi, 5), "");
}

TEST(Util, RandomFollowsSchrageFromTheStartSeed)
{
    random_reset();
    // k = 1234567 / 51924 = 23; (1234567 - 23 * 51924) * 41358 - 23 * 10855
    //   = 40315 * 41358 - 249665 = 1667098105.
    EXPECT_EQ(random_next(), 1667098105);
    // k = 32106; 26161 * 41358 - 32106 * 10855 = 1081966638 - 348510630.
    EXPECT_EQ(random_next(), 733456008);
    EXPECT_EQ(random_next(), 1067064989);
    random_reset(1);
    EXPECT_EQ(random_next(), 41358);
    // A seed whose product wraps: 2147483646 * 41358 mod (2^31 - 1) = 2^31 - 1 - 41358.
    random_reset(2147483646);
    EXPECT_EQ(random_next(), 2147483647 - 41358);
    random_reset();
    const double u = random_unit();
    EXPECT_DOUBLE_EQ(u, 1667098105 / 2147483648.0);
    random_reset();
}

TEST(Util, ClipSegmentMovesEndsOntoEdges)
{
    PointF a, b;
    ASSERT_TRUE(clip_segment({-1, 0.5}, {2, 0.5}, 0, 0, 1, 1, a, b));
    EXPECT_DOUBLE_EQ(a.x, 0);
    EXPECT_DOUBLE_EQ(a.y, 0.5);
    EXPECT_DOUBLE_EQ(b.x, 1);
    EXPECT_DOUBLE_EQ(b.y, 0.5);

    ASSERT_TRUE(clip_segment({-1, -1}, {3, 3}, 0, 0, 2, 2, a, b));
    EXPECT_DOUBLE_EQ(a.x, 0);
    EXPECT_DOUBLE_EQ(a.y, 0);
    EXPECT_DOUBLE_EQ(b.x, 2);
    EXPECT_DOUBLE_EQ(b.y, 2);

    // Both ends beyond the same edge.
    EXPECT_FALSE(clip_segment({-2, 0}, {-1, 5}, 0, 0, 1, 1, a, b));
    EXPECT_FALSE(clip_segment({0, 3}, {1, 4}, 0, 0, 1, 1, a, b));
    // Vertical and horizontal segments beyond an edge of the other axis.
    ASSERT_TRUE(clip_segment({0.5, -5}, {0.5, 5}, 0, 0, 1, 1, a, b));
    EXPECT_DOUBLE_EQ(a.y, 0);
    EXPECT_DOUBLE_EQ(b.y, 1);
    // Inside: unchanged.
    ASSERT_TRUE(clip_segment({0.25, 0.5}, {0.75, 0.5}, 0, 0, 1, 1, a, b));
    EXPECT_DOUBLE_EQ(a.x, 0.25);
    EXPECT_DOUBLE_EQ(b.x, 0.75);
}
