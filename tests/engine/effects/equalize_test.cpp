#include "effects/equalize.h"

#include "core/error.h"
#include "../tone/tone_test_support.h"
#include "test_progress.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv {
namespace {

using test::pattern_image;
using test::put_rgb;
using test::sample_at;

TEST(HistogramMatch, KnownHistogramsOnAFlatTarget)
{
    std::vector<std::uint32_t> a(256, 0), flat(256, 1);
    std::vector<std::uint16_t> map(256);
    // Four equal levels spread to the quarters.
    for (int v = 0; v < 4; ++v)
        a[v] = 64;
    ASSERT_EQ(histogram_match(a.data(), flat.data(), 256, map.data()), 0);
    EXPECT_EQ(map[0], 63);
    EXPECT_EQ(map[1], 127);
    EXPECT_EQ(map[2], 191);
    EXPECT_EQ(map[3], 255);
    EXPECT_EQ(map[200], 255);
    // One level: everything below it goes to 0, it and above to 255.
    std::fill(a.begin(), a.end(), 0);
    a[100] = 5000;
    ASSERT_EQ(histogram_match(a.data(), flat.data(), 256, map.data()), 0);
    EXPECT_EQ(map[99], 0);
    EXPECT_EQ(map[100], 255);
    // An empty histogram gives the identity.
    std::fill(a.begin(), a.end(), 0);
    ASSERT_EQ(histogram_match(a.data(), flat.data(), 256, map.data()), 0);
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(map[v], v);
}

TEST(HistogramMatch, SixteenBitRunsUnderProgressAndCancels)
{
    std::vector<std::uint32_t> a(65536, 0), flat(65536, 1);
    std::vector<std::uint16_t> map(65536);
    a[1000] = 7;
    a[50000] = 7;
    {
        test::TestProgressSink progress;
        ASSERT_EQ(histogram_match(a.data(), flat.data(), 65536, map.data()), 0);
        EXPECT_EQ(progress.titles(), std::vector<std::string>{"Histogram Match"});
        EXPECT_TRUE(progress.begins[0].cancellable);
        EXPECT_EQ(progress.open, 0);
    }
    EXPECT_EQ(map[1000], 32767);
    EXPECT_EQ(map[50000], 65535);
    test::TestProgressSink progress;
    progress.cancel_during(300);
    EXPECT_EQ(histogram_match(a.data(), flat.data(), 65536, map.data()), kAborted);
    EXPECT_EQ(progress.open, 0);
}

TEST(Equalize, GrayColourAndAmount)
{
    EqualizeSettings s;
    Image gray;
    ASSERT_EQ(image_alloc(gray, IMAGE_GRAY, 10, 10, 72), 0);
    for (int y = 0; y < 10; ++y)
        std::memset(gray.row(y), y < 5 ? 40 : 90, 10);
    Image out;
    ASSERT_EQ(transformation_apply(equalize_region, &s, gray, out, "Equalize"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 127); // half the pixels: share 0.5
    EXPECT_EQ(sample_at(out, 0, 9, 0), 255);
    s.amount.low = 512; // 50%: 40 moves half way to 127
    ASSERT_EQ(transformation_apply(equalize_region, &s, gray, out, "Equalize"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 84);
    s.amount.low = 0;
    const Image p = pattern_image(IMAGE_GRAY, 13, 7);
    ASSERT_EQ(transformation_apply(equalize_region, &s, p, out, "Equalize"), 0);
    for (int y = 0; y < 7; ++y)
        ASSERT_EQ(std::memcmp(out.row(y), p.row(y), size_t(p.row_bytes)), 0);

    // Colour: black goes to V' in every channel; V scales the channels.
    EqualizeSettings c;
    Image colour;
    ASSERT_EQ(image_alloc(colour, IMAGE_COLOR, 2, 1, 72), 0);
    put_rgb(colour, 0, 0, 0, 0, 0);
    put_rgb(colour, 1, 0, 100, 50, 10);
    ASSERT_EQ(transformation_apply(equalize_region, &c, colour, out, "Equalize"), 0);
    for (int ch = 0; ch < 3; ++ch)
        EXPECT_EQ(sample_at(out, 0, 0, ch), 127);
    EXPECT_EQ(sample_at(out, 1, 0, 2), 255);
    EXPECT_EQ(sample_at(out, 1, 0, 1), 127);
    EXPECT_EQ(sample_at(out, 1, 0, 0), 25);
    c.color_space = EQUALIZE_HSL_L;
    ASSERT_EQ(transformation_apply(equalize_region, &c, colour, out, "Equalize"), 0);
    EXPECT_NEAR(sample_at(out, 0, 0, 1), 127, 1); // through the 12-bit HSL scale
    EXPECT_GT(sample_at(out, 1, 0, 2), 200);

    const Image binary = pattern_image(IMAGE_BINARY, 8, 8);
    EXPECT_EQ(transformation_apply(equalize_region, &c, binary, out, "Equalize"), kIllegalImageType);
    c.amount.low = 700;
    test::expect_preview_matches_apply(equalize_region, &c, pattern_image(IMAGE_COLOR, 31, 17));
    c.color_space = EQUALIZE_HSV_V;
    test::expect_preview_matches_apply(equalize_region, &c, pattern_image(IMAGE_COLOR, 31, 17));
    test::expect_preview_matches_apply(equalize_region, &c, pattern_image(IMAGE_GRAY, 31, 17));
}

TEST(Equalize, SixteenBitUsesTheWideMap)
{
    EqualizeSettings s;
    Image g16;
    ASSERT_EQ(image_alloc(g16, IMAGE_GRAY16, 4, 1, 72), 0);
    for (int x = 0; x < 4; ++x)
        g16.row16(0)[x] = 30000;
    Image out;
    ASSERT_EQ(transformation_apply(equalize_region, &s, g16, out, "Equalize"), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY16);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 65535);

    Image c48;
    ASSERT_EQ(image_alloc(c48, IMAGE_COLOR48, 2, 1, 72), 0);
    put_rgb(c48, 0, 0, 20000, 10000, 0);
    put_rgb(c48, 1, 0, 60000, 60000, 60000);
    ASSERT_EQ(transformation_apply(equalize_region, &s, c48, out, "Equalize"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 2), 32767);
    EXPECT_EQ(sample_at(out, 0, 0, 1), 16383);
    EXPECT_EQ(sample_at(out, 1, 0, 0), 65535);

    // The preview works on 8-bit data with the 256-level map.
    Image preview;
    ASSERT_EQ(test::run_preview(equalize_region, &s, c48, preview, IMAGE_COLOR, 0, 0, 2, 1), 0);
    EXPECT_EQ(sample_at(preview, 0, 0, 2), 127);
    EXPECT_EQ(sample_at(preview, 1, 0, 2), 255);
}

} // namespace
} // namespace mv
