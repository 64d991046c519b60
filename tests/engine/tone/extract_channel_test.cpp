#include "tone/extract_channel.h"

#include "tone/color_space.h"
#include "tone/value_tables.h"
#include "transform/transform_test_support.h"

#include <gtest/gtest.h>

using namespace mv;
using mv::transform_test::make_image;
using mv::transform_test::sample_at;

namespace {

const int kRgb[4][3] = {{255, 0, 0}, {10, 200, 90}, {255, 255, 254}, {128, 128, 128}};

int extract(const Image& in, int channel, Image& out)
{
    ExtractChannelSettings s;
    s.channel = channel;
    return transformation_apply(extract_channel_region, &s, in, out, "Extract Channel");
}

} // namespace

TEST(ExtractChannel, EightBitChannels)
{
    Image color = make_image(IMAGE_COLOR, 4, 1, [](int x, int, int s) { return kRgb[x][2 - s]; });
    Image out;
    ASSERT_EQ(extract(color, kChannelRed, out), 0);
    ASSERT_EQ(out.type, IMAGE_GRAY);
    EXPECT_EQ(sample_at(out, 1, 0), 10);
    ASSERT_EQ(extract(color, kChannelBlue, out), 0);
    EXPECT_EQ(sample_at(out, 1, 0), 90);
    ASSERT_EQ(extract(color, kChannelLuminance, out), 0);
    EXPECT_EQ(sample_at(out, 1, 0), luminance(10, 200, 90));
    // Pure red has hue 4096 (a full turn), which scales to 255.
    ASSERT_EQ(extract(color, kChannelHsvHue, out), 0);
    EXPECT_EQ(sample_at(out, 0, 0), 255);
    EXPECT_EQ(sample_at(out, 3, 0), 0);
    int h, s, v;
    rgb8_to_hsv12(10, 200, 90, h, s, v);
    EXPECT_EQ(sample_at(out, 1, 0), (h * 255) >> 12);
    ASSERT_EQ(extract(color, kChannelHslSaturation, out), 0);
    EXPECT_EQ(sample_at(out, 2, 0), 255); // 510 - sum = 1
    EXPECT_EQ(sample_at(out, 3, 0), 0);
    ASSERT_EQ(extract(color, kChannelHslLightness, out), 0);
    EXPECT_EQ(sample_at(out, 1, 0), 105);
    ASSERT_EQ(extract(color, kChannelHsvValue, out), 0);
    EXPECT_EQ(sample_at(out, 1, 0), 200);
    ASSERT_EQ(extract(color, kChannelHsvSaturation, out), 0);
    EXPECT_EQ(sample_at(out, 1, 0), 190 * 255 / 200);

    // Separators name no channel; gray input is refused.
    EXPECT_EQ(extract(color, 1, out), 14);
    EXPECT_EQ(extract(color, 13, out), 14);
    Image gray = make_image(IMAGE_GRAY, 2, 2, [](int, int, int) { return 0; });
    EXPECT_EQ(extract(gray, 0, out), 14);
}

TEST(ExtractChannel, SixteenBitOnApplyAndNarrowedInThePreview)
{
    Image wide = make_image(IMAGE_COLOR48, 4, 1, [](int x, int, int s) { return kRgb[x][2 - s] * 257 + (x == 1 ? 100 : 0); });
    Image out;
    ASSERT_EQ(extract(wide, kChannelGreen, out), 0);
    ASSERT_EQ(out.type, IMAGE_GRAY16);
    EXPECT_EQ(sample_at(out, 1, 0), 200 * 257 + 100);
    ASSERT_EQ(extract(wide, kChannelHsvHue, out), 0);
    int h, s, v;
    rgb16_to_hsv16(10 * 257 + 100, 200 * 257 + 100, 90 * 257 + 100, h, s, v);
    EXPECT_EQ(sample_at(out, 1, 0), h);
    ASSERT_EQ(extract(wide, kChannelHslLightness, out), 0);
    EXPECT_EQ(sample_at(out, 2, 0), (65535 + 254 * 257) / 2);

    // The preview narrows each component first and works at 8 bits.
    ExtractChannelSettings settings;
    settings.channel = kChannelLuminance;
    Image display;
    RegionRequest q = region_full_request(wide, display, "Extract Channel");
    q.full = false;
    ASSERT_EQ(extract_channel_region(q, &settings), 0);
    ASSERT_EQ(display.type, IMAGE_GRAY);
    EXPECT_EQ(sample_at(display, 1, 0),
              luminance(narrow16(10 * 257 + 100), narrow16(200 * 257 + 100), narrow16(90 * 257 + 100)));
}
