#include "tone/brightness_curve.h"
#include "tone/color_curves.h"

#include "core/error.h"
#include "tone_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv {
namespace {

using test::pattern_image;
using test::put_rgb;
using test::sample_at;

Curve inverted()
{
    Curve c;
    c.y[0] = 255;
    c.y[1] = 0;
    c.style = CURVE_LINEAR;
    return c;
}

TEST(BrightnessCurve, AppliesTheTableBySpace)
{
    BrightnessCurveSettings s;
    const Image gray = pattern_image(IMAGE_GRAY, 21, 9);
    Image out;
    ASSERT_EQ(transformation_apply(brightness_curve_region, &s, gray, out, "Brightness Curve"), 0);
    for (int y = 0; y < 9; ++y)
        ASSERT_EQ(std::memcmp(out.row(y), gray.row(y), 21), 0);

    s.curve = inverted();
    ASSERT_EQ(transformation_apply(brightness_curve_region, &s, gray, out, "Brightness Curve"), 0);
    for (int x = 0; x < 21; ++x)
        ASSERT_EQ(sample_at(out, x, 4, 0), 255 - sample_at(gray, x, 4, 0));

    const Image binary = pattern_image(IMAGE_BINARY, 12, 3);
    ASSERT_EQ(transformation_apply(brightness_curve_region, &s, binary, out, "Brightness Curve"), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY);
    EXPECT_EQ(sample_at(out, 0, 0, 0), (binary.row(0)[0] & 0x80) ? 0 : 255);

    Image colour;
    ASSERT_EQ(image_alloc(colour, IMAGE_COLOR, 1, 1, 72), 0);
    put_rgb(colour, 0, 0, 200, 100, 50);
    s.color_space = CURVE_SPACE_RGB;
    ASSERT_EQ(transformation_apply(brightness_curve_region, &s, colour, out, "Brightness Curve"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 2), 55);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 205);
    s.color_space = CURVE_SPACE_HSV; // value 200 -> 55, the rest in proportion
    ASSERT_EQ(transformation_apply(brightness_curve_region, &s, colour, out, "Brightness Curve"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 2), 55);
    EXPECT_EQ(sample_at(out, 0, 0, 1), 27);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 13);

    // 16-bit data on Apply through the 16-bit table.
    Image g16;
    ASSERT_EQ(image_alloc(g16, IMAGE_GRAY16, 1, 1, 72), 0);
    g16.row16(0)[0] = 1234;
    ASSERT_EQ(transformation_apply(brightness_curve_region, &s, g16, out, "Brightness Curve"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 65535 - 1234);

    s.curve.count = 3;
    s.curve.x[1] = 100;
    s.curve.y[1] = 180;
    s.curve.x[2] = 255;
    s.curve.y[2] = 40;
    s.curve.style = CURVE_SPLINE;
    s.amount.low = 600;
    for (int space : {CURVE_SPACE_HSV, CURVE_SPACE_HSL, CURVE_SPACE_RGB}) {
        s.color_space = space;
        test::expect_preview_matches_apply(brightness_curve_region, &s,
                                           pattern_image(IMAGE_COLOR, 26, 19));
    }
}

TEST(ColorCurves, TwelveBitTablesAndChannels)
{
    std::uint8_t id[256];
    for (int v = 0; v < 256; ++v)
        id[v] = std::uint8_t(v);
    std::vector<std::uint16_t> t12(4097);
    color_curves_table12(id, t12.data());
    EXPECT_EQ(t12[0], 0);
    EXPECT_EQ(t12[4096], 4096);
    EXPECT_EQ(t12[2048], 2056); // level (2048 * 255 + 2048) / 4096 = 128 -> (128 * 4096 + 127) / 255

    ColorCurvesSettings s;
    const Image p = pattern_image(IMAGE_COLOR, 15, 6);
    Image out;
    ASSERT_EQ(transformation_apply(color_curves_region, &s, p, out, "Color Curves"), 0);
    for (int y = 0; y < 6; ++y)
        ASSERT_EQ(std::memcmp(out.row(y), p.row(y), size_t(p.row_bytes)), 0);

    s.color_space = CURVE_SPACE_RGB;
    s.curves[0] = inverted(); // red only
    ASSERT_EQ(transformation_apply(color_curves_region, &s, p, out, "Color Curves"), 0);
    for (int x = 0; x < 15; ++x) {
        ASSERT_EQ(sample_at(out, x, 2, 2), 255 - sample_at(p, x, 2, 2));
        ASSERT_EQ(sample_at(out, x, 2, 1), sample_at(p, x, 2, 1));
    }

    // HSV with the value curve inverted: white becomes black, black white.
    color_curves_reset(s);
    s.color_space = CURVE_SPACE_HSV;
    s.curves[2] = inverted();
    Image bw;
    ASSERT_EQ(image_alloc(bw, IMAGE_COLOR, 2, 1, 72), 0);
    put_rgb(bw, 0, 0, 255, 255, 255);
    put_rgb(bw, 1, 0, 0, 0, 0);
    ASSERT_EQ(transformation_apply(color_curves_region, &s, bw, out, "Color Curves"), 0);
    EXPECT_EQ(sample_at(out, 0, 0, 0), 0);
    EXPECT_EQ(sample_at(out, 1, 0, 2), 255);
    Image wide;
    ASSERT_EQ(image_alloc(wide, IMAGE_COLOR48, 1, 1, 72), 0);
    put_rgb(wide, 0, 0, 65535, 65535, 65535);
    ASSERT_EQ(transformation_apply(color_curves_region, &s, wide, out, "Color Curves"), 0);
    EXPECT_EQ(out.type, IMAGE_COLOR48);
    EXPECT_EQ(sample_at(out, 0, 0, 1), 0);

    s.amount.low = 400;
    for (int space : {CURVE_SPACE_HSV, CURVE_SPACE_HSL, CURVE_SPACE_RGB}) {
        s.color_space = space;
        test::expect_preview_matches_apply(color_curves_region, &s, pattern_image(IMAGE_COLOR, 22, 14));
    }
    const Image gray = pattern_image(IMAGE_GRAY, 4, 4);
    EXPECT_EQ(transformation_apply(color_curves_region, &s, gray, out, "Color Curves"), kIllegalImageType);
}

} // namespace
} // namespace mv
