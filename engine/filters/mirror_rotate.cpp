#include "mirror_rotate.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"
#include "filters/resize.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace mv {
namespace {

// Moves one pixel of `bpp` bytes (0 = a bit).
template <int B>
inline void move_pixel(const std::uint8_t* src, int x, std::uint8_t* dst, int X)
{
    if constexpr (B == 0)
        bit_put(dst, X, bit_test(src, x));
    else
        std::memcpy(dst + size_t(X) * B, src + size_t(x) * B, B);
}

// Whole rows: copy, 180 degrees, mirror and flip.
template <int B>
int by_rows(int sel, const Image& in, Image& out, ProgressScope* progress)
{
    const int w = in.width, h = in.height;
    const bool reverse = sel == kOrientRotate180 || sel == kOrientMirror;
    const bool flip = sel == kOrientRotate180 || sel == kOrientFlip;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = in.row(y);
        std::uint8_t* dst = out.row(flip ? h - 1 - y : y);
        if (!reverse)
            std::memcpy(dst, src, size_t(in.row_bytes));
        else
            for (int x = 0; x < w; ++x)
                move_pixel<B>(src, x, dst, w - 1 - x);
        if (progress)
            if (int e = progress->update(y))
                return e;
    }
    return kOk;
}

// orientation_map in stored rows, which run from the bottom of the picture.
inline void stored_map(int sel, int w, int h, int x, int y, int& X, int& Y)
{
    const bool swaps = orientation_swaps(sel);
    orientation_map(sel, w, h, x, h - 1 - y, X, Y);
    Y = (swaps ? w : h) - 1 - Y;
}

// Width and height swapped, 64 x 64 input tiles at a time.
template <int B>
int by_tiles(int sel, const Image& in, Image& out, ProgressScope* progress)
{
    const int w = in.width, h = in.height;
    int tile = 0;
    for (int ty = 0; ty < h; ty += kOrientTile) {
        const int y_end = std::min(h, ty + kOrientTile);
        for (int tx = 0; tx < w; tx += kOrientTile) {
            const int x_end = std::min(w, tx + kOrientTile);
            for (int y = ty; y < y_end; ++y) {
                const std::uint8_t* src = in.row(y);
                for (int x = tx; x < x_end; ++x) {
                    int X, Y;
                    stored_map(sel, w, h, x, y, X, Y);
                    move_pixel<B>(src, x, out.row(Y), X);
                }
            }
            if (progress)
                if (int e = progress->update(tile))
                    return e;
            ++tile;
        }
    }
    return kOk;
}

template <int B>
int run(int sel, const Image& in, Image& out, ProgressScope* progress)
{
    return orientation_swaps(sel) ? by_tiles<B>(sel, in, out, progress)
                                  : by_rows<B>(sel, in, out, progress);
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
    if (!is_picture_type(input.type) || input.empty() || selection < kOrientFirst ||
        selection > kOrientLast)
        return kIllegalImageType;
    const bool swaps = orientation_swaps(selection);
    const int w = input.width, h = input.height;
    if (int e = image_alloc(output, input.type, swaps ? h : w, swaps ? w : h, input.resolution))
        return e;
    if (output.empty())
        return kOutOfMemory;
    if (input.type == IMAGE_BINARY) // padding bits of reversed rows start clear
        for (auto* row : output.rows)
            std::memset(row, 0, size_t(output.row_bytes));
    const int tiles = ((w + kOrientTile - 1) / kOrientTile) * ((h + kOrientTile - 1) / kOrientTile);
    std::unique_ptr<ProgressScope> progress;
    if (show_progress)
        progress = std::make_unique<ProgressScope>(input.pixels(), 0, swaps ? tiles - 1 : h - 1,
                                                   orientation_title(selection), true);
    int rc;
    switch (input.type) {
    case IMAGE_BINARY: rc = run<0>(selection, input, output, progress.get()); break;
    case IMAGE_GRAY: rc = run<1>(selection, input, output, progress.get()); break;
    case IMAGE_GRAY16: rc = run<2>(selection, input, output, progress.get()); break;
    case IMAGE_COLOR: rc = run<3>(selection, input, output, progress.get()); break;
    default: rc = run<6>(selection, input, output, progress.get()); break;
    }
    if (rc)
        image_free(output);
    return rc;
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
