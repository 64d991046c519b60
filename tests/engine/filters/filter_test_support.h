// Helpers for the filter tests: building small pictures, reading pixels, and running a
// region function as Apply does or over a part of a zoom-1 preview.
#pragma once

#include "core/image.h"
#include "core/util.h"
#include "transform/region.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace mv::test {

inline Image make_image(int type, int w, int h, const std::function<int(int x, int y, int c)>& f)
{
    Image img;
    EXPECT_EQ(image_alloc(img, type, w, h, 150.0), 0);
    const int ch = type == IMAGE_COLOR || type == IMAGE_COLOR48 ? 3 : 1;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = img.row(y);
        std::memset(row, 0, size_t(img.row_bytes));
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < ch; ++c) {
                const int v = f(x, y, c);
                if (type == IMAGE_BINARY)
                    bit_put(row, x, v != 0);
                else if (type == IMAGE_GRAY16 || type == IMAGE_COLOR48)
                    img.row16(y)[x * ch + c] = std::uint16_t(v);
                else
                    row[x * ch + c] = std::uint8_t(v);
            }
    }
    return img;
}

// Sample c of pixel (x, y): bytes, 16-bit words, or 0/1 for binary.
inline int px(const Image& img, int x, int y, int c = 0)
{
    const int ch = img.type == IMAGE_COLOR || img.type == IMAGE_COLOR48 ? 3 : 1;
    if (img.type == IMAGE_BINARY)
        return bit_test(img.row(y), x) ? 1 : 0;
    if (img.type == IMAGE_GRAY16 || img.type == IMAGE_COLOR48)
        return img.row16(y)[x * ch + c];
    return img.row(y)[x * ch + c];
}

inline bool same_pixels(const Image& a, const Image& b)
{
    if (a.type != b.type || a.width != b.width || a.height != b.height)
        return false;
    const int bytes = a.type == IMAGE_BINARY ? (a.width + 7) / 8
                                             : a.width * image_pixel_bytes(a.type);
    for (int y = 0; y < a.height; ++y)
        if (std::memcmp(a.row(y), b.row(y), size_t(bytes)) != 0)
            return false;
    return true;
}

// Computes columns x0..x0+cols-1, rows y0..y0+rows-1 of a preview at zoom 1 into `out`,
// which must already hold an image of the output size and preview type.
inline int preview_part(RegionFunction fn, void* settings, const Image& input, Image& out,
                        int x0, int y0, int cols, int rows)
{
    RegionRequest q = region_full_request(input, out, "test");
    q.full = false;
    q.output_width = out.width;
    q.output_height = out.height;
    q.x0 = x0;
    q.y0 = y0;
    q.first_column = x0;
    q.first_row = y0;
    q.last_column = x0 + cols - 1;
    q.last_row = y0 + rows - 1;
    q.columns = cols;
    q.rows = rows;
    return fn(q, settings);
}

// Apply, then the same picture assembled from four preview parts at zoom 1: both must agree
// bit for bit (8-bit inputs, whose preview type equals the Apply type).
inline void expect_preview_matches_apply(RegionFunction fn, void* settings, const Image& input)
{
    Image full;
    ASSERT_EQ(transformation_apply(fn, settings, input, full, "test"), 0);
    Image parts;
    ASSERT_EQ(image_alloc(parts, full.type, full.width, full.height, full.resolution), 0);
    const int hx = input.width / 2, hy = input.height / 3;
    ASSERT_EQ(preview_part(fn, settings, input, parts, 0, 0, hx, hy), 0);
    ASSERT_EQ(preview_part(fn, settings, input, parts, hx, 0, input.width - hx, hy), 0);
    ASSERT_EQ(preview_part(fn, settings, input, parts, 0, hy, hx, input.height - hy), 0);
    ASSERT_EQ(preview_part(fn, settings, input, parts, hx, hy, input.width - hx,
                           input.height - hy),
              0);
    EXPECT_TRUE(same_pixels(full, parts));
}

} // namespace mv::test
