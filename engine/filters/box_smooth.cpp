#include "box_smooth.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"

#include <algorithm>
#include <new>
#include <vector>

namespace mv {
namespace {

// Exact division of sums below 2^25 by a box width of at most 513: (n * m) >> 34 with
// m = ceil(2^34 / width) equals n / width for every such n, and costs a multiplication.
struct BoxDivisor {
    std::uint64_t m;
    explicit BoxDivisor(int width) : m(((std::uint64_t(1) << 34) + std::uint64_t(width) - 1) / std::uint64_t(width)) {}
    std::uint32_t operator()(std::uint32_t n) const { return std::uint32_t((n * m) >> 34); }
};

// box_pass with the division done by `div`: the same values.
template <class T, int C>
void box_pass_fast(const T* src, T* dst, int L, int r, const BoxDivisor& div)
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
    std::uint32_t sum[C];
    for (int c = 0; c < C; ++c)
        sum[c] = 0;
    for (int i = 0; i < width; ++i)
        for (int c = 0; c < C; ++c)
            sum[c] += src[i * C + c];
    for (int c = 0; c < C; ++c)
        dst[r * C + c] = T(div(sum[c]));
    const T* enter = src + width * C;
    const T* leave = src;
    T* out = dst + (r + 1) * C;
    for (int i = r + 1; i <= L - 1 - r; ++i, enter += C, leave += C, out += C)
        for (int c = 0; c < C; ++c) {
            sum[c] += std::uint32_t(enter[c]) - std::uint32_t(leave[c]);
            out[c] = T(div(sum[c]));
        }
}

// Streams the smoothing down the rows. Position q of the extended column (0 .. L-1) is input
// row y0 - 2r + q, mirrored at the picture's edges; the first box pass at position i averages
// positions i-r .. i+r, and the second pass at the sampled positions 2r + k*s only reads
// first-pass positions r .. L-1-r, which the running sums give directly. Every output row
// is the same integer arithmetic as box passes over whole columns.
template <class T, int C>
int smooth(const Image& in, int x0, int y0, int s, int W, int H, int r, std::string_view title,
           SmoothRowSink& sink)
{
    const long long ext_columns_ll = (long long)W * s + 4LL * r;
    const long long column_length_ll = (long long)H * s + 4LL * r;
    if (ext_columns_ll > 0x3fffffff || column_length_ll > 0x3fffffff)
        return kOutOfMemory;
    const int E = int(ext_columns_ll);
    const int last_col = in.width - 1, last_row = in.height - 1;
    const bool binary = in.type == IMAGE_BINARY;
    const int width = 2 * r + 1, ring = width + 1;
    const size_t N = size_t(E) * C;
    const BoxDivisor div(width);

    std::vector<T> a_ring, p_ring, line1, line2, out;
    std::vector<std::uint32_t> s1, s2;
    std::vector<int> cols;
    try {
        a_ring.resize(N * ring);
        p_ring.resize(N * ring);
        line1.resize(N);
        line2.resize(N);
        out.resize(size_t(W) * C);
        s1.assign(N, 0);
        s2.assign(N, 0);
        cols.resize(size_t(E));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    for (int e = 0; e < E; ++e)
        cols[size_t(e)] = mirror_index(x0 - 2 * r + e, last_col);

    // Extended row q of the input into its ring slot.
    const auto load = [&](int q) {
        const std::uint8_t* row = in.row(mirror_index(y0 - 2 * r + q, last_row));
        T* a = a_ring.data() + size_t(q % ring) * N;
        if (binary) {
            for (int e = 0; e < E; ++e)
                a[e] = bit_test(row, cols[size_t(e)]) ? 255 : 0;
        } else {
            const T* p = reinterpret_cast<const T*>(row);
            for (int e = 0; e < E; ++e)
                for (int c = 0; c < C; ++c)
                    a[size_t(e) * C + c] = p[size_t(cols[size_t(e)]) * C + c];
        }
    };
    const auto a_row = [&](int q) { return a_ring.data() + size_t(q % ring) * N; };
    const auto p_row = [&](int i) { return p_ring.data() + size_t(i % ring) * N; };
    std::uint32_t* S1 = s1.data();
    std::uint32_t* S2 = s2.data();

    // First-pass position i (r <= i <= L-1-r) into its ring slot, sliding S1 from i-1.
    const auto first_pass = [&](int i) {
        if (i == r) {
            for (int q = 0; q < width; ++q)
                load(q);
            for (int q = 0; q < width; ++q) {
                const T* a = a_row(q);
                for (size_t x = 0; x < N; ++x)
                    S1[x] += a[x];
            }
        } else {
            load(i + r);
            const T* enter = a_row(i + r);
            const T* leave = a_row(i - r - 1);
            for (size_t x = 0; x < N; ++x)
                S1[x] += std::uint32_t(enter[x]) - std::uint32_t(leave[x]);
        }
        T* p = p_row(i);
        for (size_t x = 0; x < N; ++x)
            p[x] = T(div(S1[x]));
    };

    ProgressScope progress((long long)W * H, 0, E + H - 1, title, true);
    const long long total = (long long)E + H;
    int reported = -1;

    for (int i = r; i <= 3 * r; ++i)
        first_pass(i);
    for (int i = r; i <= 3 * r; ++i) {
        const T* p = p_row(i);
        for (size_t x = 0; x < N; ++x)
            S2[x] += p[x];
    }
    int k = 0;
    for (int i = 2 * r;; ++i) {
        if (i > 2 * r) {
            first_pass(i + r);
            const T* enter = p_row(i + r);
            const T* leave = p_row(i - r - 1);
            for (size_t x = 0; x < N; ++x)
                S2[x] += std::uint32_t(enter[x]) - std::uint32_t(leave[x]);
        }
        if ((i - 2 * r) % s != 0)
            continue;
        // Output row k: the second vertical pass, then twice along the row.
        T* v = line1.data();
        for (size_t x = 0; x < N; ++x)
            v[x] = T(div(S2[x]));
        box_pass_fast<T, C>(line1.data(), line2.data(), E, r, div);
        box_pass_fast<T, C>(line2.data(), line1.data(), E, r, div);
        for (int j = 0; j < W; ++j) {
            const T* p = line1.data() + size_t(2 * r + j * s) * C;
            for (int c = 0; c < C; ++c)
                out[size_t(j) * C + c] = p[c];
        }
        if (int rc = sink.row(k, out.data()))
            return rc;
        // The progress values 0 .. E+H-1 in order, spread evenly over the output rows.
        const int target = int((k + 1) * total / H) - 1;
        while (reported < target)
            if (int rc = progress.update(++reported))
                return rc;
        if (++k == H)
            break;
    }
    return kOk;
}

} // namespace

int box_smooth(const Image& input, int x0, int y0, int s, int W, int H, int r,
               std::string_view title, SmoothRowSink& sink)
{
    if (W <= 0 || H <= 0)
        return kOk;
    s = std::max(s, 1);
    r = std::max(r, 1);
    switch (input.type) {
    case IMAGE_BINARY:
    case IMAGE_GRAY: return smooth<std::uint8_t, 1>(input, x0, y0, s, W, H, r, title, sink);
    case IMAGE_COLOR: return smooth<std::uint8_t, 3>(input, x0, y0, s, W, H, r, title, sink);
    case IMAGE_GRAY16: return smooth<std::uint16_t, 1>(input, x0, y0, s, W, H, r, title, sink);
    case IMAGE_COLOR48: return smooth<std::uint16_t, 3>(input, x0, y0, s, W, H, r, title, sink);
    default: return kIllegalImageType;
    }
}

} // namespace mv
