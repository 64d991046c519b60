// Helpers for the file open and save tests: a temporary folder, test pictures of every
// type and pixel comparison that ignores row padding.
#pragma once

#include "core/image.h"
#include "core/util.h"
#include "test_files.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace filetest {

using mv::test::Bytes;
using mv::test::read_bytes;
using mv::test::TempFolder;
using mv::test::write_bytes;

// A picture whose every pixel differs from its neighbours in a known way: gradients in each
// channel, a checkerboard for binary pictures.
inline mv::Image make_picture(int type, int width, int height, double resolution = 150)
{
    mv::Image img;
    mv::image_alloc(img, type, width, height, resolution);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = img.row(y);
        for (int x = 0; x < width; ++x) {
            switch (type) {
            case mv::IMAGE_BINARY: mv::bit_put(row, x, ((x / 3) + (y / 2)) % 2 == 0); break;
            case mv::IMAGE_GRAY: row[x] = std::uint8_t((x * 7 + y * 3) & 255); break;
            case mv::IMAGE_COLOR:
                row[3 * x] = std::uint8_t(x * 5);
                row[3 * x + 1] = std::uint8_t(y * 9);
                row[3 * x + 2] = std::uint8_t((x + y) * 3);
                break;
            case mv::IMAGE_GRAY16: img.row16(y)[x] = std::uint16_t(x * 517 + y * 1031); break;
            case mv::IMAGE_COLOR48:
                for (int c = 0; c < 3; ++c)
                    img.row16(y)[3 * x + c] = std::uint16_t(x * 311 + y * 733 + c * 9000);
                break;
            }
        }
    }
    return img;
}

// A colour picture of only a few colours, which a palette of 256 holds exactly.
inline mv::Image make_few_colors(int width, int height)
{
    mv::Image img;
    mv::image_alloc(img, mv::IMAGE_COLOR, width, height, 150);
    const std::uint8_t colors[4][3] = {{255, 0, 0}, {0, 128, 255}, {16, 200, 40}, {250, 250, 250}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                img.row(y)[3 * x + c] = colors[(x / 4 + y / 4) % 4][c];
    return img;
}

// True when both pictures have the same type, size and pixels (padding ignored).
inline bool same_pixels(const mv::Image& a, const mv::Image& b)
{
    if (a.type != b.type || a.width != b.width || a.height != b.height)
        return false;
    for (int y = 0; y < a.height; ++y) {
        if (a.type == mv::IMAGE_BINARY) {
            for (int x = 0; x < a.width; ++x)
                if (mv::bit_test(a.row(y), x) != mv::bit_test(b.row(y), x))
                    return false;
        } else {
            const int n = a.width * mv::image_pixel_bytes(a.type);
            for (int i = 0; i < n; ++i)
                if (a.row(y)[i] != b.row(y)[i])
                    return false;
        }
    }
    return true;
}

// The largest difference between two 8-bit pictures of the same type and size.
inline int max_difference(const mv::Image& a, const mv::Image& b)
{
    int worst = 0;
    const int n = a.width * mv::image_pixel_bytes(a.type);
    for (int y = 0; y < a.height; ++y)
        for (int i = 0; i < n; ++i)
            worst = std::max(worst, std::abs(int(a.row(y)[i]) - int(b.row(y)[i])));
    return worst;
}

} // namespace filetest
