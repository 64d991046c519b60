#include "image_shift.h"

#include "error.h"
#include "progress.h"
#include "util.h"

#include <cstring>

namespace mv {
namespace {

bool shifts_horizontally(int type)
{
    return is_picture_type(type);
}

// A scope that shows only the wait cursor.
struct WaitCursor {
    ProgressScope scope{0, 0, 0, {}, false};
};

} // namespace

int image_shift_left(Image& img, int n)
{
    if (!shifts_horizontally(img.type))
        return kIllegalImageType;
    if (n <= 0 || n >= img.width)
        return kOk;
    WaitCursor busy;
    const int keep = img.width - n;
    for (int r = 0; r < img.height; ++r) {
        std::uint8_t* row = img.row(r);
        if (img.type == IMAGE_BINARY) {
            for (int x = 0; x < keep; ++x)
                bit_put(row, x, bit_test(row, x + n));
        } else {
            const size_t bpp = size_t(image_pixel_bytes(img.type));
            std::memmove(row, row + n * bpp, keep * bpp);
        }
    }
    return kOk;
}

int image_shift_right(Image& img, int n)
{
    if (!shifts_horizontally(img.type))
        return kIllegalImageType;
    if (n <= 0 || n >= img.width)
        return kOk;
    WaitCursor busy;
    const int keep = img.width - n;
    for (int r = 0; r < img.height; ++r) {
        std::uint8_t* row = img.row(r);
        if (img.type == IMAGE_BINARY) {
            for (int x = img.width - 1; x >= n; --x)
                bit_put(row, x, bit_test(row, x - n));
        } else {
            const size_t bpp = size_t(image_pixel_bytes(img.type));
            std::memmove(row + n * bpp, row, keep * bpp);
        }
    }
    return kOk;
}

void image_shift_down(Image& img, int n)
{
    const int rows = int(img.rows.size());
    if (n <= 0 || n >= rows)
        return;
    WaitCursor busy;
    for (int r = 0; r < rows - n; ++r)
        std::memcpy(img.rows[r], img.rows[r + n], size_t(img.row_bytes));
}

void image_shift_up(Image& img, int n)
{
    const int rows = int(img.rows.size());
    if (n <= 0 || n >= rows)
        return;
    WaitCursor busy;
    for (int r = rows - 1; r >= n; --r)
        std::memcpy(img.rows[r], img.rows[r - n], size_t(img.row_bytes));
}

} // namespace mv
