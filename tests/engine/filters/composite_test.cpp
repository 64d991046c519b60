#include "filters/alignment.h"
#include "filters/composite.h"

#include "../test_messages.h"
#include "filter_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mv;
using namespace mv::test;

namespace {
int pattern(int x, int y, int c) { return (x * 23 + y * 57 + c * 31) % 256; }
}

TEST(Alignment, MapsFromPointPairs)
{
    const PointF base[4] = {{10, 20}, {50, 20}, {10, 60}, {50, 60}};
    PointF ov[4];
    AlignmentMap m;
    double u, v;
    // A shift.
    for (int i = 0; i < 4; ++i)
        ov[i] = {base[i].x + 3, base[i].y - 2};
    ASSERT_EQ(alignment_solve(kAlignShift, 1, base, ov, m), 0);
    EXPECT_DOUBLE_EQ(m.c, 3);
    EXPECT_DOUBLE_EQ(m.f, -2);
    // A quarter turn about point 1, no scaling.
    ov[0] = {10, 20};
    ov[1] = {10, 60};
    ASSERT_EQ(alignment_solve(kAlignRotate, 2, base, ov, m), 0);
    alignment_map_point(m, 50, 20, u, v);
    EXPECT_NEAR(u, 10, 1e-9);
    EXPECT_NEAR(v, 60, 1e-9);
    // Similarity with scale 2.
    ov[0] = {0, 0};
    ov[1] = {80, 0};
    ASSERT_EQ(alignment_solve(kAlignSimilarity, 2, base, ov, m), 0);
    alignment_map_point(m, 10, 60, u, v);
    EXPECT_NEAR(u, 0, 1e-9);
    EXPECT_NEAR(v, 80, 1e-9);
    // Affine and perspective reproduce their points.
    const PointF warp[4] = {{0, 0}, {100, 5}, {-3, 90}, {120, 110}};
    for (int a : {kAlignAffine, kAlignPerspective}) {
        ASSERT_EQ(alignment_solve(a, 4, base, warp, m), 0);
        for (int i = 0; i < alignment_point_count(a); ++i) {
            alignment_map_point(m, base[i].x, base[i].y, u, v);
            EXPECT_NEAR(u, warp[i].x, 1e-9);
            EXPECT_NEAR(v, warp[i].y, 1e-9);
        }
    }
    // Repeated points in either list, or collinear points of an affine map, give 61.
    const PointF twice[3] = {{1, 1}, {1, 1}, {5, 9}};
    EXPECT_EQ(alignment_solve(kAlignRotate, 2, twice, warp, m), 61);
    EXPECT_EQ(alignment_solve(kAlignAffine, 3, base, twice, m), 61);
    const PointF line[3] = {{0, 0}, {1, 1}, {2, 2}};
    EXPECT_EQ(alignment_solve(kAlignAffine, 3, line, warp, m), 61);
    EXPECT_EQ(alignment_point_label(0), '1');
    EXPECT_EQ(alignment_point_label(9), 'a');
    EXPECT_EQ(alignment_point_label(35), 'A');
    EXPECT_EQ(alignment_point_label(60), 'Z');
}

TEST(Composite, OperationsWithColourAndPictures)
{
    Image base = make_image(IMAGE_GRAY, 12, 8, pattern);
    Image overlay = make_image(IMAGE_GRAY, 12, 8, [](int x, int y, int) { return (x * 91 + y * 7) % 256; });
    CompositeSettings st;
    composite_init(st, 12, 8);
    composite_set_overlay(st, &overlay);
    Image out;
    ASSERT_EQ(transformation_apply(composite_region, &st, base, out, "Composite"), 0);
    EXPECT_TRUE(same_pixels(overlay, out)); // Blend, full amount, no alignment

    st.operation = kCompFilter;
    ASSERT_EQ(transformation_apply(composite_region, &st, base, out, "Composite"), 0);
    EXPECT_EQ(px(out, 3, 2), (px(base, 3, 2) * px(overlay, 3, 2) + 127) / 255);
    st.operation = kCompSubtract;
    ASSERT_EQ(transformation_apply(composite_region, &st, base, out, "Composite"), 0);
    EXPECT_EQ(px(out, 5, 5), std::max(px(base, 5, 5) - px(overlay, 5, 5), 0));
    st.overlay_amount.low = 512; // 128
    st.operation = kCompBlend;
    ASSERT_EQ(transformation_apply(composite_region, &st, base, out, "Composite"), 0);
    EXPECT_EQ(px(out, 4, 1), mix8(px(base, 4, 1), px(overlay, 4, 1), 128));

    // "Negative" with a white colour inverts; with black it changes nothing.
    CompositeSettings neg;
    composite_init(neg, 12, 8);
    neg.operation = kCompNegative;
    ASSERT_EQ(transformation_apply(composite_region, &neg, base, out, "Composite"), 0);
    EXPECT_EQ(px(out, 7, 3), 255 - px(base, 7, 3));
    neg.red = neg.green = neg.blue = 0;
    ASSERT_EQ(transformation_apply(composite_region, &neg, base, out, "Composite"), 0);
    EXPECT_TRUE(same_pixels(base, out));
    neg.red = 10; // a coloured overlay makes a colour result
    ASSERT_EQ(transformation_apply(composite_region, &neg, base, out, "Composite"), 0);
    EXPECT_EQ(out.type, IMAGE_COLOR);
    EXPECT_EQ(px(out, 7, 3, 2), px(base, 7, 3) ^ 10);

    // A 16-bit overlay widens the result; base values are widened by 257.
    Image wide = make_image(IMAGE_GRAY16, 12, 8, [](int, int, int) { return 1000; });
    composite_set_overlay(st, &wide);
    st.overlay_amount.low = 1024;
    st.operation = kCompAdd;
    ASSERT_EQ(transformation_apply(composite_region, &st, base, out, "Composite"), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY16);
    EXPECT_EQ(px(out, 2, 2), std::min(px(base, 2, 2) * 257 + 1000, 65535));
    expect_preview_matches_apply(composite_region, &neg, base);
}

TEST(Composite, AlignedOverlayRegisterAndAntialiasedEdge)
{
    Image base = make_image(IMAGE_GRAY, 20, 20, [](int, int, int) { return 100; });
    Image overlay = make_image(IMAGE_GRAY, 8, 8, [](int, int, int) { return 200; });
    CompositeSettings st;
    composite_init(st, 20, 20);
    composite_set_overlay(st, &overlay);
    composite_set_alignment(st, kAlignShift);
    st.operation = kCompRegister;
    st.base_points[0] = {5.5, 5.5}; // overlay (0, 0) half a pixel off the grid
    st.overlay_points[0] = {0, 0};
    Image out;
    ASSERT_EQ(transformation_apply(composite_region, &st, base, out, "Composite"), 0);
    // Rows are stored from the bottom: top-down y = 19 - row.
    EXPECT_EQ(px(out, 0, 19), 0);                  // outside the footprint: black
    EXPECT_EQ(px(out, 9, 19 - 9), 200);            // well inside
    const int edge = px(out, 5, 19 - 8);           // straddles the left edge
    EXPECT_GT(edge, 0);
    EXPECT_LT(edge, 200);

    st.base_points[1] = st.base_points[0];
    composite_set_alignment(st, kAlignRotate);
    EXPECT_EQ(transformation_apply(composite_region, &st, base, out, "Composite"), 61);
    EXPECT_TRUE(out.empty());
}

TEST(Composite, RefineFindsTheShiftAndWarnsAtTheBorder)
{
    auto blob = [](double cx, double cy) {
        return [cx, cy](int x, int y, int) {
            const double d = std::hypot(x - cx, (39 - y) - cy);
            return d < 6 ? 255 : d < 9 ? 128 : 0;
        };
    };
    Image base = make_image(IMAGE_GRAY, 60, 40, blob(30, 20));
    Image overlay = make_image(IMAGE_GRAY, 60, 40, blob(33, 18));
    CompositeSettings st;
    composite_init(st, 60, 40);
    composite_set_overlay(st, &overlay);
    composite_set_alignment(st, kAlignShift);
    st.base_points[0] = {30, 20};
    st.overlay_points[0] = {30, 20};
    RecordingMessageSink messages;
    ASSERT_EQ(composite_refine(st, base), 0);
    EXPECT_NEAR(st.overlay_points[0].x, 33, 0.2);
    EXPECT_NEAR(st.overlay_points[0].y, 18, 0.2);
    EXPECT_EQ(st.operation, kCompBlend);
    EXPECT_TRUE(messages.messages.empty());

    st.overlay_points[0] = {45, 20}; // the match lies beyond the search square
    ASSERT_EQ(composite_refine(st, base), 0);
    EXPECT_EQ(st.overlay_points[0].x, 45);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].title, "Warning");
    EXPECT_EQ(messages.messages[0].text, "Unable to refine alignment point 1");

    composite_set_alignment(st, kAlignNone);
    ASSERT_EQ(composite_refine(st, base), 0);
    EXPECT_EQ(messages.messages.back().text, "No alignment points to adjust");
}
