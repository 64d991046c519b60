// Small helpers for the mask tests: building masks and pictures from lists of values and
// reading them back.
#pragma once

#include "core/image.h"
#include "mask/mask_rows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace mv::test {

// A gray mask of the given size filled with `value`, attached with its row states.
struct TestMask {
    Image image;
    MaskRows rows;
    TestMask(int width, int height, std::uint8_t value = 0)
    {
        EXPECT_EQ(image_alloc(image, IMAGE_GRAY, width, height, 100.0), 0);
        for (int y = 0; y < height; ++y)
            std::memset(image.row(y), value, image.row_bytes);
        EXPECT_EQ(mask_rows_attach(rows, image), 0);
    }
    // Row y (from the bottom) given as values, then the states recomputed.
    void set_row(int y, const std::vector<int>& values)
    {
        for (size_t x = 0; x < values.size(); ++x)
            image.row(y)[x] = std::uint8_t(values[x]);
        mask_rows_update(rows, y);
    }
    std::vector<int> row(int y) const
    {
        return std::vector<int>(image.row(y), image.row(y) + image.width);
    }
    int at(int x, int y) const { return image.row(y)[x]; }
    using runs_t = std::vector<std::pair<int, int>>;
    // Inclusive column runs of values equal to `value` in row y.
    runs_t runs(int y, int value = 255) const
    {
        runs_t r;
        for (int x = 0; x < image.width; ++x) {
            if (at(x, y) != value)
                continue;
            if (!r.empty() && r.back().second == x - 1)
                r.back().second = x;
            else
                r.push_back({x, x});
        }
        return r;
    }
};

} // namespace mv::test
