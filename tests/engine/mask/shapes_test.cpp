#include "mask/oval.h"
#include "mask/polygon.h"
#include "mask/spline.h"

#include "mask_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mv {
namespace {

using test::TestMask;
using Runs = std::vector<std::pair<int, int>>;

TEST(MaskPolygon, TriangleRowsAndColumns)
{
    // Doubled vertices (1,1), (17,1), (1,17): row y is scanned at 2y, so row 0 lies below the
    // shape, and the slanted edge crosses at 18 - 2y, which halves to column 9 - y.
    TestMask m(10, 10);
    ASSERT_EQ(mask_polygon(m.rows, {{0, 0}, {8, 0}, {0, 8}}, MASK_ADD), 0);
    EXPECT_EQ(m.runs(0), Runs{});
    for (int y = 1; y <= 8; ++y)
        EXPECT_EQ(m.runs(y), (Runs{{0, 9 - y}})) << "row " << y;
    EXPECT_EQ(m.runs(9), Runs{});
    EXPECT_EQ(m.rows.states[0], MASK_ROW_ZERO);
    EXPECT_EQ(m.rows.states[4], MASK_ROW_MIXED);

    // The region itself covers only the rows of the vertical extent, limited to the picture.
    MaskRegion region;
    ASSERT_EQ(polygon_region({{2, -5}, {30, 3}, {2, 30}}, 10, 10, region), 0);
    EXPECT_EQ(region.first_row, 0);
    EXPECT_EQ(region.rows.size(), 10u);
    for (const auto& spans : region.rows)
        for (const MaskSpan& s : spans)
            EXPECT_TRUE(s.x0 >= 0 && s.x1 <= 9 && s.x0 <= s.x1);
    ASSERT_EQ(polygon_region({{0, 20}, {5, 25}, {9, 20}}, 10, 10, region), 0);
    EXPECT_TRUE(region.rows.empty());
}

TEST(MaskPolygon, SelfIntersectingShapesUseEvenOdd)
{
    // A bow tie: the two triangles meet in the middle.
    TestMask bow(10, 10);
    ASSERT_EQ(mask_polygon(bow.rows, {{0, 0}, {8, 8}, {8, 0}, {0, 8}}, MASK_ADD), 0);
    EXPECT_EQ(bow.runs(2), (Runs{{0, 2}, {7, 8}}));
    EXPECT_EQ(bow.runs(4), (Runs{{0, 8}})); // spans 0..4 and 5..8 side by side
    EXPECT_EQ(bow.runs(8), (Runs{{0, 1}, {8, 8}}));

    // A five-pointed star drawn in one stroke leaves its centre out.
    std::vector<MaskPoint> star;
    for (int k = 0; k < 5; ++k) {
        const double a = std::numbers::pi / 2 + k * 4 * std::numbers::pi / 5;
        star.push_back({int(std::lround(10 + 9 * std::cos(a))), int(std::lround(10 + 9 * std::sin(a)))});
    }
    TestMask m(21, 21);
    ASSERT_EQ(mask_polygon(m.rows, star, MASK_ADD), 0);
    EXPECT_EQ(m.runs(11), (Runs{{5, 8}, {13, 16}}));
    EXPECT_EQ(m.runs(13), (Runs{{2, 8}, {13, 18}}));
    EXPECT_EQ(m.runs(16), (Runs{{9, 12}}));
    EXPECT_EQ(m.at(10, 10), 0);

    // Spans that touch are merged, so Invert does not flip the shared column twice.
    TestMask inv(10, 10);
    ASSERT_EQ(mask_polygon(inv.rows, {{3, 6}, {6, 2}, {5, 8}, {5, 1}}, MASK_INVERT), 0);
    EXPECT_EQ(inv.runs(4), (Runs{{4, 6}}));
    EXPECT_EQ(inv.runs(5), (Runs{{4, 6}}));
}

TEST(MaskPolygon, OverlapClearsOutsideAndTraceLimit)
{
    TestMask m(8, 8, 255);
    ASSERT_EQ(mask_polygon(m.rows, rectangle_points({5, 5}, {2, 2}), MASK_OVERLAP), 0);
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(m.runs(y), (y >= 3 && y <= 5 ? Runs{{2, 5}} : Runs{})) << "row " << y;
    // Fewer than two points change nothing, even in Overlap.
    ASSERT_EQ(mask_polygon(m.rows, {{1, 1}}, MASK_OVERLAP), 0);
    EXPECT_EQ(m.runs(4), (Runs{{2, 5}}));

    std::vector<MaskPoint> trace;
    for (int i = 0; i < kMaskTraceLimit; ++i)
        ASSERT_TRUE(mask_trace_add(trace, {i, i}));
    EXPECT_FALSE(mask_trace_add(trace, {0, 0}));
    EXPECT_EQ(trace.size(), size_t(kMaskTraceLimit));
}

TEST(MaskOval, Spans)
{
    // Box 0..8 x 0..4: half widths 0, sqrt(3/4) * 4 = 3.46, 4 from the middle row outwards.
    TestMask m(10, 10);
    ASSERT_EQ(mask_oval(m.rows, {8, 4}, {0, 0}, MASK_ADD), 0);
    EXPECT_EQ(m.runs(0), (Runs{{4, 4}}));
    EXPECT_EQ(m.runs(1), (Runs{{1, 7}}));
    EXPECT_EQ(m.runs(2), (Runs{{0, 8}}));
    EXPECT_EQ(m.runs(3), (Runs{{1, 7}}));
    EXPECT_EQ(m.runs(4), (Runs{{4, 4}}));
    EXPECT_EQ(m.runs(5), Runs{});

    // One row high: the whole width. Partly outside: limited to the picture.
    TestMask flat(10, 10);
    ASSERT_EQ(mask_oval(flat.rows, {2, 5}, {6, 5}, MASK_ADD), 0);
    EXPECT_EQ(flat.runs(5), (Runs{{2, 6}}));
    TestMask edge(10, 10);
    ASSERT_EQ(mask_oval(edge.rows, {-8, -2}, {4, 2}, MASK_ADD), 0);
    EXPECT_EQ(edge.runs(0), (Runs{{0, 4}}));
    EXPECT_EQ(edge.runs(1), (Runs{{0, 3}}));
    EXPECT_EQ(edge.runs(2), Runs{}); // the single column -2 lies outside

    // Coinciding corners do nothing, even in Overlap.
    TestMask full(4, 4, 255);
    ASSERT_EQ(mask_oval(full.rows, {1, 1}, {1, 1}, MASK_OVERLAP), 0);
    EXPECT_EQ(full.runs(0), (Runs{{0, 3}}));
}

TEST(MaskSpline, PassesThroughTheClickedPoints)
{
    // Segments of length about 2 give one sample each: their start point.
    std::vector<MaskPoint> outline;
    ASSERT_EQ(spline_points({{0, 0}, {2, 0}, {0, 2}}, outline), 0);
    EXPECT_EQ(outline, (std::vector<MaskPoint>{{0, 0}, {2, 0}, {0, 2}}));
    // Coinciding points give segments with no samples.
    ASSERT_EQ(spline_points({{5, 5}, {5, 5}}, outline), 0);
    EXPECT_TRUE(outline.empty());

    const std::vector<MaskPoint> square = {{10, 10}, {30, 10}, {30, 30}, {10, 30}};
    ASSERT_EQ(spline_points(square, outline), 0);
    EXPECT_EQ(outline.size(), 40u); // 10 samples per side of length 20
    for (const MaskPoint& p : square)
        EXPECT_NE(std::find(outline.begin(), outline.end(), p), outline.end());
    // The curve bulges out between the corners: the middle of the bottom side lies lower.
    EXPECT_LT(outline[5].y, 10);

    TestMask m(40, 40);
    ASSERT_EQ(mask_spline(m.rows, square, MASK_ADD), 0);
    EXPECT_EQ(m.at(20, 20), 255);
    EXPECT_EQ(m.at(20, 9), 255);
    EXPECT_EQ(m.at(2, 2), 0);
    EXPECT_EQ(m.at(37, 37), 0);
}

} // namespace
} // namespace mv
