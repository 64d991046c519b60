#include "image_copy.h"

#include "error.h"
#include "progress.h"
#include "util.h"

#include <cstring>

namespace mv {
namespace {

// A crop rectangle outside its source is a caller's mistake, reported as "Internal Error 1".
constexpr int kBadRectangle = 73;

// Copies the rows of `src` into the already allocated `dst`, one progress update per row.
int copy_rows(const Image& src, Image& dst, ProgressScope& progress)
{
    const size_t stored = src.rows.size();
    for (size_t r = 0; r < stored; ++r) {
        if (const int err = progress.update(int(r)))
            return err;
        std::memcpy(dst.rows[r], src.rows[r], size_t(src.row_bytes));
    }
    return kOk;
}

void negate_bytes(const std::uint8_t* in, std::uint8_t* out, int count)
{
    for (int k = 0; k < count; ++k)
        out[k] = std::uint8_t(~in[k]);
}

void negate_words(const std::uint16_t* in, std::uint16_t* out, int count)
{
    for (int k = 0; k < count; ++k)
        out[k] = std::uint16_t(65535 - in[k]);
}

} // namespace

int image_copy(const Image& src, Image& dst)
{
    if (const int err = image_alloc(dst, src.type, src.width, src.height, src.resolution))
        return err;
    // The copy always shows its window: give the scope a size above the threshold.
    ProgressScope progress(kProgressPixelThreshold, 0, src.height - 1, "Copy", true);
    return copy_rows(src, dst, progress);
}

int image_crop(const Image& src, int left, int bottom, int right, int top, Image& dst)
{
    if (left < 0 || bottom < 0 || right < left || top < bottom || right >= src.width ||
        top >= src.height)
        return kBadRectangle;
    const int width = right - left + 1, height = top - bottom + 1;
    if (const int err = image_alloc(dst, src.type, width, height, src.resolution))
        return err;
    if (!is_picture_type(src.type))
        return kOk;
    const int bpp = image_pixel_bytes(src.type);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = src.row(bottom + y);
        std::uint8_t* out = dst.row(y);
        if (src.type == IMAGE_BINARY) {
            std::memset(out, 0, size_t(dst.row_bytes));
            for (int x = 0; x < width; ++x)
                if (bit_test(in, left + x))
                    bit_set(out, x);
        } else {
            const size_t bytes = size_t(width) * bpp;
            std::memcpy(out, in + size_t(left) * bpp, bytes);
            std::memset(out + bytes, 0, size_t(dst.row_bytes) - bytes);
        }
    }
    return kOk;
}

int geometry_copy(const Image& src, Image& dst)
{
    if (!is_picture_type(src.type))
        return kIllegalImageType;
    if (const int err = image_alloc(dst, src.type, src.width, src.height, src.resolution))
        return err;
    ProgressScope progress(src.pixels(), 0, src.height - 1, "Copy", true);
    return copy_rows(src, dst, progress);
}

int gray_negative(const Image& src, Image& dst)
{
    if (!is_picture_type(src.type))
        return kIllegalImageType;
    if (const int err = image_alloc(dst, src.type, src.width, src.height, src.resolution))
        return err;
    ProgressScope progress(src.pixels(), 0, src.height - 1, "Negative", true);
    const bool words = src.type == IMAGE_GRAY16 || src.type == IMAGE_COLOR48;
    const int samples = src.type == IMAGE_COLOR48 ? 3 * src.width : src.width;
    for (int r = 0; r < src.height; ++r) {
        if (const int err = progress.update(r))
            return err;
        if (words) {
            // The padding of 16-bit rows is carried over unchanged.
            std::memcpy(dst.row(r), src.row(r), size_t(src.row_bytes));
            negate_words(src.row16(r), dst.row16(r), samples);
        } else {
            negate_bytes(src.row(r), dst.row(r), src.row_bytes);
        }
    }
    return kOk;
}

} // namespace mv
