#include "tone/levels.h"

#include "core/error.h"
#include "tone_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv {
namespace {

using test::pattern_image;
using test::put_rgb;
using test::sample_at;

// A gray picture whose levels run from 20 to 230.
Image ramp_20_230()
{
    Image img;
    EXPECT_EQ(image_alloc(img, IMAGE_GRAY, 211, 60, 72), 0);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 211; ++x)
            img.row(y)[x] = std::uint8_t(20 + x);
    return img;
}

TEST(Levels, MeasuresRangeAndFullRangeStretchesIt)
{
    Image img = ramp_20_230();
    // A few stray pixels, fewer than total / 10000 = 1, would not move the points; one more
    // than that does.
    LevelsSettings s;
    ASSERT_EQ(levels_auto_range(img, s), 0);
    EXPECT_EQ(s.black, 20);
    EXPECT_EQ(s.white, 230);
    EXPECT_EQ(s.range_low, 20);
    EXPECT_EQ(s.range_high, 230);
    EXPECT_TRUE(levels_is_identity(s));
    EXPECT_EQ(levels_range_label(s), "Dynamic Range: 7.8%..90.2%");

    img.row(0)[0] = 3;
    img.row(1)[0] = 3;
    ASSERT_EQ(levels_auto_range(img, s), 0);
    EXPECT_EQ(s.black, 3); // 2 pixels exceed the threshold of 12660 / 10000 = 1
    img.row(1)[0] = 20;
    ASSERT_EQ(levels_auto_range(img, s), 0);
    EXPECT_EQ(s.black, 20);

    levels_full_range(s);
    EXPECT_FALSE(levels_is_identity(s));
    Image out;
    ASSERT_EQ(transformation_apply(levels_region, &s, img, out, "Levels and Color"), 0);
    EXPECT_EQ(sample_at(out, 0, 5, 0), 0);    // 20
    EXPECT_EQ(sample_at(out, 210, 5, 0), 255); // 230
    EXPECT_EQ(sample_at(out, 105, 5, 0), 128); // 125: half way, 127.5
    EXPECT_EQ(sample_at(out, 0, 0, 0), 0);    // below the black point

    s.midtones = 40;
    s.saturation = 10;
    s.balance[0] = 100;
    amount_select_mask(s.amount, nullptr, nullptr);
    levels_reset(s);
    EXPECT_EQ(s.range_low, 20);
    EXPECT_EQ(s.range_high, 230);
    EXPECT_EQ(s.amount.low, 1024);
    EXPECT_EQ(s.amount.high, -1);
    EXPECT_TRUE(levels_is_identity(s));

    // Colour pictures measure the value (HSV) or the lightness (HSL).
    Image colour;
    ASSERT_EQ(image_alloc(colour, IMAGE_COLOR, 2, 1, 72), 0);
    put_rgb(colour, 0, 0, 200, 10, 10);
    put_rgb(colour, 1, 0, 40, 60, 50);
    int black, white;
    ASSERT_EQ(levels_measure(colour, LEVELS_HSV, black, white), 0);
    EXPECT_EQ(black, 60);
    EXPECT_EQ(white, 200);
    ASSERT_EQ(levels_measure(colour, LEVELS_HSL, black, white), 0);
    EXPECT_EQ(black, 50);
    EXPECT_EQ(white, 105);
}

TEST(Levels, Tables)
{
    std::uint8_t t[256];
    levels_level_table(20, 230, 0, 255, 0, t);
    EXPECT_EQ(t[20], 0);
    EXPECT_EQ(t[125], 128);
    EXPECT_EQ(t[230], 255);
    levels_level_table(20, 230, 10, 200, -100, t);
    EXPECT_EQ(t[0] + t[255], 20);
    levels_level_table(20, 230, 10, 200, 100, t);
    EXPECT_EQ(t[0], 200);
    // Positive midtones lighten, negative darken; the ends stay.
    std::uint8_t light[256], dark[256];
    levels_level_table(0, 255, 0, 255, 50, light);
    levels_level_table(0, 255, 0, 255, -50, dark);
    EXPECT_GT(light[128], 150);
    EXPECT_LT(dark[128], 105);
    EXPECT_EQ(light[255], 255);
    EXPECT_EQ(dark[0], 0);
    std::vector<std::uint16_t> t16(65536);
    levels_level_table16(20, 230, 0, 255, 0, t16.data());
    EXPECT_EQ(t16[20 * 257], 0);
    EXPECT_EQ(t16[230 * 257], 65535);
    EXPECT_EQ(t16[125 * 257], 32768); // half way, 32767.5

    levels_saturation_table(50, t); // k = 0.25, slope tan(1.25 pi / 4)
    EXPECT_EQ(t[100], 150);
    EXPECT_EQ(t[200], 255);
    levels_saturation_table(-100, t);
    EXPECT_EQ(t[200], 0);
    levels_saturation_table(100, t);
    EXPECT_EQ(t[0], 255);
    levels_saturation_table(0, t);
    EXPECT_EQ(t[77], 77);
    levels_saturation_table16(50, t16.data());
    EXPECT_EQ(t16[1000], 1497);

    levels_balance_table(128, t);
    EXPECT_EQ(t[255], 128);
    EXPECT_EQ(t[100], 50);
    levels_balance_table16(128, t16.data());
    EXPECT_EQ(t16[65535], 32896);

    EXPECT_DOUBLE_EQ(levels_slider_percent(576), 12.5);
    EXPECT_EQ(levels_midtones_label(12.5), "Midtones: 12.5%");
    EXPECT_EQ(levels_saturation_label(-3.125), "Saturation: -3.1%");
}

TEST(Levels, ColourPixelsAmountAndPreview)
{
    LevelsSettings s;
    s.black = 0;
    s.white = 255;
    s.range_low = 0;
    s.range_high = 255;
    s.balance[0] = 255;
    s.balance[1] = 128; // halves green
    s.balance[2] = 255;
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_COLOR, 1, 1, 72), 0);
    put_rgb(img, 0, 0, 100, 200, 50);
    Image out;
    ASSERT_EQ(transformation_apply(levels_region, &s, img, out, "Levels and Color"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 2), 100);
    EXPECT_EQ(sample_at(out, 0, 0, 1), 100);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 50);
    s.amount.low = 512; // 50%: green 200 -> 100 blends to 150
    ASSERT_EQ(transformation_apply(levels_region, &s, img, out, "Levels and Color"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 1), 150);
    s.amount.low = 0;
    ASSERT_EQ(transformation_apply(levels_region, &s, img, out, "Levels and Color"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 1), 200);

    // Binary input comes out gray, unchanged at neutral settings.
    LevelsSettings n;
    const Image binary = pattern_image(IMAGE_BINARY, 19, 5);
    ASSERT_EQ(transformation_apply(levels_region, &n, binary, out, "Levels and Color"), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY);
    for (int x = 0; x < 19; ++x)
        ASSERT_EQ(sample_at(out, x, 2, 0), (binary.row(2)[x / 8] & (0x80 >> (x % 8))) ? 255 : 0);

    LevelsSettings p;
    ASSERT_EQ(levels_auto_range(pattern_image(IMAGE_COLOR, 41, 27), p), 0);
    levels_full_range(p);
    p.midtones = 30;
    p.saturation = -20;
    p.balance[2] = 200;
    p.amount.low = 800;
    for (int space : {LEVELS_HSV, LEVELS_HSL}) {
        p.color_space = space;
        test::expect_preview_matches_apply(levels_region, &p, pattern_image(IMAGE_COLOR, 41, 27));
    }
    test::expect_preview_matches_apply(levels_region, &p, pattern_image(IMAGE_GRAY, 41, 27));

    // 48-bit colour keeps its precision on Apply.
    Image wide;
    ASSERT_EQ(image_alloc(wide, IMAGE_COLOR48, 1, 1, 72), 0);
    put_rgb(wide, 0, 0, 1000, 40000, 2000);
    ASSERT_EQ(transformation_apply(levels_region, &s, wide, out, "Levels and Color"), 0);
    EXPECT_EQ(out.type, IMAGE_COLOR48);
    EXPECT_EQ(sample_at(out, 0, 0, 1), 40000);
    s.amount.low = 1024;
    ASSERT_EQ(transformation_apply(levels_region, &s, wide, out, "Levels and Color"), 0);
    EXPECT_NEAR(sample_at(out, 0, 0, 1), 40000 * 32896 / 65535, 1); // through 16-bit HSV
}

} // namespace
} // namespace mv
