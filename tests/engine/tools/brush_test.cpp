#include "tools/blend_modes.h"
#include "tools/brush.h"
#include "tools/stroke.h"

#include "tool_test_support.h"

#include <gtest/gtest.h>

using namespace mv;

namespace {

int at(const Image& brush, int dx, int dy)
{
    const int R = brush.width / 2;
    return brush.row(dy + R)[dx + R];
}

} // namespace

TEST(Brush, WeightsForWorkedSettings)
{
    Image b;
    // Radius 3, transparency 50, softness 50: peak 127.5, inner radius 1.5.
    ASSERT_EQ(brush_build(3.0, 50.0, 50.0, b), 0);
    ASSERT_EQ(b.type, IMAGE_GRAY);
    ASSERT_EQ(b.width, 7);
    ASSERT_EQ(b.height, 7);
    EXPECT_EQ(at(b, 0, 0), 128);
    EXPECT_EQ(at(b, 1, 1), 128);  // d = 1.414 within the inner radius
    EXPECT_EQ(at(b, 2, 0), 85);   // (3 - 2) * 127.5 / 1.5
    EXPECT_EQ(at(b, -2, 1), 65);  // d = 2.236
    EXPECT_EQ(at(b, 2, -2), 15);  // d = 2.828
    EXPECT_EQ(at(b, 0, 3), 0);    // on the rim of a soft brush
    EXPECT_EQ(at(b, 3, 3), 0);    // beyond the radius

    // Radius 0.5 gives a 3 x 3 brush.
    ASSERT_EQ(brush_build(0.5, 0.0, 50.0, b), 0);
    EXPECT_EQ(b.width, 3);
    EXPECT_EQ(at(b, 0, 0), 255);
    EXPECT_EQ(at(b, 1, 0), 0);

    // A hard brush keeps full weight exactly at the radius, none a little beyond.
    ASSERT_EQ(brush_build(1.0, 0.0, 0.0, b), 0);
    EXPECT_EQ(at(b, 1, 0), 255);
    EXPECT_EQ(at(b, 0, -1), 255);
    EXPECT_EQ(at(b, 1, 1), 0);
    ASSERT_EQ(brush_build(2.5, 20.0, 0.0, b), 0);
    EXPECT_EQ(b.width, 7);
    EXPECT_EQ(at(b, 2, 1), 204); // round(0.8 * 255)

    // Full transparency paints nothing.
    ASSERT_EQ(brush_build(4.0, 100.0, 30.0, b), 0);
    for (int r = 0; r < b.height; ++r)
        for (int c = 0; c < b.width; ++c)
            EXPECT_EQ(b.row(r)[c], 0);

    // Out-of-range settings are held to their ranges.
    ASSERT_EQ(brush_build(1e9, -5.0, 400.0, b), 0);
    EXPECT_EQ(b.width, 201);
    EXPECT_EQ(brush_whole_radius(0.0), 1);
    EXPECT_EQ(brush_whole_radius(2.0), 2);
    EXPECT_EQ(brush_whole_radius(2.00005), 2); // within 0.0001 of a whole pixel
    EXPECT_EQ(brush_whole_radius(2.0002), 3);
}

TEST(Brush, SliderMappings)
{
    EXPECT_DOUBLE_EQ(radius_from_slider(0), 0.0);
    EXPECT_DOUBLE_EQ(radius_from_slider(1024), 100.0);
    EXPECT_NEAR(radius_from_slider(512), 11.9203, 1e-4);
    EXPECT_EQ(slider_from_radius(3.0), 245);
    EXPECT_EQ(slider_from_radius(5.0), 334);
    EXPECT_EQ(slider_from_radius(100.0), 1024);
    for (int p : {0, 1, 100, 245, 700, 1023})
        EXPECT_EQ(slider_from_radius(radius_from_slider(p)), p);
    EXPECT_EQ(slider_from_spacing(9.0), 1024); // held to the slider
    EXPECT_DOUBLE_EQ(transparency_from_pressure(1023), 100.0 / 1024);
    EXPECT_DOUBLE_EQ(transparency_from_pressure(5000), 100.0 / 1024);
}

TEST(Stroke, StepsAndStampCentres)
{
    EXPECT_EQ(stroke_step(0.0, 3.0), 1);
    EXPECT_EQ(stroke_step(0.25, 3.0), 1);
    EXPECT_EQ(stroke_step(0.5, 5.0), 3); // 2.5 rounds up
    EXPECT_EQ(stroke_step(2.0, 100.0), 200);

    std::vector<StrokePoint> pts;
    stroke_points(-1, -1, 7, 9, 3, pts); // after a press: only the new point
    ASSERT_EQ(pts.size(), 1u);
    EXPECT_EQ(pts[0].x, 7);

    stroke_points(0, 0, 10, -3, 3, pts); // n = 10 / 3 = 3, truncating toward zero
    ASSERT_EQ(pts.size(), 3u);
    EXPECT_EQ(pts[0].x, 3);
    EXPECT_EQ(pts[0].y, -1);
    EXPECT_EQ(pts[1].x, 6);
    EXPECT_EQ(pts[1].y, -2);
    EXPECT_EQ(pts[2].x, 10);
    EXPECT_EQ(pts[2].y, -3);

    stroke_points(5, 5, 6, 5, 4, pts); // shorter than the step: one stamp at the new point
    ASSERT_EQ(pts.size(), 1u);
    EXPECT_EQ(pts[0].x, 6);

    Image img = test::filled(IMAGE_GRAY, 10, 8, 0);
    int c0, r0, c1, r1;
    ASSERT_TRUE(stamp_rect(img, 1, 6, 7, 7, c0, r0, c1, r1)); // +-4, clipped
    EXPECT_EQ(c0, 0);
    EXPECT_EQ(c1, 5);
    EXPECT_EQ(r0, 2);
    EXPECT_EQ(r1, 7);
    EXPECT_FALSE(stamp_rect(img, 20, 3, 7, 7, c0, r0, c1, r1));
}

TEST(BlendModes, KnownPixels)
{
    ASSERT_EQ(product_table_build(), 0);
    // 100 towards 200 by 128/255: 100 + P[100][128] = 150.
    EXPECT_EQ(blend8(100, 200, 128, kBlendCopy), 150);
    EXPECT_EQ(blend8(100, 200, 128, kBlendLighten), 150);
    EXPECT_EQ(blend8(100, 200, 128, kBlendDarken), 100);
    EXPECT_EQ(blend8(200, 100, 128, kBlendCopy), 150);
    EXPECT_EQ(blend8(200, 100, 128, kBlendLighten), 200);
    EXPECT_EQ(blend8(200, 100, 128, kBlendDarken), 150);
    EXPECT_EQ(blend8(7, 250, 255, kBlendCopy), 250);
    EXPECT_EQ(blend16(1000, 2000, 128, kBlendCopy), 1501);
    EXPECT_EQ(blend16(2000, 1000, 128, kBlendCopy), 1499); // truncation toward zero
    EXPECT_EQ(blend16(2000, 1000, 128, kBlendLighten), 2000);
    EXPECT_EQ(blend16(1000, 2000, 128, kBlendDarken), 1000);

    int r, g, b;
    // 8-bit pixels pass through the 12-bit scale, where 200 comes back as 199.
    // HSV hue of red on a blue pixel keeps its saturation and value.
    hue_target8(hue_source(kBlendHsvHue, 255, 0, 0), 0, 0, 200, r, g, b);
    EXPECT_EQ(r, 199);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
    // HSV hue and saturation of a gray paint make the pixel gray at its value.
    hue_target8(hue_source(kBlendHsvHueSaturation, 90, 90, 90), 40, 200, 120, r, g, b);
    EXPECT_EQ(r, 199);
    EXPECT_EQ(g, 199);
    EXPECT_EQ(b, 199);
    // HSL hue of green on a half-saturated red keeps lightness and saturation.
    hue_target8(hue_source(kBlendHslHue, 0, 255, 0), 192, 64, 64, r, g, b);
    EXPECT_EQ(r, 64);
    EXPECT_EQ(g, 191);
    EXPECT_EQ(b, 63);
    // HSL hue and saturation of pure blue on a dull pink: full saturation at its lightness.
    hue_target8(hue_source(kBlendHslHueSaturation, 0, 0, 255), 160, 96, 96, r, g, b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 1);
    EXPECT_EQ(b, 255);
    // 16-bit forms.
    hue_target16(hue_source(kBlendHsvHue, 0, 255, 0), 0, 0, 51400, r, g, b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 51400);
    EXPECT_EQ(b, 0);
}
