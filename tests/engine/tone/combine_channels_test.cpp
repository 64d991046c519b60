#include "tone/combine_channels.h"

#include "tone/color_space.h"
#include "tone/value_tables.h"
#include "transform/transform_test_support.h"

#include <gtest/gtest.h>

using namespace mv;
using mv::transform_test::make_image;
using mv::transform_test::sample_at;

namespace {

// Red, green, blue of pixel x of a colour result.
void rgb_at(const Image& img, int x, int& r, int& g, int& b)
{
    b = sample_at(img, x, 0, 0);
    g = sample_at(img, x, 0, 1);
    r = sample_at(img, x, 0, 2);
}

} // namespace

TEST(CombineChannels, ColourSpacesAtEightBits)
{
    Image a = make_image(IMAGE_GRAY, 3, 1, [](int x, int, int) { return 40 + 80 * x; });
    Image b = make_image(IMAGE_GRAY, 3, 1, [](int x, int, int) { return 250 - 20 * x; });
    Image c = make_image(IMAGE_GRAY, 3, 1, [](int x, int, int) { return 100 * x; });
    CombineChannelsSettings s;
    s.sources[0].image = &a;
    s.sources[1].image = &b;
    s.sources[2].image = &c;
    Image out;
    int r, g, bl, er, eg, eb;
    ASSERT_EQ(transformation_apply(combine_channels_region, &s, a, out, "Combine Channels"), 0);
    ASSERT_EQ(out.type, IMAGE_COLOR);
    rgb_at(out, 1, r, g, bl);
    EXPECT_EQ(r, 120);
    EXPECT_EQ(g, 230);
    EXPECT_EQ(bl, 100);

    s.space = kCombineHsv;
    ASSERT_EQ(transformation_apply(combine_channels_region, &s, a, out, "Combine Channels"), 0);
    for (int x = 0; x < 3; ++x) {
        hsv12_to_rgb8(to12(40 + 80 * x), to12(250 - 20 * x), to12(100 * x), er, eg, eb);
        rgb_at(out, x, r, g, bl);
        EXPECT_EQ(r, er);
        EXPECT_EQ(g, eg);
        EXPECT_EQ(bl, eb);
    }
    s.space = kCombineHsl;
    ASSERT_EQ(transformation_apply(combine_channels_region, &s, a, out, "Combine Channels"), 0);
    hsl12_to_rgb8(to12(200), to12(210), to12(200), er, eg, eb);
    rgb_at(out, 2, r, g, bl);
    EXPECT_EQ(r, er);
    EXPECT_EQ(g, eg);
    EXPECT_EQ(bl, eb);

    // CMY with clamping: c1 40, c2 250, c3 0 -> blue 290 -> 255, green 0 - 210 -> 0, red 210.
    s.space = kCombineCmy;
    ASSERT_EQ(transformation_apply(combine_channels_region, &s, a, out, "Combine Channels"), 0);
    rgb_at(out, 0, r, g, bl);
    EXPECT_EQ(bl, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(r, 210);

    // A solid colour contributes its red component.
    s.space = kCombineRgb;
    s.sources[1].image = nullptr;
    s.sources[1].red = 17;
    s.sources[1].green = 99;
    ASSERT_EQ(transformation_apply(combine_channels_region, &s, a, out, "Combine Channels"), 0);
    rgb_at(out, 2, r, g, bl);
    EXPECT_EQ(g, 17);
}

TEST(CombineChannels, SixteenBitSourcesAndMismatches)
{
    Image a = make_image(IMAGE_GRAY16, 2, 1, [](int x, int, int) { return 60000 - 30000 * x; });
    Image b = make_image(IMAGE_GRAY16, 2, 1, [](int, int, int) { return 50000; });
    CombineChannelsSettings s;
    s.space = kCombineHsv;
    s.sources[0].image = &a;
    s.sources[1].image = &b;
    s.sources[2].red = 200; // widened to 51400
    Image out;
    ASSERT_EQ(transformation_apply(combine_channels_region, &s, a, out, "Combine Channels"), 0);
    ASSERT_EQ(out.type, IMAGE_COLOR48);
    int er, eg, eb;
    hsv16_to_rgb16(30000, 50000, 51400, er, eg, eb);
    EXPECT_EQ(sample_at(out, 1, 0, 2), er);
    EXPECT_EQ(sample_at(out, 1, 0, 1), eg);
    EXPECT_EQ(sample_at(out, 1, 0, 0), eb);
    s.space = kCombineCmy;
    ASSERT_EQ(transformation_apply(combine_channels_region, &s, a, out, "Combine Channels"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 60000 + 50000 - 51400); // blue
    EXPECT_EQ(sample_at(out, 0, 0, 2), 50000 + 51400 - 60000); // red
    EXPECT_EQ(sample_at(out, 1, 0, 2), 65535);                 // 71400 held to 65535

    // The preview of 16-bit sources is colour.
    Image display;
    RegionRequest q = region_full_request(a, display, "Combine Channels");
    q.full = false;
    ASSERT_EQ(combine_channels_region(q, &s), 0);
    EXPECT_EQ(display.type, IMAGE_COLOR);

    // Mixed types, no picture at all, or a picture of another size: 77.
    Image g8 = make_image(IMAGE_GRAY, 2, 1, [](int, int, int) { return 0; });
    s.sources[2].image = &g8;
    EXPECT_EQ(transformation_apply(combine_channels_region, &s, a, out, "Combine Channels"), 77);
    EXPECT_TRUE(out.empty());
    CombineChannelsSettings none;
    EXPECT_EQ(transformation_apply(combine_channels_region, &none, a, out, "Combine Channels"), 77);
    Image small = make_image(IMAGE_GRAY16, 1, 1, [](int, int, int) { return 0; });
    s.sources[2].image = &small;
    EXPECT_EQ(transformation_apply(combine_channels_region, &s, a, out, "Combine Channels"), 77);
    Image colour = make_image(IMAGE_COLOR, 2, 1, [](int, int, int) { return 0; });
    s.sources[2].image = &colour;
    EXPECT_EQ(transformation_apply(combine_channels_region, &s, a, out, "Combine Channels"), 14);
}
