#include "effects/edge.h"

#include "../filters/filter_test_support.h"
#include "../test_progress.h"

#include <gtest/gtest.h>

using namespace mv;
using namespace mv::test;

TEST(Edge, OperatorsOnAStepAndABrightPixel)
{
    // A vertical step touching the left border: columns 0..2 at 10, the rest at 90.
    Image step = make_image(IMAGE_GRAY, 8, 5, [](int x, int, int) { return x < 3 ? 10 : 90; });
    EdgeSettings st;
    st.method = kEdgeSobel;
    Image out;
    ASSERT_EQ(transformation_apply(edge_region, &st, step, out, "Edge"), 0);
    for (int y = 0; y < 5; ++y) { // the replicated border rows see the same step
        EXPECT_EQ(px(out, 0, y), 0);
        EXPECT_EQ(px(out, 2, y), 255); // 4 * 80 = 320 clamps
        EXPECT_EQ(px(out, 3, y), 255);
        EXPECT_EQ(px(out, 5, y), 0);
    }
    st.method = kEdgeRoberts;
    ASSERT_EQ(transformation_apply(edge_region, &st, step, out, "Edge"), 0);
    EXPECT_EQ(px(out, 2, 2), 160);
    EXPECT_EQ(px(out, 1, 2), 0);
    st.action = kEdgeDarken;
    ASSERT_EQ(transformation_apply(edge_region, &st, step, out, "Edge"), 0);
    EXPECT_EQ(px(out, 3, 2), 0);
    EXPECT_EQ(px(out, 6, 2), 90);
    st.action = kEdgeLighten;
    ASSERT_EQ(transformation_apply(edge_region, &st, step, out, "Edge"), 0);
    EXPECT_EQ(px(out, 2, 2), 170);

    Image dot = make_image(IMAGE_GRAY, 5, 5, [](int x, int y, int) { return x == 2 && y == 2 ? 255 : 0; });
    EdgeSettings lap;
    lap.method = kEdgeLaplacian;
    ASSERT_EQ(transformation_apply(edge_region, &lap, dot, out, "Edge"), 0);
    EXPECT_EQ(px(out, 2, 2), 255);
    EXPECT_EQ(px(out, 1, 2), 0);
    EXPECT_EQ(px(out, 2, 3), 0);

    Image flat = make_image(IMAGE_COLOR, 6, 6, [](int, int, int c) { return 50 + c; });
    for (int m = 0; m < 3; ++m)
        for (int a = 0; a < 3; ++a) {
            EdgeSettings e;
            e.method = m;
            e.action = a;
            ASSERT_EQ(transformation_apply(edge_region, &e, flat, out, "Edge"), 0);
            EXPECT_EQ(px(out, 3, 3, 1), a == kEdgeCompute ? 0 : 51);
        }
}

TEST(Edge, ColourSpacesSixteenBitAndPreview)
{
    Image img = make_image(IMAGE_COLOR, 9, 7, [](int x, int y, int c) { return (x * 40 + y * 13 + c * 70) % 256; });
    EdgeSettings st;
    st.color_space = kEdgeHsv;
    st.method = kEdgeSobel;
    Image out;
    ASSERT_EQ(transformation_apply(edge_region, &st, img, out, "Edge"), 0);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(px(out, x, y, 0), px(out, x, y, 1));
            EXPECT_EQ(px(out, x, y, 1), px(out, x, y, 2));
        }
    st.action = kEdgeDarken;
    st.color_space = kEdgeHsl;
    expect_preview_matches_apply(edge_region, &st, img);
    st.color_space = kEdgeRgb;
    st.amount.low = 600;
    expect_preview_matches_apply(edge_region, &st, img);

    // Widened 16-bit data give the widened 8-bit result, and narrow back in the preview.
    Image wide = make_image(IMAGE_COLOR48, 9, 7, [](int x, int y, int c) { return 257 * ((x * 40 + y * 13 + c * 70) % 256); });
    for (int m = 0; m < 3; ++m) {
        EdgeSettings e;
        e.method = m;
        e.action = kEdgeLighten;
        Image a, b, prev;
        ASSERT_EQ(transformation_apply(edge_region, &e, img, a, "Edge"), 0);
        ASSERT_EQ(transformation_apply(edge_region, &e, wide, b, "Edge"), 0);
        ASSERT_EQ(b.type, IMAGE_COLOR48);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x)
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(px(b, x, y, c), 257 * px(a, x, y, c));
        ASSERT_EQ(image_alloc(prev, IMAGE_COLOR, 9, 7, 0), 0);
        ASSERT_EQ(preview_part(edge_region, &e, wide, prev, 0, 0, 9, 7), 0);
        EXPECT_TRUE(same_pixels(a, prev));
    }

    Image bin = make_image(IMAGE_BINARY, 120, 100, [](int x, int, int) { return x > 60; });
    TestProgressSink sink;
    EdgeSettings e;
    ASSERT_EQ(transformation_apply(edge_region, &e, bin, out, "Edge"), 0);
    EXPECT_EQ(out.type, IMAGE_GRAY);
    EXPECT_EQ(sink.titles(), std::vector<std::string>{"Edge"});
    EXPECT_EQ(sink.begins[0].last, 99);
    e.amount.low = 0;
    ASSERT_EQ(transformation_apply(edge_region, &e, bin, out, "Edge"), 0);
    EXPECT_EQ(px(out, 61, 3), 255);
}
