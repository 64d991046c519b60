#include "mask/feather.h"
#include "mask/polygon.h"

#include "core/error.h"
#include "mask_test_support.h"
#include "test_progress.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::TestMask;

// A 40 x 40 mask holding a filled square over columns and rows 10..29.
struct SquareMask : TestMask {
    SquareMask(int size = 40, int lo = 10, int hi = 29) : TestMask(size, size)
    {
        for (int y = lo; y <= hi; ++y)
            for (int x = lo; x <= hi; ++x)
                image.row(y)[x] = 255;
        mask_rows_update_all(rows);
    }
    std::vector<int> columns(int y, int x0, int x1) const
    {
        return std::vector<int>(image.row(y) + x0, image.row(y) + x1 + 1);
    }
};

TEST(MaskFeather, Kernel)
{
    std::vector<std::uint8_t> k;
    ASSERT_EQ(feather_kernel(2, FEATHER_GRADUAL, FEATHER_ROUND, k), 0);
    ASSERT_EQ(k.size(), 25u);
    // Middle row: d = 2/3, 1/3, 0.
    EXPECT_EQ(std::vector<int>(k.begin() + 10, k.begin() + 15), (std::vector<int>{85, 170, 255, 170, 85}));
    EXPECT_EQ(k[0], 15); // corner: d = sqrt(8)/3
    ASSERT_EQ(feather_kernel(2, FEATHER_GRADUAL, FEATHER_SQUARE, k), 0);
    EXPECT_EQ(k[0], 85);
    ASSERT_EQ(feather_kernel(-3, FEATHER_STEP, FEATHER_ROUND, k), 0);
    ASSERT_EQ(k.size(), 49u);
    EXPECT_EQ(k[0], 255); // contracting kernels hold 255 - k; the corner lies beyond d = 1
    EXPECT_EQ(k[1], 0);
    EXPECT_EQ(k[24], 0);
    ASSERT_EQ(feather_kernel(0, FEATHER_GRADUAL, FEATHER_ROUND, k), 0);
    EXPECT_EQ(k, (std::vector<std::uint8_t>{255}));
}

TEST(MaskFeather, ExpandAndContractAHardEdge)
{
    SquareMask zero;
    ASSERT_EQ(mask_feather(zero.rows, 0, FEATHER_GRADUAL, FEATHER_ROUND), 0);
    EXPECT_EQ(zero.runs(20), (test::TestMask::runs_t{{10, 29}}));

    // Expanding by 5 adds a soft rim of five pixels: round((1 - d/6) * 255).
    SquareMask grow;
    ASSERT_EQ(mask_feather(grow.rows, 5, FEATHER_GRADUAL, FEATHER_ROUND), 0);
    EXPECT_EQ(grow.columns(20, 28, 35), (std::vector<int>{255, 255, 213, 170, 128, 85, 42, 0}));
    EXPECT_EQ(grow.columns(20, 4, 10), (std::vector<int>{0, 42, 85, 128, 170, 213, 255}));
    EXPECT_EQ(grow.at(20, 34), 42);
    EXPECT_EQ(grow.at(20, 35), 0);
    EXPECT_EQ(grow.rows.states[4], MASK_ROW_ZERO);
    EXPECT_EQ(grow.rows.states[5], MASK_ROW_MIXED);

    // Contracting by 5 eats five soft pixels into the square; the outside stays 0.
    SquareMask shrink;
    ASSERT_EQ(mask_feather(shrink.rows, -5, FEATHER_GRADUAL, FEATHER_ROUND), 0);
    EXPECT_EQ(shrink.columns(20, 8, 16), (std::vector<int>{0, 0, 42, 85, 127, 170, 213, 255, 255}));
    EXPECT_EQ(shrink.columns(20, 24, 30), (std::vector<int>{255, 213, 170, 127, 85, 42, 0}));
    EXPECT_EQ(shrink.runs(20), (test::TestMask::runs_t{{15, 24}}));
    EXPECT_EQ(shrink.runs(12), test::TestMask::runs_t{});

    // Step falloff: a hard edge three pixels out; round corners are cut, square ones kept.
    SquareMask step;
    ASSERT_EQ(mask_feather(step.rows, 3, FEATHER_STEP, FEATHER_ROUND), 0);
    EXPECT_EQ(step.runs(20), (test::TestMask::runs_t{{7, 32}}));
    EXPECT_EQ(step.at(31, 31), 255);
    EXPECT_EQ(step.at(32, 32), 0);
    SquareMask square;
    ASSERT_EQ(mask_feather(square.rows, 3, FEATHER_STEP, FEATHER_SQUARE), 0);
    EXPECT_EQ(square.at(32, 32), 255);
    EXPECT_EQ(square.at(33, 33), 0);
}

TEST(MaskFeather, FullAndEmptyMasksAndEdges)
{
    // Neighbours outside the picture count as the pixel itself: a full mask stays full when
    // contracted, an empty one empty when expanded.
    TestMask full(6, 6, 255);
    ASSERT_EQ(mask_feather(full.rows, -3, FEATHER_GRADUAL, FEATHER_ROUND), 0);
    for (int y = 0; y < 6; ++y)
        EXPECT_EQ(full.runs(y), (test::TestMask::runs_t{{0, 5}}));
    TestMask empty(6, 6);
    ASSERT_EQ(mask_feather(empty.rows, 3, FEATHER_GRADUAL, FEATHER_ROUND), 0);
    EXPECT_EQ(empty.runs(3, 0), (test::TestMask::runs_t{{0, 5}}));

    // A band along the left edge: the picture's edges do not eat into it.
    TestMask band(10, 10);
    for (int y = 0; y < 10; ++y)
        band.set_row(y, {255, 255, 255, 255, 255});
    ASSERT_EQ(mask_feather(band.rows, -2, FEATHER_GRADUAL, FEATHER_ROUND), 0);
    for (int y : {0, 5, 9})
        EXPECT_EQ(band.row(y), (std::vector<int>{255, 255, 255, 170, 85, 0, 0, 0, 0, 0})) << y;

    // A gray value stamps the kernel scaled by itself.
    TestMask dot(5, 1);
    dot.set_row(0, {0, 0, 102, 0, 0});
    ASSERT_EQ(mask_feather(dot.rows, 2, FEATHER_GRADUAL, FEATHER_ROUND), 0);
    EXPECT_EQ(dot.row(0), (std::vector<int>{34, 68, 102, 68, 34}));
}

TEST(MaskFeather, CancelLeavesTheMask)
{
    test::TestProgressSink progress;
    progress.cancel_during(40);
    SquareMask m(100, 20, 79);
    EXPECT_EQ(mask_feather(m.rows, 4, FEATHER_GRADUAL, FEATHER_ROUND), kAborted);
    EXPECT_EQ(progress.titles(), (std::vector<std::string>{"Feather"}));
    EXPECT_TRUE(progress.begins[0].cancellable);
    EXPECT_EQ(m.runs(50), (test::TestMask::runs_t{{20, 79}}));
    EXPECT_EQ(m.runs(10), test::TestMask::runs_t{});
    EXPECT_EQ(progress.open, 0);
}

} // namespace
} // namespace mv
