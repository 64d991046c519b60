#include "resize.h"

#include "core/error.h"
#include "core/product_table.h"
#include "core/progress.h"
#include "core/util.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <string_view>
#include <type_traits>

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

// (v*b + 127) / 255 for bytes v and b without the product table: 16-bit arithmetic, so the
// row loops below run on vector lanes.
inline std::uint16_t product8(unsigned v, unsigned b)
{
    const std::uint16_t x = std::uint16_t(v * b + 128);
    return std::uint16_t((x + (x >> 8)) >> 8);
}

// Weighted tap: (v*b + 127)/255 for bytes, v*b/255 for 16-bit samples.
template <class T>
inline unsigned weigh(unsigned v, unsigned b)
{
    if constexpr (sizeof(T) == 1)
        return product8(v, b);
    else
        return v * b / 255u;
}

// Two-tap blend of a and b by the byte fraction f.
template <class T>
inline T blend2(unsigned a, unsigned b, unsigned f)
{
    if constexpr (sizeof(T) == 1) {
        const unsigned v = unsigned(product8(a, 255 - f)) + product8(b, f);
        return T(v > 255 ? 255 : v);
    } else {
        return T((a * (255 - f) + b * f) / 255u);
    }
}

template <class T>
inline T clamp_top(unsigned v)
{
    constexpr unsigned top = sizeof(T) == 1 ? 255 : 65535;
    return T(v > top ? top : v);
}

// The sharpening, left to right in place: each pixel reads its left neighbour as already
// sharpened and its right neighbour as not yet sharpened. The left value is carried in
// registers rather than read back from the row.
template <class T, int C>
void sharpen_row(T* row, int count)
{
    if (count < 3)
        return;
    constexpr int top = sizeof(T) == 1 ? 255 : 65535;
    int l[C], v[C];
    for (int c = 0; c < C; ++c) {
        l[c] = row[c];
        v[c] = row[C + c];
    }
    for (int x = 1; x + 1 < count; ++x) {
        T* p = row + size_t(x) * C;
        for (int c = 0; c < C; ++c) {
            const int r = p[C + c];
            int n = v[c] + (v[c] - (l[c] + r) / 2) / 2;
            n = n < 0 ? 0 : n > top ? top : n;
            p[c] = T(n);
            l[c] = n;
            v[c] = r;
        }
    }
}

// The sharpening of two rows at once: twice the independent chains for the processor to
// overlap. The same bits as sharpen_row on each.
template <class T, int C>
void sharpen_two_rows(T* row0, T* row1, int count)
{
    if (count < 3)
        return;
    constexpr int top = sizeof(T) == 1 ? 255 : 65535;
    T* rows[2] = {row0, row1};
    int l[2][C], v[2][C];
    for (int k = 0; k < 2; ++k)
        for (int c = 0; c < C; ++c) {
            l[k][c] = rows[k][c];
            v[k][c] = rows[k][C + c];
        }
    for (int x = 1; x + 1 < count; ++x)
        for (int k = 0; k < 2; ++k) {
            T* p = rows[k] + size_t(x) * C;
            for (int c = 0; c < C; ++c) {
                const int r = p[C + c];
                int n = v[k][c] + (v[k][c] - (l[k][c] + r) / 2) / 2;
                n = n < 0 ? 0 : n > top ? top : n;
                p[c] = T(n);
                l[k][c] = n;
                v[k][c] = r;
            }
        }
}

template <class T>
void sharpen_row_any(T* row, int count, int C)
{
    switch (C) {
    case 1: sharpen_row<T, 1>(row, count); return;
    case 3: sharpen_row<T, 3>(row, count); return;
    default: break;
    }
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
    // enlargement: left and right column and fraction per output column (the right column
    // is the left one at the last input column, where the fraction is 0)
    std::vector<int> left, right;
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
            h.right.resize(size_t(dw));
            h.fraction.resize(size_t(dw));
            for (int x = 0; x < dw; ++x) {
                const double p = enlarge_position(sw, dw, x);
                const int i = int(std::floor(p));
                if (i >= sw - 1) {
                    h.left[x] = h.right[x] = sw - 1;
                    h.fraction[x] = 0;
                } else {
                    h.left[x] = i;
                    h.right[x] = i + 1;
                    h.fraction[x] = std::uint8_t(std::floor((p - i) * 255 + 0.5));
                }
            }
        }
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

// Output rows of a Smooth resize, one at a time, each computed only as far to the right as
// asked: the vertical stage reads the input columns the wanted output columns draw on, the
// horizontal stage makes one column more than wanted (the right neighbour the sharpening
// reads), and the sharpening runs left to right up to the last wanted column. The rows are
// bit for bit those of the whole picture. Rows are independent of each other, so any set of
// rows can be computed by its own SmoothRows.
template <class T, int C>
class SmoothRows {
public:
    // Prepares output rows of dw x dh from `in`, columns 0 .. columns - 1. Result 0 or 1.
    int open(const Image& in, int dw, int dh, int columns)
    {
        in_ = &in;
        dw_ = dw;
        dh_ = dh;
        const int sw = in.width;
        columns_ = std::clamp(columns, 1, dw);
        made_ = dw == sw ? columns_ : std::min(dw, columns_ + 1);
        if (int e = build_horizontal(sw, dw, h_))
            return e;
        if (dw == sw) {
            in_columns_ = made_;
        } else if (dw > sw) {
            in_columns_ = std::min(sw, h_.right[size_t(made_ - 1)] + 1);
        } else {
            in_columns_ = 1;
            for (int x = 0; x < made_; ++x)
                in_columns_ = std::max(in_columns_, h_.first[x] + h_.count[x]);
            in_columns_ = std::min(in_columns_, sw);
        }
        const size_t n = size_t(in_columns_) * C;
        try {
            work_.resize(n);
            if (in.type == IMAGE_BINARY) {
                low_.resize(n);
                high_.resize(n);
            }
            if (dh < in.height)
                acc_.resize(n);
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
        return kOk;
    }

    // Output row y (stored order) into `o`, which holds at least `made()` pixels; the first
    // `columns` of them are final. Without `sharpen` the row is left for the caller to
    // sharpen when sharpens() says so. Result 0 or 1.
    int row(int y, T* o, bool sharpen = true)
    {
        const T* v = nullptr;
        if (int e = vertical(y, v))
            return e;
        const int sw = in_->width;
        if (dw_ == sw) {
            std::memcpy(o, v, size_t(made_) * C * sizeof(T));
            return kOk;
        }
        if (dw_ > sw) {
            const int* L = h_.left.data();
            const int* R = h_.right.data();
            const std::uint8_t* F = h_.fraction.data();
            const std::uint8_t* products = product_row(0); // row i starts 256 * i further
            for (int x = 0; x < made_; ++x) {
                const T* a = v + size_t(L[x]) * C;
                const T* b = v + size_t(R[x]) * C;
                if constexpr (sizeof(T) == 1) {
                    // Two table rows serve the pixel's samples.
                    const std::uint8_t* Pa = products + (255 - F[x]) * 256;
                    const std::uint8_t* Pb = products + F[x] * 256;
                    for (int c = 0; c < C; ++c) {
                        const unsigned s = unsigned(Pa[a[c]]) + Pb[b[c]];
                        o[size_t(x) * C + c] = T(s > 255 ? 255 : s);
                    }
                } else {
                    for (int c = 0; c < C; ++c)
                        o[size_t(x) * C + c] = blend2<T>(a[c], b[c], F[x]);
                }
            }
        } else {
            const std::uint8_t* products = product_row(0);
            for (int x = 0; x < made_; ++x) {
                const T* a = v + size_t(h_.first[x]) * C;
                const std::uint8_t* w = h_.weights.data() + h_.offset[x];
                const int taps = h_.count[x];
                unsigned sum[C] = {};
                for (int t = 0; t < taps; ++t) {
                    if constexpr (sizeof(T) == 1) {
                        const std::uint8_t* P = products + w[t] * 256;
                        for (int c = 0; c < C; ++c)
                            sum[c] += P[a[size_t(t) * C + c]];
                    } else {
                        for (int c = 0; c < C; ++c)
                            sum[c] += weigh<T>(a[size_t(t) * C + c], w[t]);
                    }
                }
                for (int c = 0; c < C; ++c)
                    o[size_t(x) * C + c] = clamp_top<T>(sum[c]);
            }
        }
        if (sharpen)
            sharpen_row<T, C>(o, made_);
        return kOk;
    }

    int made() const { return made_; }
    bool sharpens() const { return dw_ != in_->width; }

private:
    // Input row y in the working type: the row itself, or binary as 0/255 in `dst`.
    const T* source(int y, std::vector<T>& dst) const
    {
        const std::uint8_t* src = in_->row(y);
        if (in_->type != IMAGE_BINARY)
            return reinterpret_cast<const T*>(src);
        for (int x = 0; x < in_columns_; ++x)
            dst[size_t(x)] = bit_test(src, x) ? 255 : 0;
        return dst.data();
    }

    // The vertical stage of output row y over the wanted input columns: `v` points at the
    // result (an input row when no blend is needed). Result 0 or 1.
    int vertical(int y, const T*& v)
    {
        const Image& in = *in_;
        const int sh = in.height;
        const size_t n = size_t(in_columns_) * C;
        T* work = work_.data();
        if (dh_ == sh) {
            v = source(y, low_);
        } else if (dh_ > sh) {
            const double p = enlarge_position(sh, dh_, y);
            const int i = int(std::floor(p));
            const unsigned f = unsigned(std::floor((p - i) * 255));
            if (i >= sh - 1) {
                v = source(sh - 1, low_);
            } else if (f == 0) {
                v = source(i, low_);
            } else {
                const T* a = source(i, low_);
                const T* b = source(i + 1, high_);
                for (size_t k = 0; k < n; ++k)
                    work[k] = blend2<T>(a[k], b[k], f);
                v = work;
            }
        } else {
            int first;
            try {
                resize_reduction_taps(sh, dh_, y, first, vtaps_);
            } catch (const std::bad_alloc&) {
                return kOutOfMemory;
            }
            Acc* acc = acc_.data();
            for (size_t t = 0; t < vtaps_.size(); ++t) {
                const unsigned b = vtaps_[t];
                const std::uint8_t* src_row = in.row(first + int(t));
                if (in.type == IMAGE_BINARY) {
                    if (t == 0)
                        std::fill(acc_.begin(), acc_.end(), Acc(0));
                    for (int x = 0; x < in_columns_; ++x)
                        if (bit_test(src_row, x))
                            acc[size_t(x)] = Acc(acc[size_t(x)] + b);
                } else {
                    const T* src = reinterpret_cast<const T*>(src_row);
                    if (t == 0)
                        for (size_t k = 0; k < n; ++k)
                            acc[k] = Acc(weigh<T>(src[k], b));
                    else
                        for (size_t k = 0; k < n; ++k)
                            acc[k] = Acc(acc[k] + weigh<T>(src[k], b));
                }
            }
            for (size_t k = 0; k < n; ++k)
                work[k] = clamp_top<T>(acc[k]);
            v = work;
        }
        return kOk;
    }

    // Sums of weighted taps: at most 255 + one rounding per tap for bytes, at most 65535
    // for 16-bit samples (the taps' truncated parts sum to no more than the largest sample).
    using Acc = std::conditional_t<sizeof(T) == 1, std::uint16_t, std::uint32_t>;

    const Image* in_ = nullptr;
    int dw_ = 0, dh_ = 0, columns_ = 0, made_ = 0, in_columns_ = 0;
    HorizontalTables h_;
    std::vector<T> work_, low_, high_;
    std::vector<Acc> acc_;
    std::vector<std::uint8_t> vtaps_;
};

// Output rows begin .. end - 1 of a Smooth resize of `in` into `out` (allocated with the
// output type and size), with progress over those rows.
template <class T, int C>
int smooth_rows(const Image& in, Image& out, int begin, int end, std::string_view title)
{
    SmoothRows<T, C> rows;
    if (int e = rows.open(in, out.width, out.height, out.width))
        return e;
    ProgressScope progress((long long)out.width * (end - begin), 0, end - begin - 1, title, true);
    for (int y = begin; y < end; y += 2) {
        T* o0 = reinterpret_cast<T*>(out.row(y));
        if (y + 1 == end) {
            if (int e = rows.row(y, o0))
                return e;
        } else {
            // Two rows are made, then sharpened together.
            T* o1 = reinterpret_cast<T*>(out.row(y + 1));
            if (int e = rows.row(y, o0, false))
                return e;
            if (int e = rows.row(y + 1, o1, false))
                return e;
            if (rows.sharpens())
                sharpen_two_rows<T, C>(o0, o1, out.width);
        }
        for (int k = y; k < std::min(y + 2, end); ++k)
            if (int e = progress.update(k - begin))
                return e;
    }
    return kOk;
}

// Moves the pixels of input row `src` picked by `columns` into output row `dst`.
template <int B>
void pick_row(const std::uint8_t* src, std::uint8_t* dst, const int* columns, int count)
{
    for (int x = 0; x < count; ++x)
        std::memcpy(dst + size_t(x) * B, src + size_t(columns[x]) * B, B);
}

// Output rows begin .. end - 1 of a Nearest Neighbor resize.
int nearest_rows(const Image& in, Image& out, int begin, int end, std::string_view title)
{
    const int sw = in.width, sh = in.height, dw = out.width, dh = out.height;
    std::vector<int> columns;
    try {
        columns.resize(size_t(dw));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    for (int x = 0; x < dw; ++x)
        columns[x] = nearest_index(sw, dw, x);
    const int* cols = columns.data();
    ProgressScope progress((long long)dw * (end - begin), 0, end - begin - 1, title, true);
    for (int y = begin; y < end; ++y) {
        const std::uint8_t* src = in.row(nearest_index(sh, dh, y));
        std::uint8_t* dst = out.row(y);
        switch (in.type) {
        case IMAGE_BINARY:
            std::memset(dst, 0, size_t(out.row_bytes));
            for (int x = 0; x < dw; ++x)
                if (bit_test(src, cols[x]))
                    bit_set(dst, x);
            break;
        case IMAGE_GRAY: pick_row<1>(src, dst, cols, dw); break;
        case IMAGE_GRAY16: pick_row<2>(src, dst, cols, dw); break;
        case IMAGE_COLOR: pick_row<3>(src, dst, cols, dw); break;
        default: pick_row<6>(src, dst, cols, dw); break;
        }
        if (int e = progress.update(y - begin))
            return e;
    }
    return kOk;
}

// Output rows begin .. end - 1 of a resize of `in` into `out`, which has the output type
// and a size different from the input's.
int resize_rows(const Image& in, Image& out, int interpolation, int begin, int end,
                std::string_view title)
{
    if (interpolation == kResizeNearest)
        return nearest_rows(in, out, begin, end, title);
    switch (in.type) {
    case IMAGE_BINARY:
    case IMAGE_GRAY: return smooth_rows<std::uint8_t, 1>(in, out, begin, end, title);
    case IMAGE_COLOR: return smooth_rows<std::uint8_t, 3>(in, out, begin, end, title);
    case IMAGE_GRAY16: return smooth_rows<std::uint16_t, 1>(in, out, begin, end, title);
    default: return smooth_rows<std::uint16_t, 3>(in, out, begin, end, title);
    }
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
    // When every byte weight rounds to 0 (reductions by more than about 510 times) the
    // largest is the first entry, which may lie outside the axis: the remainder then goes to
    // the largest weight instead.
    const int outer = i0 - n + largest;
    if (outer < 0 || outer >= source)
        largest = int(std::max_element(wt.begin(), wt.end()) - wt.begin());
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
    sharpen_row_any<std::uint8_t>(row, count, channels);
}

void resize_sharpen_row16(std::uint16_t* row, int count, int channels)
{
    sharpen_row_any<std::uint16_t>(row, count, channels);
}

int resize_output_type(int type, int interpolation)
{
    return type == IMAGE_BINARY && interpolation == kResizeSmooth ? IMAGE_GRAY : type;
}

namespace {

// The type of a resize's output: the input's own for the same size (a copy).
int result_type(const Image& input, int width, int height, int interpolation)
{
    return width == input.width && height == input.height
               ? input.type
               : resize_output_type(input.type, interpolation);
}

} // namespace

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
    const int rc = resize_rows(input, output, interpolation, 0, new_height, kTitle);
    if (rc)
        image_free(output);
    return rc;
}

int resize_prepare_output(const ResizeSettings& s, const Image& input, Image& output)
{
    if (!is_picture_type(input.type) || input.empty() || s.width < 1 || s.height < 1)
        return kIllegalImageType;
    if (product_table_build())
        return kOutOfMemory;
    const double dpi = s.resolution > 0 ? s.resolution : input.resolution;
    if (int e = image_alloc(output, result_type(input, s.width, s.height, s.interpolation), s.width,
                            s.height, dpi))
        return e;
    return output.empty() ? int(kOutOfMemory) : int(kOk);
}

namespace {

// The wanted output columns of a region: x0 + j * step, held to the picture.
std::vector<int> region_columns(const RegionRequest& q, int width)
{
    const int step = q.zoom <= -2 ? -q.zoom : 1;
    std::vector<int> xs(size_t(std::max(q.columns, 0)));
    for (int j = 0; j < q.columns; ++j)
        xs[size_t(j)] = std::clamp(q.x0 + j * step, 0, width - 1);
    return xs;
}

// Stores the wanted pixels of one computed output row (in the working type) into the
// writer's row: bytes for binary writers, narrowed 16-bit samples for 8-bit previews.
template <class T, int C>
void store_columns(const RowWriter& w, std::uint8_t* dst, const T* row, const std::vector<int>& xs,
                   int out_type, std::vector<std::uint8_t>& bytes)
{
    const int count = int(xs.size());
    if (out_type == IMAGE_BINARY) {
        for (int j = 0; j < count; ++j)
            bytes[size_t(j)] = std::uint8_t(row[size_t(xs[j])]);
        region_store_binary(w, dst, bytes.data(), count);
    } else if constexpr (sizeof(T) == 2) {
        if (out_type == IMAGE_GRAY16 || out_type == IMAGE_COLOR48) {
            T* d = reinterpret_cast<T*>(dst);
            for (int j = 0; j < count; ++j)
                std::memcpy(d + size_t(j) * C, row + size_t(xs[j]) * C, C * sizeof(T));
        } else {
            const std::uint8_t* narrow = value_tables().narrow16;
            for (int j = 0; j < count; ++j)
                for (int c = 0; c < C; ++c)
                    dst[size_t(j) * C + c] = narrow[row[size_t(xs[j]) * C + c]];
        }
    } else {
        for (int j = 0; j < count; ++j)
            std::memcpy(dst + size_t(j) * C, row + size_t(xs[j]) * C, C);
    }
}

template <class T, int C>
int smooth_region(const RegionRequest& q, int dw, int dh, int out_type)
{
    const std::vector<int> xs = region_columns(q, dw);
    const int columns = xs.empty() ? 1 : *std::max_element(xs.begin(), xs.end()) + 1;
    SmoothRows<T, C> rows;
    if (int e = rows.open(*q.input, dw, dh, columns))
        return e;
    std::vector<T> row;
    std::vector<std::uint8_t> bytes;
    try {
        row.resize(size_t(rows.made()) * C);
        bytes.resize(xs.size());
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    RowWriter out;
    row_writer_reset(out);
    if (int e = region_open_writer(q, out))
        return e;
    const int step = q.zoom <= -2 ? -q.zoom : 1;
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, q.title, true);
    for (int k = 0; k < q.rows; ++k) {
        std::uint8_t* dst = row_writer_row(out);
        if (!dst)
            break;
        if (int e = rows.row(std::clamp(q.y0 + k * step, 0, dh - 1), row.data()))
            return e;
        store_columns<T, C>(out, dst, row.data(), xs, out_type, bytes);
        row_writer_commit(out);
        if (int e = progress.update(k))
            return e;
    }
    return kOk;
}

int nearest_region(const RegionRequest& q, int dw, int dh, int out_type)
{
    const Image& in = *q.input;
    std::vector<int> xs = region_columns(q, dw);
    for (int& x : xs)
        x = nearest_index(in.width, dw, x);
    const int bpp = image_pixel_bytes(in.type);
    const bool narrowing = out_type != in.type;
    const int samples = bpp / (in.type == IMAGE_GRAY16 || in.type == IMAGE_COLOR48 ? 2 : 1);
    const std::uint8_t* narrow = value_tables().narrow16;
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(xs.size());
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    RowWriter out;
    row_writer_reset(out);
    if (int e = region_open_writer(q, out))
        return e;
    const int step = q.zoom <= -2 ? -q.zoom : 1;
    const int count = int(xs.size());
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, q.title, true);
    for (int k = 0; k < q.rows; ++k) {
        std::uint8_t* dst = row_writer_row(out);
        if (!dst)
            break;
        const int y = nearest_index(in.height, dh, std::clamp(q.y0 + k * step, 0, dh - 1));
        const std::uint8_t* src = in.row(y);
        if (in.type == IMAGE_BINARY) {
            for (int j = 0; j < count; ++j)
                bytes[size_t(j)] = bit_test(src, xs[j]) ? 255 : 0;
            region_store_binary(out, dst, bytes.data(), count);
        } else if (narrowing) {
            const std::uint16_t* s16 = reinterpret_cast<const std::uint16_t*>(src);
            for (int j = 0; j < count; ++j)
                for (int c = 0; c < samples; ++c)
                    dst[size_t(j) * samples + c] = narrow[s16[size_t(xs[j]) * samples + c]];
        } else {
            for (int j = 0; j < count; ++j)
                std::memcpy(dst + size_t(j) * bpp, src + size_t(xs[j]) * bpp, size_t(bpp));
        }
        row_writer_commit(out);
        if (int e = progress.update(k))
            return e;
    }
    return kOk;
}

} // namespace

int resize_region(const RegionRequest& q, void* settings)
{
    const ResizeSettings& s = *static_cast<const ResizeSettings*>(settings);
    const Image& in = *q.input;
    if (!q.output || !is_picture_type(in.type) || in.empty() || s.width < 1 || s.height < 1)
        return kIllegalImageType;
    const double dpi = s.resolution > 0 ? s.resolution : in.resolution;
    if (q.full && region_is_whole(q) && q.zoom == 1)
        return resize_image(in, *q.output, s.width, s.height, dpi, s.interpolation);
    const Image& target = *q.output;
    if (q.full && q.zoom == 1 && q.x0 == 0 && q.first_column == 0 &&
        q.last_column == s.width - 1 && q.y0 == q.first_row && q.rows == q.last_row - q.first_row + 1 &&
        q.first_row >= 0 && q.last_row < s.height && target.width == s.width &&
        target.height == s.height && target.type == result_type(in, s.width, s.height, s.interpolation)) {
        // Whole output rows of an Apply that runs in bands (the output is allocated).
        if (s.width == in.width && s.height == in.height) {
            for (int y = q.first_row; y <= q.last_row; ++y)
                std::memcpy(q.output->row(y), in.row(y), size_t(in.row_bytes));
            return kOk;
        }
        if (product_table_build())
            return kOutOfMemory;
        return resize_rows(in, *q.output, s.interpolation, q.first_row, q.last_row + 1, q.title);
    }
    if (s.width == in.width && s.height == in.height) {
        if (int e = region_prepare_output(q, region_output_type(in.type, q.full)))
            return e;
        return region_copy_input(q);
    }
    const int out_type = region_output_type(resize_output_type(in.type, s.interpolation), q.full);
    if (int e = region_prepare_output(q, out_type))
        return e;
    if (q.columns <= 0 || q.rows <= 0)
        return kOk;
    if (product_table_build())
        return kOutOfMemory;
    if (s.interpolation == kResizeNearest)
        return nearest_region(q, s.width, s.height, out_type);
    switch (in.type) {
    case IMAGE_BINARY:
    case IMAGE_GRAY: return smooth_region<std::uint8_t, 1>(q, s.width, s.height, out_type);
    case IMAGE_COLOR: return smooth_region<std::uint8_t, 3>(q, s.width, s.height, out_type);
    case IMAGE_GRAY16: return smooth_region<std::uint16_t, 1>(q, s.width, s.height, out_type);
    default: return smooth_region<std::uint16_t, 3>(q, s.width, s.height, out_type);
    }
}

} // namespace mv
