#include "tone/curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace mv {
namespace {

struct Tables {
    std::uint8_t t8[256];
    std::vector<std::uint16_t> t16 = std::vector<std::uint16_t>(65536);
};

Tables tables(std::vector<int> xs, std::vector<int> ys, int style)
{
    Curve c;
    c.count = int(xs.size());
    for (int k = 0; k < c.count; ++k) {
        c.x[k] = xs[k];
        c.y[k] = ys[k];
    }
    c.style = style;
    Tables t;
    curve_table8(c, t.t8);
    curve_table16(c, t.t16.data());
    return t;
}

TEST(Curve, DefaultCurveIsIdentityWhenJoinedByLineOrCurve)
{
    for (int style : {CURVE_LINEAR, CURVE_SPLINE}) {
        const Tables t = tables({0, 255}, {0, 255}, style);
        for (int v = 0; v < 256; ++v)
            ASSERT_EQ(t.t8[v], v) << style;
        for (int v = 0; v < 65536; ++v)
            ASSERT_EQ(t.t16[v], v) << style;
    }
    // Two points as a stair step are one flat step: the last point's level keeps the first
    // point's output, and only levels above it would take the last output.
    const Tables s = tables({0, 255}, {0, 255}, CURVE_STEP);
    EXPECT_EQ(s.t8[0] + s.t8[128] + s.t8[255], 0);
    const Tables s2 = tables({0, 200}, {0, 255}, CURVE_STEP);
    EXPECT_EQ(s2.t8[200], 0);
    EXPECT_EQ(s2.t8[201], 255);
    std::uint8_t t[256];
    curve_table8(Curve{}, t);
    EXPECT_TRUE(table8_is_identity(t));
}

TEST(Curve, StairStepAndBrokenLine)
{
    const Tables s = tables({0, 128, 255}, {0, 200, 255}, CURVE_STEP);
    for (int v = 0; v < 128; ++v)
        ASSERT_EQ(s.t8[v], 0);
    for (int v = 128; v < 256; ++v)
        ASSERT_EQ(s.t8[v], 200);
    EXPECT_EQ(s.t16[128 * 257 - 1], 0);
    EXPECT_EQ(s.t16[128 * 257], 200 * 257);
    EXPECT_EQ(s.t16[65535], 200 * 257);

    // Levels outside the points take the end outputs.
    const Tables l = tables({20, 100, 200}, {10, 200, 250}, CURVE_LINEAR);
    EXPECT_EQ(l.t8[0], 10);
    EXPECT_EQ(l.t8[19], 10);
    EXPECT_EQ(l.t8[20], 10);
    EXPECT_EQ(l.t8[60], 105);  // 10 + 40 * 190 / 80
    EXPECT_EQ(l.t8[100], 200);
    EXPECT_EQ(l.t8[150], 225);
    EXPECT_EQ(l.t8[201], 250);
    EXPECT_EQ(l.t8[255], 250);
    EXPECT_EQ(l.t16[60 * 257], 105 * 257);
    EXPECT_EQ(l.t16[0], 10 * 257);
    EXPECT_EQ(l.t16[65535], 250 * 257);
    // (0,0)-(100,200)-(255,255) at 200: 200 + 100 * 55 / 155 = 235.48.
    EXPECT_EQ(tables({0, 100, 255}, {0, 200, 255}, CURVE_LINEAR).t8[200], 235);
}

TEST(Curve, ThreePointSplineIsAPowerCurve)
{
    const Tables t = tables({0, 64, 255}, {0, 128, 255}, CURVE_SPLINE);
    const double g = std::log(128.0 / 255) / std::log(64.0 / 255);
    EXPECT_NEAR(g, 0.49859, 1e-4);
    EXPECT_EQ(t.t8[64], 128);
    EXPECT_EQ(t.t8[128], 181); // (128/255)^g * 255 = 180.84
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(t.t8[v], std::lround(std::pow(v / 255.0, g) * 255)) << v;
    EXPECT_EQ(t.t16[64 * 257], 128 * 257);
    EXPECT_EQ(t.t16[65535], 65535);

    // Falling curve and an offset start: y0 + round(t^g * (y2 - y0)).
    const Tables f = tables({10, 50, 210}, {240, 100, 40}, CURVE_SPLINE);
    EXPECT_EQ(f.t8[10], 240);
    EXPECT_EQ(f.t8[50], 100);
    EXPECT_EQ(f.t8[210], 40);
    EXPECT_EQ(f.t8[0], 240);
    EXPECT_EQ(f.t8[255], 40);
}

TEST(Curve, HermiteSplinePassesThroughPointsAndStaysMonotone)
{
    const std::vector<int> xs = {0, 30, 60, 90, 128, 200, 255};
    const std::vector<int> ys = {0, 5, 120, 121, 160, 250, 255};
    const Tables t = tables(xs, ys, CURVE_SPLINE);
    for (std::size_t k = 0; k < xs.size(); ++k) {
        EXPECT_EQ(t.t8[xs[k]], ys[k]);
        EXPECT_EQ(t.t16[xs[k] * 257], ys[k] * 257);
    }
    for (int v = 1; v < 256; ++v)
        ASSERT_GE(t.t8[v], t.t8[v - 1]) << v;
    for (int v = 1; v < 65536; ++v)
        ASSERT_GE(t.t16[v], t.t16[v - 1]) << v;

    // Up and down: no segment leaves the range of its two ends, turning points are flat.
    const std::vector<int> zx = {0, 60, 120, 180, 255};
    const std::vector<int> zy = {0, 255, 30, 30, 200};
    const Tables z = tables(zx, zy, CURVE_SPLINE);
    for (std::size_t k = 0; k + 1 < zx.size(); ++k) {
        const int lo = std::min(zy[k], zy[k + 1]), hi = std::max(zy[k], zy[k + 1]);
        for (int v = zx[k]; v <= zx[k + 1]; ++v) {
            ASSERT_GE(z.t8[v], lo) << v;
            ASSERT_LE(z.t8[v], hi) << v;
        }
    }
    for (int v = 120; v <= 180; ++v)
        ASSERT_EQ(z.t8[v], 30);
    EXPECT_EQ(z.t8[59], 255);
    // Four points where the middle ones are not between the ends are not a power curve.
    const Tables h = tables({0, 64, 255}, {0, 255, 255}, CURVE_SPLINE);
    for (int v = 64; v < 256; ++v)
        ASSERT_EQ(h.t8[v], 255);
}

TEST(Curve, SplineLimiterShrinksSteepTangents)
{
    // A steep step between two flat runs: the limited tangents keep the segment monotone.
    const double X[4] = {0, 0.1, 0.2, 1};
    const double Y[4] = {0, 0.01, 0.99, 1};
    double m[4];
    spline_tangents(4, X, Y, m);
    for (double v : m)
        EXPECT_GE(v, 0);
    int seg = 0;
    double last = -1;
    for (int i = 0; i <= 1000; ++i) {
        const double y = spline_value(4, X, Y, m, i / 1000.0, seg);
        ASSERT_GE(y, last - 1e-12) << i;
        last = y;
    }
    EXPECT_NEAR(last, 1.0, 1e-12);
}

TEST(Curve, InvalidPointsGiveIdentity)
{
    const std::int32_t x[3] = {0, 100, 100}, y[3] = {0, 50, 255};
    std::uint8_t t[256];
    curve_table8(3, x, y, CURVE_SPLINE, t);
    EXPECT_TRUE(table8_is_identity(t));
    EXPECT_FALSE(curve_is_valid(1, x, y, CURVE_LINEAR));
    EXPECT_FALSE(curve_is_valid(2, x, y, 3));
    const std::int32_t bad_y[2] = {0, 256};
    EXPECT_FALSE(curve_is_valid(2, x, bad_y, CURVE_LINEAR));
}

} // namespace
} // namespace mv
