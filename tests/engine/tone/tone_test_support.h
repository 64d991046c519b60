// Pictures and region runs shared by the tone and effects tests.
#pragma once

#include "core/image.h"
#include "transform/region.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace mv::test {

// A picture of the type filled with a repeatable pattern of every level.
inline Image pattern_image(int type, int width, int height, unsigned seed = 1)
{
    Image img;
    EXPECT_EQ(image_alloc(img, type, width, height, 72), 0);
    unsigned x = seed * 2654435761u + 12345;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = img.row(y);
        for (int i = 0; i < img.row_bytes; ++i) {
            x = x * 1103515245u + 12345u;
            row[i] = std::uint8_t(x >> 16);
        }
    }
    return img;
}

// One colour pixel (blue, green, red) of an 8-bit or 48-bit picture.
inline void put_rgb(Image& img, int x, int y, int r, int g, int b)
{
    if (img.type == IMAGE_COLOR48) {
        std::uint16_t* p = img.row16(y) + 3 * x;
        p[0] = std::uint16_t(b), p[1] = std::uint16_t(g), p[2] = std::uint16_t(r);
    } else {
        std::uint8_t* p = img.row(y) + 3 * x;
        p[0] = std::uint8_t(b), p[1] = std::uint8_t(g), p[2] = std::uint8_t(r);
    }
}

inline int sample_at(const Image& img, int x, int y, int c)
{
    const int n = img.type == IMAGE_COLOR || img.type == IMAGE_COLOR48 ? 3 : 1;
    if (img.type == IMAGE_GRAY16 || img.type == IMAGE_COLOR48)
        return img.row16(y)[n * x + c];
    return img.row(y)[n * x + c];
}

// Runs the region function as a zoom-1 preview of the rectangle (columns x..x+w-1, rows
// y..y+h-1) into `preview`, an 8-bit picture of the input's size.
inline int run_preview(RegionFunction fn, void* settings, const Image& input, Image& preview,
                       int type, int x, int y, int w, int h)
{
    if (preview.empty())
        EXPECT_EQ(image_alloc(preview, type, input.width, input.height, 72), 0);
    RegionRequest q;
    q.input = &input;
    q.output = &preview;
    q.full = false;
    q.output_width = input.width;
    q.output_height = input.height;
    q.x0 = x;
    q.y0 = y;
    q.zoom = 1;
    q.first_column = x;
    q.first_row = y;
    q.last_column = x + w - 1;
    q.last_row = y + h - 1;
    q.columns = w;
    q.rows = h;
    q.title = "Preview";
    return fn(q, settings);
}

// Apply over the whole picture and a zoom-1 preview of an inner rectangle give the same
// pixels (8-bit inputs).
inline void expect_preview_matches_apply(RegionFunction fn, void* settings, const Image& input)
{
    Image full;
    ASSERT_EQ(transformation_apply(fn, settings, input, full, "Test"), 0);
    Image preview;
    const int x = input.width / 4, y = input.height / 3;
    const int w = input.width / 2, h = input.height / 2;
    ASSERT_EQ(run_preview(fn, settings, input, preview, full.type, x, y, w, h), 0);
    const int n = full.type == IMAGE_COLOR ? 3 : 1;
    for (int r = y; r < y + h; ++r)
        ASSERT_EQ(std::memcmp(full.row(r) + n * x, preview.row(r) + n * x, size_t(n * w)), 0)
            << "row " << r;
}

} // namespace mv::test
