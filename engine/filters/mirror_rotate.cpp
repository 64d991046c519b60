#include "mirror_rotate.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"
#include "filters/resize.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace mv {
namespace {

// orientation_map in stored rows, which run from the bottom of the picture.
inline void stored_map(int sel, int w, int h, int x, int y, int& X, int& Y)
{
    const bool swaps = orientation_swaps(sel);
    orientation_map(sel, w, h, x, h - 1 - y, X, Y);
    Y = (swaps ? w : h) - 1 - Y;
}

// Reverses a row of `count` pixels of B bytes (B = 0: bits) from `src` into `dst`.
template <int B>
void reverse_row(const std::uint8_t* src, std::uint8_t* dst, int count)
{
    if constexpr (B == 0) {
        for (int x = 0; x < count; ++x)
            bit_put(dst, count - 1 - x, bit_test(src, x));
    } else {
        const std::uint8_t* s = src + size_t(count - 1) * B;
        for (int x = 0; x < count; ++x, s -= B)
            std::memcpy(dst + size_t(x) * B, s, B);
    }
}

// Output rows begin .. end - 1 of an orientation that keeps width and height: each is an
// input row, copied or reversed.
template <int B>
int by_rows(int sel, const Image& in, Image& out, int begin, int end, ProgressScope* progress)
{
    const int w = in.width, h = in.height;
    const bool reverse = sel == kOrientRotate180 || sel == kOrientMirror;
    const bool flip = sel == kOrientRotate180 || sel == kOrientFlip;
    for (int Y = begin; Y < end; ++Y) {
        const std::uint8_t* src = in.row(flip ? h - 1 - Y : Y);
        std::uint8_t* dst = out.row(Y);
        if (!reverse)
            std::memcpy(dst, src, size_t(in.row_bytes));
        else
            reverse_row<B>(src, dst, w);
        if (progress)
            if (int e = progress->update(Y - begin))
                return e;
    }
    return kOk;
}

// Output rows begin .. end - 1 of an orientation that swaps width and height, in tiles of
// kOrientTile output rows by kOrientTile output columns so that reads and writes stay local.
// Output row Y reads one input column and output column X one input row, so both are looked
// up in tables made once.
template <int B>
int by_tiles(int sel, const Image& in, Image& out, int begin, int end, ProgressScope* progress)
{
    const int W = out.width, H = out.height;
    const int inverse = orientation_inverse(sel);
    std::vector<const std::uint8_t*> source_rows;
    std::vector<int> source_columns;
    try {
        source_rows.resize(size_t(W));
        source_columns.resize(size_t(end - begin));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    for (int X = 0; X < W; ++X) {
        int x, y;
        stored_map(inverse, W, H, X, begin, x, y);
        source_rows[size_t(X)] = in.row(y);
    }
    for (int Y = begin; Y < end; ++Y) {
        int x, y;
        stored_map(inverse, W, H, 0, Y, x, y);
        source_columns[size_t(Y - begin)] = x;
    }
    const std::uint8_t* const* rows = source_rows.data();
    for (int ty = begin; ty < end; ty += kOrientTile) {
        const int y_end = std::min(end, ty + kOrientTile);
        for (int tx = 0; tx < W; tx += kOrientTile) {
            const int x_end = std::min(W, tx + kOrientTile);
            for (int Y = ty; Y < y_end; ++Y) {
                std::uint8_t* dst = out.row(Y);
                const int x = source_columns[size_t(Y - begin)];
                if constexpr (B == 0) {
                    for (int X = tx; X < x_end; ++X)
                        bit_put(dst, X, bit_test(rows[X], x));
                } else {
                    const size_t offset = size_t(x) * B;
                    for (int X = tx; X < x_end; ++X)
                        std::memcpy(dst + size_t(X) * B, rows[X] + offset, B);
                }
            }
        }
        if (progress)
            if (int e = progress->update(y_end - 1 - begin))
                return e;
    }
    return kOk;
}

template <int B>
int run(int sel, const Image& in, Image& out, int begin, int end, ProgressScope* progress)
{
    return orientation_swaps(sel) ? by_tiles<B>(sel, in, out, begin, end, progress)
                                  : by_rows<B>(sel, in, out, begin, end, progress);
}

// Output rows begin .. end - 1 of the orientation `sel` of `in` into `out`, which is
// allocated with the oriented size and the input's type. Binary rows are cleared first, so
// their padding bits stay clear.
int orient_rows(int sel, const Image& in, Image& out, int begin, int end, ProgressScope* progress)
{
    switch (in.type) {
    case IMAGE_BINARY:
        for (int Y = begin; Y < end; ++Y)
            std::memset(out.row(Y), 0, size_t(out.row_bytes));
        return run<0>(sel, in, out, begin, end, progress);
    case IMAGE_GRAY: return run<1>(sel, in, out, begin, end, progress);
    case IMAGE_GRAY16: return run<2>(sel, in, out, begin, end, progress);
    case IMAGE_COLOR: return run<3>(sel, in, out, begin, end, progress);
    default: return run<6>(sel, in, out, begin, end, progress);
    }
}

} // namespace

bool orientation_swaps(int selection)
{
    return selection == kOrientRotateCcw || selection == kOrientRotateCw ||
           selection == kOrientAntiDiagonal || selection == kOrientDiagonal;
}

const char* orientation_title(int selection)
{
    switch (selection) {
    case kOrientCopy: return "Copy";
    case kOrientMirror:
    case kOrientFlip: return "Reflect";
    case kOrientDiagonal: return "Rotate CW";
    default: return "Rotate";
    }
}

void orientation_map(int selection, int w, int h, int x, int y, int& X, int& Y)
{
    switch (selection) {
    case kOrientRotateCcw: X = y, Y = w - 1 - x; break;
    case kOrientRotate180: X = w - 1 - x, Y = h - 1 - y; break;
    case kOrientRotateCw: X = h - 1 - y, Y = x; break;
    case kOrientMirror: X = w - 1 - x, Y = y; break;
    case kOrientAntiDiagonal: X = h - 1 - y, Y = w - 1 - x; break;
    case kOrientFlip: X = x, Y = h - 1 - y; break;
    case kOrientDiagonal: X = y, Y = x; break;
    default: X = x, Y = y; break;
    }
}

int orientation_apply(int selection, const Image& input, Image& output, bool show_progress)
{
    OrientationSettings settings{selection};
    if (int e = orientation_prepare_output(settings, input, output))
        return e;
    std::unique_ptr<ProgressScope> progress;
    if (show_progress)
        progress = std::make_unique<ProgressScope>(input.pixels(), 0, output.height - 1,
                                                   orientation_title(selection), true);
    const int rc = orient_rows(selection, input, output, 0, output.height, progress.get());
    if (rc)
        image_free(output);
    return rc;
}

int orientation_prepare_output(const OrientationSettings& settings, const Image& input,
                               Image& output)
{
    const int sel = settings.selection;
    if (!is_picture_type(input.type) || input.empty() || sel < kOrientFirst || sel > kOrientLast)
        return kIllegalImageType;
    const bool swaps = orientation_swaps(sel);
    const int w = input.width, h = input.height;
    if (int e = image_alloc(output, input.type, swaps ? h : w, swaps ? w : h, input.resolution))
        return e;
    return output.empty() ? int(kOutOfMemory) : int(kOk);
}

int orientation_thumbnails(const Image& input, Image thumbs[8])
{
    if (!is_picture_type(input.type) || input.empty())
        return kIllegalImageType;
    const int longest = std::max(input.width, input.height);
    int tw = input.width, th = input.height;
    if (longest > 128) {
        tw = std::max(1, int(round_nearest(double(input.width) * 128 / longest)));
        th = std::max(1, int(round_nearest(double(input.height) * 128 / longest)));
    }
    if (int e = resize_image(input, thumbs[0], tw, th, input.resolution, kResizeNearest))
        return e;
    for (int i = 1; i < 8; ++i)
        if (int e = orientation_apply(kOrientFirst + i, thumbs[0], thumbs[i], false))
            return e;
    return kOk;
}

int orientation_inverse(int selection)
{
    if (selection == kOrientRotateCcw)
        return kOrientRotateCw;
    if (selection == kOrientRotateCw)
        return kOrientRotateCcw;
    return selection;
}

int orientation_region(const RegionRequest& q, void* settings)
{
    const int sel = static_cast<const OrientationSettings*>(settings)->selection;
    const Image& in = *q.input;
    if (!q.output || !is_picture_type(in.type) || in.empty() || sel < kOrientFirst || sel > kOrientLast)
        return kIllegalImageType;
    if (q.full && region_is_whole(q) && q.zoom == 1)
        return orientation_apply(sel, in, *q.output, true);
    const bool swaps = orientation_swaps(sel);
    const int W = swaps ? in.height : in.width, H = swaps ? in.width : in.height;
    const Image& target = *q.output;
    if (q.full && q.zoom == 1 && q.x0 == 0 && q.first_column == 0 && q.last_column == W - 1 &&
        q.y0 == q.first_row && q.rows == q.last_row - q.first_row + 1 && q.first_row >= 0 &&
        q.last_row < H && target.width == W && target.height == H && target.type == in.type) {
        // Whole output rows of an Apply that runs in bands (the output is allocated).
        ProgressScope progress(region_pixels(q), 0, q.rows - 1, q.title, true);
        return orient_rows(sel, in, *q.output, q.first_row, q.last_row + 1, &progress);
    }
    const int out_type = region_output_type(in.type, q.full);
    if (int e = region_prepare_output(q, out_type))
        return e;
    if (q.columns <= 0 || q.rows <= 0)
        return kOk;
    const int inverse = orientation_inverse(sel);
    const int step = q.zoom <= -2 ? -q.zoom : 1;
    const int bpp = image_pixel_bytes(in.type);
    const bool narrowing = out_type != in.type;
    const int samples = in.type == IMAGE_COLOR || in.type == IMAGE_COLOR48 ? 3 : 1;
    const std::uint8_t* narrow = value_tables().narrow16;
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(size_t(q.columns));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    RowWriter out;
    row_writer_reset(out);
    if (int e = region_open_writer(q, out))
        return e;
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, q.title, true);
    for (int k = 0; k < q.rows; ++k) {
        std::uint8_t* dst = row_writer_row(out);
        if (!dst)
            break;
        const int Y = std::clamp(q.y0 + k * step, 0, H - 1);
        for (int j = 0; j < q.columns; ++j) {
            int x, y;
            stored_map(inverse, W, H, std::clamp(q.x0 + j * step, 0, W - 1), Y, x, y);
            const std::uint8_t* src = in.row(y);
            if (in.type == IMAGE_BINARY) {
                bytes[size_t(j)] = bit_test(src, x) ? 255 : 0;
            } else if (narrowing) {
                const std::uint16_t* s16 = reinterpret_cast<const std::uint16_t*>(src) + size_t(x) * samples;
                for (int c = 0; c < samples; ++c)
                    dst[size_t(j) * samples + c] = narrow[s16[c]];
            } else {
                std::memcpy(dst + size_t(j) * bpp, src + size_t(x) * bpp, size_t(bpp));
            }
        }
        if (in.type == IMAGE_BINARY)
            region_store_binary(out, dst, bytes.data(), q.columns);
        row_writer_commit(out);
        if (int e = progress.update(k))
            return e;
    }
    return kOk;
}

} // namespace mv
