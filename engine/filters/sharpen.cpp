#include "sharpen.h"

#include "core/error.h"
#include "core/util.h"
#include "filters/box_smooth.h"
#include "filters/filter_region.h"
#include "filters/small_kernel.h"
#include "filters/working_pixels.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

namespace mv {
namespace {

constexpr const char* kTitle = "Sharpen";

template <class T>
inline T clamp_sample(int v)
{
    constexpr int top = sizeof(T) == 1 ? 255 : 65535;
    return T(v < 0 ? 0 : v > top ? top : v);
}

template <class T, int C>
void sharpen_row(int method, const KernelRow<T>& r, T* out)
{
    const int m = r.margin;
    for (int j = 0; j < r.columns; ++j) {
        const T* up = kernel_pixel<T, C>(r, m - 1, j);
        const T* mid = kernel_pixel<T, C>(r, m, j);
        const T* down = kernel_pixel<T, C>(r, m + 1, j);
        const int a = r.amount ? pixel_amount(*r.amount, j) : 255;
        for (int c = 0; c < C; ++c) {
            const int centre = mid[c];
            const int four = up[c] + down[c] + mid[c - C] + mid[c + C];
            int v;
            if (method == kSharpenPlain) {
                v = r.amount ? ((a + 255) * centre - a * (four / 4)) / 255
                             : 2 * centre - four / 4;
            } else {
                const int s8 = four + up[c - C] + up[c + C] + down[c - C] + down[c + C];
                v = r.amount ? ((2 * a + 255) * centre - 2 * a * (s8 / 8)) / 255
                             : 3 * centre - s8 / 4;
            }
            out[size_t(j) * C + c] = clamp_sample<T>(v);
        }
    }
}

// The unsharp mask rows: per channel, differences below the threshold stay unsharpened.
template <class T, int C>
class UnsharpRows final : public SmoothRowSink {
public:
    UnsharpRows(const RegionRequest& q, int threshold, AmountRun& amount, RowWriter& out)
        : q_(q), amount_(amount), out_(out), s_(region_step(q)), W_(q.columns),
          t_(sizeof(T) == 2 ? threshold * 257 : threshold), narrow_(sizeof(T) == 2 && !q.full)
    {
    }

    int prepare()
    {
        try {
            orig_.resize(size_t(W_) * C);
            result_.resize(size_t(W_) * C);
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
        return kOk;
    }

    int row(int k, const void* smoothed) override
    {
        const T* B = static_cast<const T*>(smoothed);
        T* O = orig_.data();
        T* V = result_.data();
        load_sampled_row<T, C>(*q_.input, q_.y0 + k * s_, q_.x0, s_, W_, O);
        const bool direct = amount_.direct;
        if (!direct)
            amount_next_row(amount_);
        for (int j = 0; j < W_; ++j) {
            const int a = direct ? 255 : pixel_amount(amount_, j);
            for (int c = 0; c < C; ++c) {
                const size_t i = size_t(j) * C + c;
                const int o = O[i], b = B[i];
                if (std::abs(o - b) < t_)
                    V[i] = T(o);
                else if (direct)
                    V[i] = clamp_sample<T>(2 * o - b);
                else
                    V[i] = clamp_sample<T>(((a + 255) * o - a * b) / 255);
            }
        }
        if (std::uint8_t* dst = row_writer_row(out_))
            store_row<T, C>(V, W_, narrow_, dst);
        row_writer_commit(out_);
        return kOk;
    }

private:
    const RegionRequest& q_;
    AmountRun& amount_;
    RowWriter& out_;
    int s_, W_, t_;
    bool narrow_;
    std::vector<T> orig_, result_;
};

template <class T, int C>
int sharpen_typed(const RegionRequest& q, const SharpenSettings& st)
{
    if (st.method != kSharpenUnsharp) {
        const int method = st.method == kSharpenHeavy ? kSharpenHeavy : kSharpenPlain;
        return run_small_kernel<T, C>(q, st.amount, 1, kTitle, false,
                                      [method](const KernelRow<T>& r, T* out) {
                                          sharpen_row<T, C>(method, r, out);
                                      });
    }
    RowWriter out;
    row_writer_reset(out);
    AmountRun amount;
    if (int e = region_open_writer(q, out))
        return e;
    if (int e = amount_begin(st.amount, q, amount))
        return e;
    UnsharpRows<T, C> rows(q, std::clamp(st.threshold, 0, 255), amount, out);
    if (int e = rows.prepare())
        return e;
    return box_smooth(*q.input, q.x0, q.y0, region_step(q), q.columns, q.rows, st.radius,
                      kTitle, rows);
}

} // namespace

int sharpen_radius_from_slider(int p) { return int(round_nearest(p * 20.0 / 1024.0)); }
int sharpen_radius_to_slider(int v) { return v * 1024 / 20; }
int sharpen_threshold_from_slider(int p) { return int(round_nearest(p * 50.0 / 1024.0)); }
int sharpen_threshold_to_slider(int v) { return v * 1024 / 50; }

int sharpen_region(const RegionRequest& q, void* settings)
{
    const SharpenSettings& st = *static_cast<const SharpenSettings*>(settings);
    const int type = q.input->type;
    if (!is_picture_type(type) || q.input->empty())
        return kIllegalImageType;
    if (int e = region_prepare_output(q, filter_output_type(type, q.full)))
        return e;
    if (q.columns <= 0 || q.rows <= 0)
        return kOk;
    if ((st.method == kSharpenUnsharp && st.radius <= 0) || amount_is_identity(st.amount))
        return filter_copy_region(q, kTitle);
    switch (type) {
    case IMAGE_BINARY:
    case IMAGE_GRAY: return sharpen_typed<std::uint8_t, 1>(q, st);
    case IMAGE_COLOR: return sharpen_typed<std::uint8_t, 3>(q, st);
    case IMAGE_GRAY16: return sharpen_typed<std::uint16_t, 1>(q, st);
    default: return sharpen_typed<std::uint16_t, 3>(q, st);
    }
}

} // namespace mv
