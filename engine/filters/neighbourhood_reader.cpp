#include "neighbourhood_reader.h"

#include "core/error.h"
#include "core/util.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace mv {
namespace {

// Copies input column `col` (held inside the row) of `row` to `dst`, bytes 0/255 for binary.
inline void copy_pixel(const Image& img, const std::uint8_t* row, int col, int bpp,
                       std::uint8_t* dst)
{
    col = std::clamp(col, 0, img.width - 1);
    if (img.type == IMAGE_BINARY)
        *dst = bit_test(row, col) ? 255 : 0;
    else
        std::memcpy(dst, row + size_t(col) * bpp, size_t(bpp));
}

} // namespace

int neighbourhood_pixel_bytes(int type)
{
    return type == IMAGE_BINARY ? 1 : image_pixel_bytes(type);
}

int neighbourhood_open(const Image& img, int x0, int y0, int step, int columns, int margin,
                       NeighbourhoodReader& r)
{
    neighbourhood_close(r);
    if (!is_picture_type(img.type) || img.empty())
        return kIllegalImageType;
    r.image = &img;
    r.x0 = x0;
    r.step = std::max(step, 1);
    r.columns = std::max(columns, 1);
    r.margin = std::clamp(margin, 1, kNeighbourhoodMaxMargin);
    r.y = y0;
    r.pixel_bytes = neighbourhood_pixel_bytes(img.type);
    const int m = r.margin, span = 2 * m + 1;
    const long long last_needed = (long long)x0 + (long long)r.columns * r.step + m - 1;
    long long buffer_pixels = 0;
    if (img.type != IMAGE_BINARY && x0 - m >= 0 && last_needed <= img.width - 1) {
        r.mode = kNeighbourhoodDirect;
        r.advance = r.step;
    } else if (r.step <= span) {
        r.mode = kNeighbourhoodCopyAll;
        r.advance = r.step;
        buffer_pixels = (long long)r.columns * r.step + 2 * m;
    } else {
        r.mode = kNeighbourhoodCopyEach;
        r.advance = span;
        buffer_pixels = (long long)r.columns * span;
    }
    if (buffer_pixels > 0) {
        try {
            for (int i = 0; i < span; ++i)
                r.buffers[i].reset(new std::uint8_t[size_t(buffer_pixels) * r.pixel_bytes]);
        } catch (const std::bad_alloc&) {
            neighbourhood_close(r);
            return kOutOfMemory;
        }
    }
    return kOk;
}

const std::uint8_t* const* neighbourhood_next(NeighbourhoodReader& r)
{
    const Image& img = *r.image;
    const int m = r.margin, span = 2 * m + 1, bpp = r.pixel_bytes;
    const int last_row = img.height - 1;
    const int centre = std::min(r.y, last_row);
    r.y += r.step;
    for (int i = 0; i < span; ++i) {
        const std::uint8_t* row = img.row(std::clamp(centre - m + i, 0, last_row));
        if (r.mode == kNeighbourhoodDirect) {
            r.table[i] = row + size_t(r.x0 - m) * bpp;
            continue;
        }
        std::uint8_t* dst = r.buffers[i].get();
        if (r.mode == kNeighbourhoodCopyAll) {
            const int count = r.columns * r.step + 2 * m;
            for (int p = 0; p < count; ++p, dst += bpp)
                copy_pixel(img, row, r.x0 - m + p, bpp, dst);
        } else {
            for (int j = 0; j < r.columns; ++j) {
                const int first = r.x0 + j * r.step - m;
                for (int q = 0; q < span; ++q, dst += bpp)
                    copy_pixel(img, row, first + q, bpp, dst);
            }
        }
        r.table[i] = r.buffers[i].get();
    }
    return r.table;
}

void neighbourhood_close(NeighbourhoodReader& r)
{
    for (auto& b : r.buffers)
        b.reset();
}

} // namespace mv
