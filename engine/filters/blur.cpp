#include "blur.h"

#include "core/error.h"
#include "core/product_table.h"
#include "core/util.h"
#include "filters/box_smooth.h"
#include "filters/filter_region.h"
#include "filters/small_kernel.h"
#include "filters/working_pixels.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <vector>

namespace mv {
namespace {

// The three samples a, b, c in increasing order, by compare-exchanges.
template <class T>
inline void sort3(T& a, T& b, T& c)
{
    const T lo = std::min(a, b), hi = std::max(a, b);
    const T top = std::max(hi, c), rest = std::min(hi, c);
    a = std::min(lo, rest);
    b = std::max(lo, rest);
    c = top;
}

template <class T>
inline T median3(T a, T b, T c)
{
    return std::max(std::min(a, b), std::min(std::max(a, b), c));
}

// The 3x3 median of a row. With the columns of the neighbourhood sorted (low, middle, high),
// the median of the nine samples is the median of the largest low, the median middle and the
// smallest high. Each input column is sorted once and serves the three output columns that
// read it when the output columns are adjacent (advance 1); otherwise every output pixel
// sorts its own three columns. The selection gives exactly the fifth smallest sample.
// Samples as the median's vector loops order them: bytes as they are, 16-bit samples with
// the top bit flipped, whose signed order is the unsigned order of the samples (the machine's
// base vector instructions compare signed 16-bit values only).
template <class T>
using MedianKey = std::conditional_t<sizeof(T) == 1, std::uint8_t, std::int16_t>;

template <class T>
inline MedianKey<T> median_key(T v)
{
    if constexpr (sizeof(T) == 1)
        return v;
    else
        return std::int16_t(v ^ 0x8000);
}

template <class T>
inline T median_value(MedianKey<T> k)
{
    if constexpr (sizeof(T) == 1)
        return k;
    else
        return T(std::uint16_t(k) ^ 0x8000);
}

// The sorted columns (low, middle, high) of samples i .. n - 1 of three rows.
template <class T>
void sort_columns(const T* __restrict a, const T* __restrict b, const T* __restrict c,
                  MedianKey<T>* __restrict lo, MedianKey<T>* __restrict mid,
                  MedianKey<T>* __restrict hi, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        MedianKey<T> x = median_key(a[i]), y = median_key(b[i]), z = median_key(c[i]);
        sort3(x, y, z);
        lo[i] = x;
        mid[i] = y;
        hi[i] = z;
    }
}

// Output samples 0 .. n - 1 from the sorted columns, neighbours `C` samples apart.
template <class T, int C>
void select_medians(const MedianKey<T>* __restrict lo, const MedianKey<T>* __restrict mid,
                    const MedianKey<T>* __restrict hi, T* __restrict out, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const MedianKey<T> l = std::max(std::max(lo[i], lo[i + C]), lo[i + 2 * C]);
        const MedianKey<T> m = median3(mid[i], mid[i + C], mid[i + 2 * C]);
        const MedianKey<T> h = std::min(std::min(hi[i], hi[i + C]), hi[i + 2 * C]);
        out[i] = median_value<T>(median3(l, m, h));
    }
}

// The 3x3 median of a row. With the columns of the neighbourhood sorted (low, middle, high),
// the median of the nine samples is the median of the largest low, the median middle and the
// smallest high. Each input column is sorted once and serves the three output columns that
// read it when the output columns are adjacent (advance 1); otherwise every output pixel
// sorts its own three columns. The selection gives exactly the fifth smallest sample.
template <class T, int C>
void median3_row(const KernelRow<T>& r, T* out, std::vector<MedianKey<T>>& sorted)
{
    const int W = r.columns;
    if (r.advance == 1) {
        const size_t n = size_t(W + 2) * C; // input columns -1 .. W of the row
        if (sorted.size() < 3 * n)
            sorted.resize(3 * n);
        MedianKey<T>* lo = sorted.data();
        const size_t back = size_t(r.margin - 1) * C;
        sort_columns<T>(r.rows[r.margin - 1] + back, r.rows[r.margin] + back,
                        r.rows[r.margin + 1] + back, lo, lo + n, lo + 2 * n, n);
        select_medians<T, C>(lo, lo + n, lo + 2 * n, out, size_t(W) * C);
        return;
    }
    for (int j = 0; j < W; ++j) {
        const T* up = kernel_pixel<T, C>(r, r.margin - 1, j);
        const T* centre = kernel_pixel<T, C>(r, r.margin, j);
        const T* down = kernel_pixel<T, C>(r, r.margin + 1, j);
        for (int c = 0; c < C; ++c) {
            T col[3][3];
            for (int d = 0; d < 3; ++d) {
                col[d][0] = up[(d - 1) * C + c];
                col[d][1] = centre[(d - 1) * C + c];
                col[d][2] = down[(d - 1) * C + c];
                sort3(col[d][0], col[d][1], col[d][2]);
            }
            const T l = std::max(std::max(col[0][0], col[1][0]), col[2][0]);
            const T m = median3(col[0][1], col[1][1], col[2][1]);
            const T h = std::min(std::min(col[0][2], col[1][2]), col[2][2]);
            out[size_t(j) * C + c] = median3(l, m, h);
        }
    }
}

template <class T, int C>
void blur_row(int method, const KernelRow<T>& r, T* out)
{
    const int m = r.margin;
    for (int j = 0; j < r.columns; ++j) {
        const T* up = kernel_pixel<T, C>(r, m - 1, j);
        const T* mid = kernel_pixel<T, C>(r, m, j);
        const T* down = kernel_pixel<T, C>(r, m + 1, j);
        for (int c = 0; c < C; ++c) {
            int v = 0;
            switch (method) {
            case kBlurPlain:
                v = (up[c] + mid[c - C] + mid[c] + mid[c + C] + down[c]) / 5;
                break;
            case kBlurMore: {
                int sum = 0;
                for (const T* p : {up, mid, down})
                    sum += p[c - C] + p[c] + p[c + C];
                v = sum / 9;
                break;
            }
            default: { // 5x5 median
                int vals[25], n = 0;
                for (int i = 0; i < 5; ++i) {
                    const T* p = kernel_pixel<T, C>(r, i, j);
                    for (int d = -2; d <= 2; ++d)
                        vals[n++] = p[d * C + c];
                }
                std::nth_element(vals, vals + 12, vals + 25);
                v = vals[12];
                break;
            }
            }
            out[size_t(j) * C + c] = T(v);
        }
    }
}

// The "Gaussian" rows: threshold against the unfiltered pixel, then the amount blend.
template <class T, int C>
class GaussianRows final : public SmoothRowSink {
public:
    GaussianRows(const RegionRequest& q, int threshold, AmountRun& amount, RowWriter& out)
        : q_(q), amount_(amount), out_(out), s_(region_step(q)), W_(q.columns),
          t_(sizeof(T) == 2 ? threshold * 257 : threshold), all_(threshold == 255),
          narrow_(sizeof(T) == 2 && !q.full)
    {
    }

    int prepare()
    {
        try {
            orig_.resize(size_t(W_) * C);
            chosen_.resize(size_t(W_) * C);
            if (narrow_)
                bytes_.resize(size_t(W_) * C);
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
        return kOk;
    }

    int row(int k, const void* smoothed) override
    {
        const T* B = static_cast<const T*>(smoothed);
        T* O = orig_.data();
        T* V = chosen_.data();
        load_sampled_row<T, C>(*q_.input, q_.y0 + k * s_, q_.x0, s_, W_, O);
        for (int j = 0; j < W_; ++j) {
            const T* b = B + size_t(j) * C;
            const T* o = O + size_t(j) * C;
            bool take = true;
            if (!all_)
                for (int c = 0; c < C; ++c)
                    if (std::abs(int(b[c]) - int(o[c])) > t_)
                        take = false;
            for (int c = 0; c < C; ++c)
                V[size_t(j) * C + c] = take ? b[c] : o[c];
        }
        std::uint8_t* dst = row_writer_row(out_);
        if (!amount_.direct)
            amount_next_row(amount_);
        if (dst) {
            if (amount_.direct) {
                store_row<T, C>(V, W_, narrow_, dst);
            } else if constexpr (sizeof(T) == 1) {
                amount_blend_row(amount_, O, V, W_, C);
                store_row<T, C>(V, W_, false, dst);
            } else if (narrow_) {
                // The narrowed unfiltered and chosen values are blended at 8 bits.
                const ValueTables& vt = value_tables();
                for (int i = 0; i < W_ * C; ++i) {
                    bytes_[size_t(i)] = vt.narrow16[O[i]];
                    dst[i] = vt.narrow16[V[i]];
                }
                amount_blend_row(amount_, bytes_.data(), dst, W_, C);
            } else {
                amount_blend_row16(amount_, O, V, W_, C);
                store_row<T, C>(V, W_, false, dst);
            }
        }
        row_writer_commit(out_);
        return kOk;
    }

private:
    const RegionRequest& q_;
    AmountRun& amount_;
    RowWriter& out_;
    int s_, W_, t_;
    bool all_, narrow_;
    std::vector<T> orig_, chosen_;
    std::vector<std::uint8_t> bytes_;
};

template <class T, int C>
int blur_typed(const RegionRequest& q, const BlurSettings& st)
{
    if (st.method != kBlurGaussian) {
        const int margin = st.method == kBlurMedian5 ? 2 : 1;
        const int method = std::clamp(st.method, 0, int(kBlurMedian5));
        if (method == kBlurMedian3) {
            std::vector<MedianKey<T>> sorted;
            return run_small_kernel<T, C>(q, st.amount, 1, blur_title(method), true,
                                          [&sorted](const KernelRow<T>& r, T* out) {
                                              median3_row<T, C>(r, out, sorted);
                                          });
        }
        return run_small_kernel<T, C>(q, st.amount, margin, blur_title(method), true,
                                      [method](const KernelRow<T>& r, T* out) {
                                          blur_row<T, C>(method, r, out);
                                      });
    }
    RowWriter out;
    row_writer_reset(out);
    AmountRun amount;
    if (int e = region_open_writer(q, out))
        return e;
    if (int e = amount_begin(st.amount, q, amount))
        return e;
    GaussianRows<T, C> rows(q, std::clamp(st.threshold, 0, 255), amount, out);
    if (int e = rows.prepare())
        return e;
    return box_smooth(*q.input, q.x0, q.y0, region_step(q), q.columns, q.rows, st.radius,
                      blur_title(kBlurGaussian), rows);
}

} // namespace

int blur_radius_from_slider(int p) { return int(round_nearest(p * 128.0 / 1024.0)); }
int blur_radius_to_slider(int v) { return v * 1024 / 128; }
int blur_threshold_from_slider(int p) { return int(round_nearest(p * 255.0 / 1024.0)); }
int blur_threshold_to_slider(int v) { return v * 1024 / 255; }

const char* blur_title(int method)
{
    return method == kBlurGaussian ? "Gaussian Blur" : "Blur";
}

int blur_region(const RegionRequest& q, void* settings)
{
    const BlurSettings& st = *static_cast<const BlurSettings*>(settings);
    const int type = q.input->type;
    if (!is_picture_type(type) || q.input->empty())
        return kIllegalImageType;
    if (int e = region_prepare_output(q, filter_output_type(type, q.full)))
        return e;
    if (q.columns <= 0 || q.rows <= 0)
        return kOk;
    if ((st.method == kBlurGaussian && st.radius <= 0) || amount_is_identity(st.amount))
        return filter_copy_region(q, blur_title(st.method));
    switch (type) {
    case IMAGE_BINARY:
    case IMAGE_GRAY: return blur_typed<std::uint8_t, 1>(q, st);
    case IMAGE_COLOR: return blur_typed<std::uint8_t, 3>(q, st);
    case IMAGE_GRAY16: return blur_typed<std::uint16_t, 1>(q, st);
    default: return blur_typed<std::uint16_t, 3>(q, st);
    }
}

} // namespace mv
