#include "transform/compute_driver.h"

#include <gtest/gtest.h>

using namespace mv;

TEST(ComputeDriver, PreviewRegionAtReductionAndMagnification)
{
    // 1:3 preview, client 100 x 80, view from column 30 with its last visible row 500 of a
    // picture 600 rows high.
    PreviewRegion p = preview_region(-3, 100, 80, nullptr, 30, 500, 600);
    EXPECT_EQ(p.first_column, 0);
    EXPECT_EQ(p.last_column, 99);
    EXPECT_EQ(p.first_row, 0);
    EXPECT_EQ(p.last_row, 79);
    EXPECT_EQ(p.columns, 100);
    EXPECT_EQ(p.rows, 80);
    EXPECT_EQ(p.x0, 30);
    EXPECT_EQ(p.y0, 99);

    // A rectangle: columns 10..39, client rows 20..49 from the top = rows 30..59 from the
    // bottom; first column and row multiplied by 3.
    const IntRect r{10, 20, 39, 49};
    p = preview_region(-3, 100, 80, &r, 30, 500, 600);
    EXPECT_EQ(p.first_column, 10);
    EXPECT_EQ(p.last_column, 39);
    EXPECT_EQ(p.first_row, 30);
    EXPECT_EQ(p.last_row, 59);
    EXPECT_EQ(p.columns, 30);
    EXPECT_EQ(p.rows, 30);
    EXPECT_EQ(p.x0, 30 + 30);
    EXPECT_EQ(p.y0, 99 + 90);

    // 2:1: first column and row divided by 2, counts rounded up.
    const IntRect odd{5, 0, 11, 6}; // 7 columns, 7 rows
    p = preview_region(2, 40, 20, &odd, 8, 15, 100);
    EXPECT_EQ(p.columns, 4);
    EXPECT_EQ(p.rows, 4);
    EXPECT_EQ(p.first_row, 13);
    EXPECT_EQ(p.x0, 8 + 2);
    EXPECT_EQ(p.y0, 100 - 1 - 15 + 6);
    p = preview_region(2, 40, 20, nullptr, 0, 9, 10);
    EXPECT_EQ(p.columns, 20);
    EXPECT_EQ(p.rows, 10);
    EXPECT_EQ(p.y0, 0);

    // Rectangles are held to the client area; one outside it computes nothing.
    const IntRect wide{-5, -5, 500, 500};
    p = preview_region(1, 40, 20, &wide, 0, 19, 20);
    EXPECT_EQ(p.columns, 40);
    EXPECT_EQ(p.rows, 20);
    const IntRect outside{50, 0, 60, 5};
    p = preview_region(1, 40, 20, &outside, 0, 19, 20);
    EXPECT_EQ(p.columns, 0);
}

TEST(ComputeDriver, PreviewZoomGeometryAndCascade)
{
    // Half of 1000 x 800 is 500 x 400; 1000 + 10 + 16 needs 1:3.
    EXPECT_EQ(preview_initial_zoom(1000, 800, 10, 30, 8, 1000, 800), -3);
    EXPECT_EQ(preview_initial_zoom(400, 300, 10, 30, 8, 1000, 800), 1);
    EXPECT_EQ(preview_initial_zoom(474, 10, 10, 30, 8, 1000, 800), 1);
    EXPECT_EQ(preview_initial_zoom(475, 10, 10, 30, 8, 1000, 800), -2);
    // An area too small for anything stops at one pixel instead of looping for ever.
    EXPECT_EQ(preview_initial_zoom(7, 5, 10, 30, 8, 10, 10), -7);

    int left = 0, w = 0, h = 0;
    preview_geometry(1000, 800, -3, 10, 30, 1000, left, w, h);
    EXPECT_EQ(w, 334 + 10);
    EXPECT_EQ(h, 267 + 30);
    EXPECT_EQ(left, 1000 - 344);

    WindowRecord r;
    preview_view_setup(r, 1000, 800, -3);
    EXPECT_EQ(r.visible_width, 334);
    EXPECT_EQ(r.shown.left, 0);
    EXPECT_EQ(r.shown.bottom, 799);
    EXPECT_EQ(r.scroll_max_x, 0);

    result_position(10, 30, 4, 22, 3, left, w);
    EXPECT_EQ(left, 22);
    EXPECT_EQ(w, 96);
}

TEST(ComputeDriver, ScrollStrips)
{
    // Right by 16 at 1:1: the last 16 columns.
    auto s = preview_scroll_strip(true, 0, 16, 100, 60, 1);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->left, 84);
    EXPECT_EQ(s->right, 99);
    EXPECT_EQ(s->top, 0);
    EXPECT_EQ(s->bottom, 59);
    // At 3:1 the inner edge 70 rounds down to 69.
    s = preview_scroll_strip(true, 0, 30, 100, 60, 3);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->left, 69);
    // Back left: the first columns.
    s = preview_scroll_strip(true, 30, 0, 100, 60, 3);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->left, 0);
    EXPECT_EQ(s->right, 29);
    // Down by 10 of 60 rows at 4:1: rows 50 rounded down to 48 .. 59.
    s = preview_scroll_strip(false, 0, 12, 100, 60, 4);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->top, 48);
    EXPECT_EQ(s->bottom, 59);
    EXPECT_EQ(s->right, 99);
    // No overlap: the whole preview.
    EXPECT_FALSE(preview_scroll_strip(false, 0, 60, 100, 60, 1));
    EXPECT_FALSE(preview_scroll_strip(true, 200, 0, 100, 60, 1));
    s = preview_scroll_strip(true, 5, 5, 100, 60, 1);
    ASSERT_TRUE(s);
    EXPECT_LT(s->right, s->left);
}
