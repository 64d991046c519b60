#include "resize.h"

#include "core/error.h"
#include "core/product_table.h"
#include "core/progress.h"
#include "core/util.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace mv {
namespace {

constexpr const char* kTitle = "Resize";

// Position on the old axis of output index o for an enlargement (target > source >= 1).
inline double enlarge_position(int source, int target, int o)
{
    return double(o) * (source - 1) / (target - 1);
}

// Output index o to input index for Nearest Neighbor.
inline int nearest_index(int source, int target, int o)
{
    if (target <= 1)
        return (source - 1) / 2;
    return int((long long)o * (source - 1) / (target - 1));
}

// Two-tap blend of a and b by the byte fraction f.
template <class T>
inline T blend2(int a, int b, int f)
{
    if constexpr (sizeof(T) == 1) {
        const int v = product(a, 255 - f) + product(b, f);
        return T(v > 255 ? 255 : v);
    } else {
        return T((a * (255 - f) + b * f) / 255);
    }
}

// Weighted tap: (v*b + 127)/255 for bytes, v*b/255 for 16-bit samples.
template <class T>
inline int weigh(int v, int b)
{
    if constexpr (sizeof(T) == 1)
        return product(v, b);
    else
        return v * b / 255;
}

template <class T>
inline T clamp_top(int v)
{
    constexpr int top = sizeof(T) == 1 ? 255 : 65535;
    return T(v > top ? top : v);
}

template <class T>
void sharpen_row(T* row, int count, int C)
{
    constexpr int top = sizeof(T) == 1 ? 255 : 65535;
    for (int x = 1; x + 1 < count; ++x)
        for (int c = 0; c < C; ++c) {
            T* p = row + size_t(x) * C + c;
            const int v = *p, l = p[-C], r = p[C];
            const int n = v + (v - (l + r) / 2) / 2;
            *p = T(n < 0 ? 0 : n > top ? top : n);
        }
}

struct HorizontalTables {
    // reduction: first column, tap count and offset into the weights per output column
    std::vector<int> first, count, offset;
    std::vector<std::uint8_t> weights;
    // enlargement: left column and fraction per output column
    std::vector<int> left;
    std::vector<std::uint8_t> fraction;
};

int build_horizontal(int sw, int dw, HorizontalTables& h)
{
    try {
        if (dw < sw) {
            h.first.resize(size_t(dw));
            h.count.resize(size_t(dw));
            h.offset.resize(size_t(dw));
            std::vector<std::uint8_t> taps;
            for (int x = 0; x < dw; ++x) {
                resize_reduction_taps(sw, dw, x, h.first[x], taps);
                h.count[x] = int(taps.size());
                h.offset[x] = int(h.weights.size());
                h.weights.insert(h.weights.end(), taps.begin(), taps.end());
            }
        } else if (dw > sw) {
            h.left.resize(size_t(dw));
            h.fraction.resize(size_t(dw));
            for (int x = 0; x < dw; ++x) {
                const double p = enlarge_position(sw, dw, x);
                const int i = int(std::floor(p));
                if (i >= sw - 1) {
                    h.left[x] = sw - 1;
                    h.fraction[x] = 0;
                } else {
                    h.left[x] = i;
                    h.fraction[x] = std::uint8_t(std::floor((p - i) * 255 + 0.5));
                }
            }
        }
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

// Expands or copies input row y into `dst` in the working type.
template <class T, int C>
void load_row(const Image& in, int y, T* dst)
{
    const std::uint8_t* row = in.row(y);
    if (in.type == IMAGE_BINARY) {
        for (int x = 0; x < in.width; ++x)
            dst[x] = bit_test(row, x) ? 255 : 0;
    } else {
        std::memcpy(dst, row, size_t(in.width) * C * sizeof(T));
    }
}

template <class T, int C>
int smooth(const Image& in, Image& out, int dw, int dh)
{
    const int sw = in.width, sh = in.height;
    const size_t n_in = size_t(sw) * C;
    HorizontalTables h;
    std::vector<T> work, low, high;
    std::vector<int> acc;
    std::vector<std::uint8_t> vtaps;
    try {
        work.resize(n_in);
        if (dh > sh) {
            low.resize(n_in);
            high.resize(n_in);
        } else if (dh < sh) {
            acc.resize(n_in);
        }
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (int e = build_horizontal(sw, dw, h))
        return e;
    ProgressScope progress((long long)dw * dh, 0, dh - 1, kTitle, true);
    for (int y = 0; y < dh; ++y) {
        // Vertical stage: a row of the input width.
        const T* v = work.data();
        if (dh == sh) {
            if (in.type == IMAGE_BINARY)
                load_row<T, C>(in, y, work.data());
            else
                v = reinterpret_cast<const T*>(in.row(y));
        } else if (dh > sh) {
            const double p = enlarge_position(sh, dh, y);
            const int i = int(std::floor(p));
            const int f = int(std::floor((p - i) * 255));
            if (i >= sh - 1) {
                load_row<T, C>(in, sh - 1, work.data());
            } else if (f == 0) {
                load_row<T, C>(in, i, work.data());
            } else {
                load_row<T, C>(in, i, low.data());
                load_row<T, C>(in, i + 1, high.data());
                for (size_t k = 0; k < n_in; ++k)
                    work[k] = blend2<T>(low[k], high[k], f);
            }
        } else {
            int first;
            try {
                resize_reduction_taps(sh, dh, y, first, vtaps);
            } catch (const std::bad_alloc&) {
                return kOutOfMemory;
            }
            std::fill(acc.begin(), acc.end(), 0);
            for (size_t t = 0; t < vtaps.size(); ++t) {
                const int b = vtaps[t];
                const std::uint8_t* row = in.row(first + int(t));
                if (in.type == IMAGE_BINARY) {
                    for (int x = 0; x < sw; ++x)
                        if (bit_test(row, x))
                            acc[size_t(x)] += b;
                } else {
                    const T* src = reinterpret_cast<const T*>(row);
                    for (size_t k = 0; k < n_in; ++k)
                        acc[k] += weigh<T>(src[k], b);
                }
            }
            for (size_t k = 0; k < n_in; ++k)
                work[k] = clamp_top<T>(acc[k]);
        }

        // Horizontal stage into the output row.
        T* o = reinterpret_cast<T*>(out.row(y));
        if (dw == sw) {
            std::memcpy(o, v, n_in * sizeof(T));
        } else if (dw > sw) {
            for (int x = 0; x < dw; ++x) {
                const T* a = v + size_t(h.left[x]) * C;
                const int f = h.fraction[x];
                for (int c = 0; c < C; ++c)
                    o[size_t(x) * C + c] = f == 0 ? a[c] : blend2<T>(a[c], a[c + C], f);
            }
        } else {
            for (int x = 0; x < dw; ++x) {
                const T* a = v + size_t(h.first[x]) * C;
                const std::uint8_t* w = h.weights.data() + h.offset[x];
                for (int c = 0; c < C; ++c) {
                    int sum = 0;
                    for (int t = 0; t < h.count[x]; ++t)
                        sum += weigh<T>(a[size_t(t) * C + c], w[t]);
                    o[size_t(x) * C + c] = clamp_top<T>(sum);
                }
            }
        }
        if (dw != sw)
            sharpen_row<T>(o, dw, C);
        if (int e = progress.update(y))
            return e;
    }
    return kOk;
}

int nearest(const Image& in, Image& out, int dw, int dh)
{
    const int sw = in.width, sh = in.height;
    std::vector<int> columns;
    try {
        columns.resize(size_t(dw));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    for (int x = 0; x < dw; ++x)
        columns[x] = nearest_index(sw, dw, x);
    const int bpp = image_pixel_bytes(in.type);
    ProgressScope progress((long long)dw * dh, 0, dh - 1, kTitle, true);
    for (int y = 0; y < dh; ++y) {
        const std::uint8_t* src = in.row(nearest_index(sh, dh, y));
        std::uint8_t* dst = out.row(y);
        if (in.type == IMAGE_BINARY) {
            std::memset(dst, 0, size_t(out.row_bytes));
            for (int x = 0; x < dw; ++x)
                if (bit_test(src, columns[x]))
                    bit_set(dst, x);
        } else {
            for (int x = 0; x < dw; ++x)
                std::memcpy(dst + size_t(x) * bpp, src + size_t(columns[x]) * bpp, size_t(bpp));
        }
        if (int e = progress.update(y))
            return e;
    }
    return kOk;
}

} // namespace

void resize_reduction_taps(int source, int target, int index, int& first,
                           std::vector<std::uint8_t>& weights)
{
    const double s = target > 1 ? double(source - 1) / (target - 1) : double(source - 1);
    const double R = double(source) / target;
    const int n = int(std::floor(s / 2)) + 1;
    const double p = target > 1 ? index * s : (source - 1) / 2.0;
    const int i0 = int(std::floor(p));
    const double t = p - i0;
    std::vector<double> wt(size_t(2 * n + 1));
    double total = 0;
    for (int k = -n; k <= n; ++k) {
        const int i = i0 + k;
        double v = 0;
        if (i >= 0 && i < source)
            v = std::max(0.0, 1.0 - std::fabs(k - t) / R);
        wt[k + n] = v;
        total += v;
    }
    std::vector<int> bytes(size_t(2 * n + 1));
    int sum = 0, largest = 0;
    for (int k = 0; k <= 2 * n; ++k) {
        bytes[k] = total > 0 ? int(std::floor(wt[k] * 255 / total + 0.5)) : 0;
        sum += bytes[k];
        if (bytes[k] > bytes[largest])
            largest = k;
    }
    bytes[largest] += 255 - sum;
    int lo = 0, hi = 2 * n;
    while (lo < hi && bytes[lo] == 0)
        ++lo;
    while (hi > lo && bytes[hi] == 0)
        --hi;
    first = i0 - n + lo;
    weights.assign(size_t(hi - lo + 1), 0);
    for (int k = lo; k <= hi; ++k)
        weights[k - lo] = std::uint8_t(std::clamp(bytes[k], 0, 255));
}

void resize_sharpen_row(std::uint8_t* row, int count, int channels)
{
    sharpen_row<std::uint8_t>(row, count, channels);
}

void resize_sharpen_row16(std::uint16_t* row, int count, int channels)
{
    sharpen_row<std::uint16_t>(row, count, channels);
}

int resize_output_type(int type, int interpolation)
{
    return type == IMAGE_BINARY && interpolation == kResizeSmooth ? IMAGE_GRAY : type;
}

int resize_image(const Image& input, Image& output, int new_width, int new_height,
                 double new_resolution, int interpolation)
{
    if (!is_picture_type(input.type) || input.empty())
        return kIllegalImageType;
    if (new_width < 1 || new_height < 1)
        return kIllegalImageType;
    if (new_width == input.width && new_height == input.height) {
        if (int e = image_clone(input, output))
            return e;
        output.resolution = new_resolution;
        return kOk;
    }
    if (product_table_build())
        return kOutOfMemory;
    const int type = resize_output_type(input.type, interpolation);
    if (int e = image_alloc(output, type, new_width, new_height, new_resolution))
        return e;
    if (output.empty())
        return kOutOfMemory;
    int rc;
    if (interpolation == kResizeNearest) {
        rc = nearest(input, output, new_width, new_height);
    } else {
        switch (input.type) {
        case IMAGE_BINARY:
        case IMAGE_GRAY: rc = smooth<std::uint8_t, 1>(input, output, new_width, new_height); break;
        case IMAGE_COLOR: rc = smooth<std::uint8_t, 3>(input, output, new_width, new_height); break;
        case IMAGE_GRAY16: rc = smooth<std::uint16_t, 1>(input, output, new_width, new_height); break;
        default: rc = smooth<std::uint16_t, 3>(input, output, new_width, new_height); break;
        }
    }
    if (rc)
        image_free(output);
    return rc;
}

} // namespace mv
