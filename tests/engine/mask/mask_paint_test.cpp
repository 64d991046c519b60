#include "mask/mask_paint.h"
#include "mask_test_support.h"

#include "core/error.h"
#include "tools/brush.h"

namespace mv {
namespace {

using test::TestMask;

// Paints a stroke through `points` (press at the first, moves, release at the last).
MaskRect stroke(TestMask& t, MaskUndo& before, const MaskBrushSettings& s, int mode,
                const std::vector<std::pair<int, int>>& points)
{
    MaskPaint p;
    MaskRect changed;
    EXPECT_EQ(mask_undo_take(t.rows, before), 0);
    EXPECT_EQ(mask_paint_begin(t.rows, before, p, s, mode, points[0].first, points[0].second, changed), 0);
    for (size_t i = 1; i < points.size(); ++i)
        mask_paint_to(t.rows, before, p, points[i].first, points[i].second, changed);
    mask_paint_end(p);
    for (int y = 0; y < t.image.height; ++y)
        EXPECT_EQ(t.rows.states[size_t(y)], mask_row_state(t.image.row(y), t.image.width)) << y;
    return changed;
}

TEST(MaskPaint, StrokesMergeOnceWithTheMaskAsItWas)
{
    // A half-transparent hard brush: re-crossing a spot never adds up.
    MaskBrushSettings half{4.0, 50.0, 0.0};
    Image brush;
    ASSERT_EQ(brush_build(half.radius, half.transparency, half.softness, brush), 0);
    const int peak = brush.row(brush.height / 2)[brush.width / 2];
    ASSERT_GT(peak, 100);
    ASSERT_LT(peak, 160);

    TestMask add(60, 40, 0);
    MaskUndo before;
    const MaskRect r = stroke(add, before, half, MASK_ADD, {{10, 20}, {40, 20}, {10, 20}, {40, 21}});
    EXPECT_EQ(add.at(25, 20), peak);
    EXPECT_EQ(add.at(10, 20), peak);
    EXPECT_EQ(add.at(25, 30), 0);
    EXPECT_EQ(add.at(55, 20), 0);
    EXPECT_LE(r.first_column, 6);
    EXPECT_GE(r.last_column, 44);
    // The stamp far off the picture still reached nothing and broke nothing.
    mask_undo_restore(add.rows, before);
    for (int y = 0; y < 40; ++y)
        EXPECT_EQ(add.row(y), std::vector<int>(60, 0));

    // Subtract takes the brush weight off a full mask, once.
    TestMask sub(60, 40, 255);
    stroke(sub, before, half, MASK_SUBTRACT, {{30, 20}, {30, 10}, {30, 20}});
    EXPECT_EQ(sub.at(30, 15), 255 - peak);
    EXPECT_EQ(sub.at(5, 5), 255);

    // Invert with a full-strength brush clears the stroke on a full mask and stays cleared
    // when the stroke comes back over it.
    MaskBrushSettings hard{3.0, 0.0, 0.0};
    TestMask inv(60, 40, 255);
    stroke(inv, before, hard, MASK_INVERT, {{20, 20}, {30, 20}, {20, 20}});
    EXPECT_EQ(inv.at(25, 20), 0);
    EXPECT_EQ(inv.at(25, 30), 255);
}

TEST(MaskPaint, OverlapKeepsOnlyTheStrokeAndBadInputIsRefused)
{
    MaskBrushSettings hard{3.0, 0.0, 0.0};
    TestMask t(50, 30, 255);
    t.set_row(15, std::vector<int>(50, 100));
    MaskUndo before;
    const MaskRect r = stroke(t, before, hard, MASK_OVERLAP, {{10, 15}, {20, 15}});
    // The whole mask may change; outside the stroke every row is cleared, inside the values
    // of the mask are kept.
    EXPECT_EQ(r.first_column, 0);
    EXPECT_EQ(r.last_row, 29);
    EXPECT_EQ(t.at(15, 15), 100);
    EXPECT_EQ(t.at(15, 16), 255);
    EXPECT_EQ(t.at(40, 15), 0);
    EXPECT_EQ(t.row(0), std::vector<int>(50, 0));
    EXPECT_EQ(t.rows.states[0], MASK_ROW_ZERO);

    // A copy of another size is no base for a stroke, and nothing is touched.
    TestMask other(10, 10, 0);
    MaskUndo small;
    ASSERT_EQ(mask_undo_take(other.rows, small), 0);
    MaskPaint p;
    MaskRect changed;
    EXPECT_EQ(mask_paint_begin(t.rows, small, p, hard, MASK_ADD, 5, 5, changed), kIllegalImageType);
    EXPECT_TRUE(changed.empty());
    EXPECT_FALSE(p.painting);
    mask_paint_to(t.rows, small, p, 8, 8, changed);
    EXPECT_TRUE(changed.empty());
}

} // namespace
} // namespace mv
