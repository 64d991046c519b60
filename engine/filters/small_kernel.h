// The driver of the small (3x3 and 5x5) kernels of Blur, Sharpen and Edge: reads the
// neighbourhood rows, lets the kernel compute each output row in the working type and
// stores it, narrowed to 8 bits in the preview of 16-bit data.
#pragma once

#include "core/error.h"
#include "core/progress.h"
#include "filters/filter_region.h"
#include "filters/neighbourhood_reader.h"
#include "filters/working_pixels.h"

#include <new>
#include <string_view>
#include <vector>

namespace mv {

// What a kernel sees of one output row: the 2m+1 neighbourhood entries, the centre offset
// of output column 0, the advance between output columns and the amounts of the row.
template <class T>
struct KernelRow {
    const T* rows[2 * kNeighbourhoodMaxMargin + 1];
    int margin;
    int advance;
    int columns;
    const AmountRun* amount; // null on the direct path
};

// Pointer to the centre pixel of output column j in neighbourhood row i (0..2m).
template <class T, int C>
inline const T* kernel_pixel(const KernelRow<T>& r, int i, int j)
{
    return r.rows[i] + size_t(r.margin + j * r.advance) * C;
}

// Runs `kernel(const KernelRow<T>&, T* out)` for every output row of the region. `kernel`
// writes W working pixels; with `blend_after` set and an amount that is neither identity nor
// direct, the row is then blended with the centre pixels by the amount blend (8-bit mix,
// 16-bit truncating blend, or the 16-bit blend narrowed in an 8-bit preview); otherwise the
// kernel applies the amount itself through KernelRow::amount.
template <class T, int C, class Kernel>
int run_small_kernel(const RegionRequest& q, const AmountBlock& block, int margin,
                     std::string_view title, bool blend_after, Kernel&& kernel)
{
    const Image& in = *q.input;
    const int s = region_step(q), W = q.columns;
    const bool narrow = sizeof(T) == 2 && !q.full;
    NeighbourhoodReader nr;
    RowWriter out;
    row_writer_reset(out);
    AmountRun amount;
    std::vector<T> work, centre;
    try {
        work.resize(size_t(W) * C);
        centre.resize(size_t(W) * C);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (int e = neighbourhood_open(in, q.x0, q.y0, s, W, margin, nr))
        return e;
    if (int e = region_open_writer(q, out))
        return e;
    if (int e = amount_begin(block, q, amount))
        return e;
    const bool direct = amount.direct;
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, title, true);
    for (int k = 0; k < q.rows; ++k) {
        const std::uint8_t* const* table = neighbourhood_next(nr);
        KernelRow<T> row;
        for (int i = 0; i <= 2 * nr.margin; ++i)
            row.rows[i] = reinterpret_cast<const T*>(table[i]);
        row.margin = nr.margin;
        row.advance = nr.advance;
        row.columns = W;
        row.amount = direct ? nullptr : &amount;
        if (!direct)
            amount_next_row(amount);
        kernel(row, work.data());
        std::uint8_t* dst = row_writer_row(out);
        if (dst && (direct || !blend_after)) {
            store_row<T, C>(work.data(), W, narrow, dst);
        } else if (dst) {
            for (int j = 0; j < W; ++j) {
                const T* c = kernel_pixel<T, C>(row, nr.margin, j);
                for (int ch = 0; ch < C; ++ch)
                    centre[size_t(j) * C + ch] = c[ch];
            }
            if constexpr (sizeof(T) == 1) {
                amount_blend_row(amount, centre.data(), work.data(), W, C);
                store_row<T, C>(work.data(), W, false, dst);
            } else if (narrow) {
                amount_blend_row16_to8(amount, centre.data(), work.data(), dst, W, C);
            } else {
                amount_blend_row16(amount, centre.data(), work.data(), W, C);
                store_row<T, C>(work.data(), W, false, dst);
            }
        }
        row_writer_commit(out);
        if (int e = progress.update(k))
            return e;
    }
    return kOk;
}

} // namespace mv
