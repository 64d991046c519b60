#include "row_reader.h"

#include "core/error.h"
#include "core/util.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace mv {
namespace {

// Bytes per delivered pixel: binary pixels become one byte each.
int delivered_bytes(int type)
{
    return type == IMAGE_BINARY ? 1 : image_pixel_bytes(type);
}

} // namespace

void row_reader_reset(RowReader& r)
{
    r.buffer.reset();
}

int row_reader_open(const Image& img, int x0, int y0, int zoom, int count, RowReader& r)
{
    r.buffer.reset();
    r.image = &img;
    r.x0 = x0;
    r.row = y0;
    r.step = zoom <= -2 ? -zoom : 1;
    r.count = std::max(count, 0);
    if (!is_picture_type(img.type) || img.rows.empty())
        return kIllegalImageType;
    const bool inside = x0 >= 0 && (long long)x0 + r.count <= img.width;
    if (r.step == 1 && img.type != IMAGE_BINARY && inside)
        return kOk;
    try {
        const size_t bytes = size_t(std::max(r.count, 1)) * delivered_bytes(img.type);
        r.buffer.reset(new std::uint8_t[bytes]());
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

const std::uint8_t* row_reader_next(RowReader& r)
{
    const Image& img = *r.image;
    if (img.rows.empty())
        return r.buffer.get();
    const int y = std::clamp(r.row, 0, img.height - 1);
    r.row += r.step;
    const std::uint8_t* src = img.row(y);
    if (!r.buffer)
        return src + size_t(r.x0) * image_pixel_bytes(img.type);

    std::uint8_t* dst = r.buffer.get();
    const int last = img.width - 1;
    int x = r.x0;
    if (img.type == IMAGE_BINARY) {
        for (int i = 0; i < r.count; ++i, x += r.step)
            dst[i] = bit_test(src, std::clamp(x, 0, last)) ? 255 : 0;
        return dst;
    }
    const int bpp = image_pixel_bytes(img.type);
    if (r.step == 1 && x >= 0 && x + r.count - 1 <= last) {
        std::memcpy(dst, src + size_t(x) * bpp, size_t(r.count) * bpp);
        return dst;
    }
    switch (bpp) {
    case 1:
        for (int i = 0; i < r.count; ++i, x += r.step)
            dst[i] = src[std::clamp(x, 0, last)];
        break;
    default:
        for (int i = 0; i < r.count; ++i, x += r.step)
            std::memcpy(dst + size_t(i) * bpp, src + size_t(std::clamp(x, 0, last)) * bpp, size_t(bpp));
        break;
    }
    return dst;
}

void row_reader_close(RowReader& r)
{
    r.buffer.reset();
}

} // namespace mv
