// The separable smoothing behind "Gaussian" blur and "Unsharp Mask": a box average of width
// 2r+1, run twice down every column of the extended window and then twice along every
// output row, with running sums so that any radius costs the same. Coordinates outside the
// image are mirrored about the edge pixel (row -1 reads row 1).
#pragma once

#include "core/image.h"

#include <cstdint>
#include <string_view>

namespace mv {

// Box pass over L pixels of C samples: positions r .. L-1-r get the average of the 2r+1
// positions around them (fraction dropped), the first and last r are copied unchanged.
template <class T, int C>
void box_pass(const T* src, T* dst, int L, int r)
{
    const int width = 2 * r + 1;
    if (L < width) {
        for (int i = 0; i < L * C; ++i)
            dst[i] = src[i];
        return;
    }
    for (int i = 0; i < r * C; ++i) {
        dst[i] = src[i];
        dst[(L - r) * C + i] = src[(L - r) * C + i];
    }
    int sum[C];
    for (int c = 0; c < C; ++c)
        sum[c] = 0;
    for (int i = 0; i < width; ++i)
        for (int c = 0; c < C; ++c)
            sum[c] += src[i * C + c];
    for (int c = 0; c < C; ++c)
        dst[r * C + c] = T(sum[c] / width);
    for (int i = r + 1; i <= L - 1 - r; ++i) {
        const T* enter = src + (i + r) * C;
        const T* leave = src + (i - r - 1) * C;
        for (int c = 0; c < C; ++c) {
            sum[c] += enter[c] - leave[c];
            dst[i * C + c] = T(sum[c] / width);
        }
    }
}

// Mirrors an index into 0..last: -k reads k (at most last), last + k reads last - k (at
// least 0).
inline int mirror_index(int i, int last)
{
    if (i < 0)
        return -i < last ? -i : last;
    if (i > last) {
        const int m = last - (i - last);
        return m > 0 ? m : 0;
    }
    return i;
}

// Receives each output row of the smoothing in turn.
class SmoothRowSink {
public:
    virtual ~SmoothRowSink() = default;
    // `smoothed` holds the W smoothed pixels of output row k in the working type (bytes for
    // binary, gray and colour; 16-bit words for the 16-bit types). Returns 0 or an error.
    virtual int row(int k, const void* smoothed) = 0;
};

// Smooths the region of W x H output pixels at input (x0 + j*s, y0 + k*s) with radius
// r >= 1 and hands every output row to `sink`, in order, as soon as it is computed (the
// work streams down the rows: a window of 2r+2 extended rows is kept, never whole columns).
// A progress window titled `title` is shown for W*H >= 10000 with the range
// 0 .. W*s + 4r + H - 1, each value updated once and in order, spread evenly over the
// output rows. Results: 0, 1 when a buffer
// cannot be allocated, 11 when cancelled, 14 for a type that is not a picture, or the
// sink's error.
int box_smooth(const Image& input, int x0, int y0, int s, int W, int H, int r,
               std::string_view title, SmoothRowSink& sink);

} // namespace mv
