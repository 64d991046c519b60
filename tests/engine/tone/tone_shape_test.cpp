#include "tone/tone_shape.h"

#include "core/error.h"
#include "tone_test_support.h"
#include "test_progress.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv {
namespace {

using test::pattern_image;
using test::put_rgb;
using test::sample_at;

// The signed amount value that scales to level b.
int amount_for_level(int b) { return (b * 1024 + 254) / 255; }

TEST(ToneShape, EndsNeutralAndWorkedValues)
{
    std::uint8_t t[256];
    std::vector<std::uint16_t> t16(65536);
    for (int mode = 0; mode < 4; ++mode) {
        tone_shape(0, mode, t);
        EXPECT_EQ(t[0] + t[128] + t[255], 0);
        tone_shape(255, mode, t);
        EXPECT_EQ(t[0], 255);
        tone_shape(127, mode, t);
        for (int v = 0; v < 256; ++v)
            ASSERT_EQ(t[v], v);
        tone_shape16(127, mode, t16.data());
        for (int v = 0; v < 65536; ++v)
            ASSERT_EQ(t16[v], v);
    }
    // Black fixed at b = 180: k = tan(180 pi / 510) = 2.00827.
    tone_shape(180, SHAPE_LOW, t);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[100], 201);
    for (int v = 127; v < 256; ++v)
        ASSERT_EQ(t[v], 255);
    tone_shape16(180, SHAPE_LOW, t16.data());
    EXPECT_EQ(t16[25700], 51613);
    EXPECT_EQ(t16[65535], 65535);
    // White fixed at b = 180: k = tan(75 pi / 510).
    tone_shape(180, SHAPE_HIGH, t);
    EXPECT_EQ(t[255], 255);
    EXPECT_EQ(t[0], 128);
    // Neither at b = 200: v + 145.
    tone_shape(200, SHAPE_NEITHER, t);
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(t[v], std::min(v + 145, 255));
    tone_shape16(200, SHAPE_NEITHER, t16.data());
    EXPECT_EQ(t16[0], 37265);
    EXPECT_EQ(t16[28270], 65535);
    EXPECT_EQ(t16[28269], 65534);
    // Both ends fixed at b = 64.
    tone_shape(64, SHAPE_BOTH, t);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[128], 73);
    EXPECT_EQ(t[255], 255);
    tone_shape(200, SHAPE_BOTH, t);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[255], 255);
    for (int v = 1; v < 256; ++v)
        ASSERT_GE(t[v], t[v - 1]);
    tone_shape16(40, SHAPE_BOTH, t16.data());
    EXPECT_EQ(t16[0], 0);
    EXPECT_EQ(t16[65535], 65535);
}

TEST(Brightness, NeutralExtremesAndColourSpaces)
{
    BrightnessSettings s;
    brightness_defaults(s);
    const Image gray = pattern_image(IMAGE_GRAY, 40, 30);
    Image out;
    ASSERT_EQ(transformation_apply(brightness_region, &s, gray, out, "Brightness"), 0);
    for (int y = 0; y < 30; ++y)
        ASSERT_EQ(std::memcmp(out.row(y), gray.row(y), size_t(gray.row_bytes)), 0);

    s.amount.low = 0; // -100%
    ASSERT_EQ(transformation_apply(brightness_region, &s, gray, out, "Brightness"), 0);
    EXPECT_EQ(sample_at(out, 3, 3, 0) + sample_at(out, 20, 7, 0), 0);
    s.amount.low = 1024; // +100%
    ASSERT_EQ(transformation_apply(brightness_region, &s, gray, out, "Brightness"), 0);
    EXPECT_EQ(sample_at(out, 3, 3, 0), 255);

    s.amount.low = amount_for_level(200);
    s.preserve = SHAPE_NEITHER;
    ASSERT_EQ(transformation_apply(brightness_region, &s, gray, out, "Brightness"), 0);
    for (int x = 0; x < 40; ++x)
        ASSERT_EQ(sample_at(out, x, 5, 0), std::min(sample_at(gray, x, 5, 0) + 145, 255));

    Image colour;
    ASSERT_EQ(image_alloc(colour, IMAGE_COLOR, 2, 1, 72), 0);
    put_rgb(colour, 0, 0, 100, 50, 20);
    put_rgb(colour, 1, 0, 10, 120, 60);
    s.amount.low = amount_for_level(180);
    s.preserve = SHAPE_LOW;
    s.color_space = TONE_HSV;
    ASSERT_EQ(transformation_apply(brightness_region, &s, colour, out, "Brightness"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 2), 201); // the value goes 100 -> 201, the rest in proportion
    EXPECT_EQ(sample_at(out, 0, 0, 1), 100);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 40);
    s.color_space = TONE_RGB;
    ASSERT_EQ(transformation_apply(brightness_region, &s, colour, out, "Brightness"), 0);
    EXPECT_EQ(sample_at(out, 1, 0, 2), 20);
    EXPECT_EQ(sample_at(out, 1, 0, 1), 241);
    EXPECT_EQ(sample_at(out, 1, 0, 0), 120);

    const Image binary = pattern_image(IMAGE_BINARY, 8, 8);
    EXPECT_EQ(transformation_apply(brightness_region, &s, binary, out, "Brightness"),
              kIllegalImageType);
    EXPECT_TRUE(out.empty());
}

TEST(Brightness, MaskChoosesTheLevelPerPixelAndSixteenBitApply)
{
    test::TestProgressSink progress;
    Image mask;
    ASSERT_EQ(image_alloc(mask, IMAGE_GRAY, 3, 1, 72), 0);
    mask.row(0)[0] = 0;
    mask.row(0)[1] = 128;
    mask.row(0)[2] = 255;
    Image gray;
    ASSERT_EQ(image_alloc(gray, IMAGE_GRAY, 3, 1, 72), 0);
    std::memset(gray.row(0), 100, 3);
    BrightnessSettings s;
    brightness_defaults(s);
    amount_select_mask(s.amount, &mask, &mask);
    s.amount.low = 0;     // level 0 where the mask is black
    s.amount.high = 1024; // level 255 where it is white
    Image out;
    ASSERT_EQ(transformation_apply(brightness_region, &s, gray, out, "Brightness"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 0);
    EXPECT_EQ(sample_at(out, 1, 0, 0), 101); // level 128: k = tan(128 pi / 510)
    EXPECT_EQ(sample_at(out, 2, 0, 0), 255);
    ASSERT_EQ(progress.begins.size(), 1u);
    EXPECT_EQ(progress.begins[0].title, "Creating Tables");
    EXPECT_EQ(progress.begins[0].last, 255);
    EXPECT_FALSE(progress.begins[0].cancellable);
    EXPECT_EQ(progress.open, 0);

    // 16-bit gray on Apply uses the 16-bit table; the preview narrows first.
    BrightnessSettings n;
    brightness_defaults(n);
    n.amount.low = amount_for_level(200);
    n.preserve = SHAPE_NEITHER;
    Image g16;
    ASSERT_EQ(image_alloc(g16, IMAGE_GRAY16, 2, 1, 72), 0);
    g16.row16(0)[0] = 1000;
    g16.row16(0)[1] = 30000;
    ASSERT_EQ(transformation_apply(brightness_region, &n, g16, out, "Brightness"), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY16);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 38265);
    EXPECT_EQ(sample_at(out, 1, 0, 0), 65535);
    Image preview;
    ASSERT_EQ(test::run_preview(brightness_region, &n, g16, preview, IMAGE_GRAY, 0, 0, 2, 1), 0);
    EXPECT_EQ(sample_at(preview, 0, 0, 0), 4 + 145); // 1000 narrows to 4
}

TEST(Brightness, PreviewMatchesApply)
{
    BrightnessSettings s;
    brightness_defaults(s);
    s.amount.low = 300;
    for (int space : {TONE_HSV, TONE_HSL, TONE_RGB}) {
        s.color_space = space;
        test::expect_preview_matches_apply(brightness_region, &s, pattern_image(IMAGE_COLOR, 37, 23));
    }
    s.preserve = SHAPE_BOTH;
    test::expect_preview_matches_apply(brightness_region, &s, pattern_image(IMAGE_GRAY, 37, 23));
}

TEST(Saturation, GrayStaysGrayAndLevelZeroRemovesColour)
{
    SaturationSettings s;
    saturation_defaults(s);
    Image img;
    ASSERT_EQ(image_alloc(img, IMAGE_COLOR, 2, 1, 72), 0);
    put_rgb(img, 0, 0, 90, 90, 90);
    put_rgb(img, 1, 0, 200, 100, 100);
    Image out;
    for (int space : {TONE_HSV, TONE_HSL})
        for (int mode : {SHAPE_LOW, SHAPE_NEITHER}) {
            s.color_space = space;
            s.preserve = mode;
            s.amount.low = 900;
            ASSERT_EQ(transformation_apply(saturation_region, &s, img, out, "Saturation"), 0);
            if (mode == SHAPE_LOW)
                for (int c = 0; c < 3; ++c)
                    EXPECT_EQ(sample_at(out, 0, 0, c), 90) << space;
            EXPECT_GT(sample_at(out, 1, 0, 2) - sample_at(out, 1, 0, 1), 100) << space << mode;
        }
    s.color_space = TONE_HSV;
    s.amount.low = 0;
    ASSERT_EQ(transformation_apply(saturation_region, &s, img, out, "Saturation"), 0);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(sample_at(out, 1, 0, c), 200);

    const Image gray = pattern_image(IMAGE_GRAY, 4, 4);
    EXPECT_EQ(transformation_apply(saturation_region, &s, gray, out, "Saturation"), kIllegalImageType);

    // 48-bit colour: the 16-bit tables on Apply.
    Image wide;
    ASSERT_EQ(image_alloc(wide, IMAGE_COLOR48, 1, 1, 72), 0);
    put_rgb(wide, 0, 0, 50000, 25000, 25000);
    ASSERT_EQ(transformation_apply(saturation_region, &s, wide, out, "Saturation"), 0);
    EXPECT_EQ(out.type, IMAGE_COLOR48);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(sample_at(out, 0, 0, c), 50000);
    s.amount.low = 700;
    test::expect_preview_matches_apply(saturation_region, &s, pattern_image(IMAGE_COLOR, 29, 31));
}

} // namespace
} // namespace mv
