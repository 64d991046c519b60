#include "mask/mask_all_none_invert.h"
#include "mask/mask_area.h"
#include "mask/mask_rows.h"
#include "mask/mask_undo.h"
#include "mask/polygon.h"

#include "core/error.h"
#include "mask_test_support.h"
#include "test_messages.h"
#include "test_progress.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::TestMask;

TEST(MaskRows, StatesFollowTheValues)
{
    TestMask m(4, 3);
    m.set_row(1, {255, 255, 255, 255});
    m.set_row(2, {0, 0, 7, 0});
    EXPECT_EQ(m.rows.states, (std::vector<std::uint8_t>{0, 1, 2}));
    EXPECT_EQ(mask_row_state(m.image.row(2), 2), MASK_ROW_ZERO); // only the first two columns

    Image gray16;
    ASSERT_EQ(image_alloc(gray16, IMAGE_GRAY16, 4, 3, 72.0), 0);
    MaskRows rows;
    EXPECT_EQ(mask_rows_attach(rows, gray16), kIllegalImageType);

    Image mask;
    EXPECT_EQ(mask_new(gray16, mask, rows), 0);
    EXPECT_EQ(mask.type, IMAGE_GRAY);
    EXPECT_EQ(mask.width, 4);
    EXPECT_EQ(mask.resolution, 100.0);
    EXPECT_EQ(rows.states, (std::vector<std::uint8_t>{0, 0, 0}));
    EXPECT_EQ(mask.row(2)[3], 0);
    Image single;
    ASSERT_EQ(image_alloc(single, IMAGE_SINGLE_COLOR, 1, 1, 0), 0);
    EXPECT_EQ(mask_new(single, mask, rows), kIllegalImageType);
}

TEST(MaskRows, ValueMergesPerMode)
{
    const std::vector<int> start = {0, 100, 200, 255};
    const std::uint8_t r[4] = {50, 150, 100, 15};
    const std::vector<std::vector<int>> expected = {
        {50, 150, 200, 255}, // Add: max
        {0, 0, 100, 240},    // Subtract: at least 0
        {0, 100, 100, 15},   // Overlap: min
        {50, 242, 172, 240}, // Invert: XOR
    };
    for (int mode = MASK_ADD; mode <= MASK_INVERT; ++mode) {
        TestMask m(4, 1);
        m.set_row(0, start);
        mask_merge_values(m.rows, 0, r, mode);
        EXPECT_EQ(m.row(0), expected[mode]) << "mode " << mode;
        EXPECT_EQ(m.rows.states[0], MASK_ROW_MIXED);
    }
    // A merge that empties or fills a row updates its state.
    TestMask m(2, 1);
    m.set_row(0, {10, 20});
    const std::uint8_t full[2] = {255, 255};
    mask_merge_values(m.rows, 0, full, MASK_SUBTRACT);
    EXPECT_EQ(m.rows.states[0], MASK_ROW_ZERO);
    mask_merge_values(m.rows, 0, full, MASK_INVERT);
    EXPECT_EQ(m.rows.states[0], MASK_ROW_FULL);
}

TEST(MaskRows, RowsTheModeCannotChangeAreSkipped)
{
    // The states, not the values, decide: a row marked full is left alone by Add and a row
    // marked empty by Subtract and Overlap, even when its values say otherwise.
    const std::uint8_t r[3] = {255, 255, 255};
    TestMask m(3, 1);
    m.set_row(0, {1, 2, 3});
    m.rows.states[0] = MASK_ROW_FULL;
    mask_merge_values(m.rows, 0, r, MASK_ADD);
    EXPECT_EQ(m.row(0), (std::vector<int>{1, 2, 3}));
    mask_merge_values(m.rows, 0, r, MASK_INVERT); // Invert never skips
    EXPECT_EQ(m.row(0), (std::vector<int>{254, 253, 252}));
    m.rows.states[0] = MASK_ROW_ZERO;
    mask_merge_values(m.rows, 0, r, MASK_SUBTRACT);
    mask_merge_values(m.rows, 0, r, MASK_OVERLAP);
    EXPECT_EQ(m.row(0), (std::vector<int>{254, 253, 252}));

    // Add of a rectangle over a full mask changes nothing.
    TestMask full(6, 6, 255);
    ASSERT_EQ(mask_polygon(full.rows, rectangle_points({1, 1}, {4, 4}), MASK_ADD), 0);
    for (int y = 0; y < 6; ++y)
        EXPECT_EQ(full.runs(y), (std::vector<std::pair<int, int>>{{0, 5}}));
}

TEST(MaskRows, RegionMerges)
{
    MaskRegion region;
    region.first_row = 1;
    region.rows = {{{1, 2}}, {}, {{0, 0}, {3, 9}}}; // rows 1..3; the last span reaches past the mask
    TestMask add(5, 5);
    mask_merge_region(add.rows, region, MASK_ADD);
    EXPECT_EQ(add.row(1), (std::vector<int>{0, 255, 255, 0, 0}));
    EXPECT_EQ(add.row(3), (std::vector<int>{255, 0, 0, 255, 255}));
    EXPECT_EQ(add.rows.states, (std::vector<std::uint8_t>{0, 2, 0, 2, 0}));

    // Overlap keeps the inside and clears everything else, rows the region misses included.
    TestMask overlap(5, 5, 200);
    mask_merge_region(overlap.rows, region, MASK_OVERLAP);
    EXPECT_EQ(overlap.row(0), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(overlap.row(1), (std::vector<int>{0, 200, 200, 0, 0}));
    EXPECT_EQ(overlap.row(2), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(overlap.row(3), (std::vector<int>{200, 0, 0, 200, 200}));
    EXPECT_EQ(overlap.row(4), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(overlap.rows.states, (std::vector<std::uint8_t>{0, 2, 0, 2, 0}));

    TestMask sub(5, 5, 255);
    mask_merge_region(sub.rows, region, MASK_SUBTRACT);
    EXPECT_EQ(sub.row(3), (std::vector<int>{0, 255, 255, 0, 0}));
    EXPECT_EQ(sub.rows.states[4], MASK_ROW_FULL);

    // Invert twice restores the mask.
    TestMask inv(5, 5);
    inv.set_row(1, {0, 10, 20, 30, 40});
    const std::vector<int> before = inv.row(1);
    mask_merge_region(inv.rows, region, MASK_INVERT);
    EXPECT_EQ(inv.row(1), (std::vector<int>{0, 245, 235, 30, 40}));
    mask_merge_region(inv.rows, region, MASK_INVERT);
    EXPECT_EQ(inv.row(1), before);
}

TEST(MaskRows, AllNoneInvert)
{
    TestMask m(3, 3);
    m.set_row(1, {0, 128, 255});
    mask_invert(m.rows);
    EXPECT_EQ(m.row(1), (std::vector<int>{255, 127, 0}));
    EXPECT_EQ(m.rows.states, (std::vector<std::uint8_t>{1, 2, 1}));
    mask_invert(m.rows);
    EXPECT_EQ(m.row(1), (std::vector<int>{0, 128, 255}));
    EXPECT_EQ(m.rows.states, (std::vector<std::uint8_t>{0, 2, 0}));
    mask_all(m.rows);
    EXPECT_EQ(m.row(1), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(m.rows.states, (std::vector<std::uint8_t>{1, 1, 1}));
    mask_none(m.rows);
    EXPECT_EQ(m.row(2), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(m.rows.states, (std::vector<std::uint8_t>{0, 0, 0}));
}

TEST(MaskArea, TextAndProgress)
{
    TestMask full(4, 3, 255);
    EXPECT_EQ(mask_area_text(mask_area(full.image)), "12.00 pixels\n100.00 percent coverage");

    TestMask half(4, 1);
    half.set_row(0, {255, 255, 51, 0});
    const MaskArea a = mask_area(half.image);
    EXPECT_DOUBLE_EQ(a.pixels, 2.2);
    EXPECT_EQ(mask_area_text(a), "2.20 pixels\n55.00 percent coverage");

    test::TestProgressSink progress;
    test::RecordingMessageSink messages;
    TestMask big(100, 100, 255);
    mask_area_show(big.image);
    EXPECT_EQ(progress.titles(), (std::vector<std::string>{"Area"}));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].title, "Mask Area");
    EXPECT_EQ(messages.messages[0].text, "10000.00 pixels\n100.00 percent coverage");
}

TEST(MaskUndo, RestoresOnFailureAndOnUndo)
{
    TestMask m(3, 2);
    m.set_row(0, {1, 2, 3});
    MaskUndo undo;
    // A failing operation that already changed the mask is rolled back, states included.
    const int err = mask_operation(m.rows, undo, [&] {
        mask_all(m.rows);
        return int(kAborted);
    });
    EXPECT_EQ(err, kAborted);
    EXPECT_EQ(m.row(0), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(m.rows.states, (std::vector<std::uint8_t>{2, 0}));

    // A successful one stays, and Undo takes it back.
    EXPECT_EQ(mask_operation(m.rows, undo, [&] {
                  mask_invert(m.rows);
                  return 0;
              }),
              0);
    EXPECT_EQ(m.row(1), (std::vector<int>{255, 255, 255}));
    mask_undo_restore(m.rows, undo);
    EXPECT_EQ(m.row(0), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(m.row(1), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(m.rows.states, (std::vector<std::uint8_t>{2, 0}));

    // A copy of another size is never put back.
    TestMask other(2, 2, 9);
    mask_undo_restore(other.rows, undo);
    EXPECT_EQ(other.row(0), (std::vector<int>{9, 9}));
}

} // namespace
} // namespace mv
