#include "box_smooth.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"

#include <algorithm>
#include <new>
#include <vector>

namespace mv {
namespace {

template <class T, int C>
int smooth(const Image& in, int x0, int y0, int s, int W, int H, int r, std::string_view title,
           SmoothRowSink& sink)
{
    const long long ext_columns_ll = (long long)W * s + 4LL * r;
    const long long column_length_ll = (long long)H * s + 4LL * r;
    if (ext_columns_ll > 0x3fffffff || column_length_ll > 0x3fffffff)
        return kOutOfMemory;
    const int ext_columns = int(ext_columns_ll), L = int(column_length_ll);
    const int last_col = in.width - 1, last_row = in.height - 1;
    const bool binary = in.type == IMAGE_BINARY;

    std::vector<T> line1, line2, temp, out;
    std::vector<const std::uint8_t*> rows;
    try {
        const size_t line = size_t(std::max(ext_columns, L)) * C;
        line1.resize(line);
        line2.resize(line);
        temp.resize(size_t(ext_columns) * H * C);
        out.resize(size_t(W) * C);
        rows.resize(size_t(L));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    for (int q = 0; q < L; ++q)
        rows[q] = in.row(mirror_index(y0 - 2 * r + q, last_row));

    ProgressScope progress((long long)W * H, 0, ext_columns + H - 1, title, true);

    // Columns: read, smooth twice, keep the rows of the sampled output rows.
    for (int e = 0; e < ext_columns; ++e) {
        const int col = mirror_index(x0 - 2 * r + e, last_col);
        T* a = line1.data();
        if (binary) {
            for (int q = 0; q < L; ++q)
                a[q] = bit_test(rows[q], col) ? 255 : 0;
        } else {
            for (int q = 0; q < L; ++q) {
                const T* p = reinterpret_cast<const T*>(rows[q]) + size_t(col) * C;
                for (int c = 0; c < C; ++c)
                    a[q * C + c] = p[c];
            }
        }
        box_pass<T, C>(line1.data(), line2.data(), L, r);
        box_pass<T, C>(line2.data(), line1.data(), L, r);
        for (int k = 0; k < H; ++k) {
            const T* p = line1.data() + size_t(2 * r + k * s) * C;
            T* d = temp.data() + (size_t(k) * ext_columns + e) * C;
            for (int c = 0; c < C; ++c)
                d[c] = p[c];
        }
        if (int rc = progress.update(e))
            return rc;
    }

    // Rows: smooth twice along each stored row and pick the sampled columns.
    for (int k = 0; k < H; ++k) {
        box_pass<T, C>(temp.data() + size_t(k) * ext_columns * C, line1.data(), ext_columns, r);
        box_pass<T, C>(line1.data(), line2.data(), ext_columns, r);
        for (int j = 0; j < W; ++j) {
            const T* p = line2.data() + size_t(2 * r + j * s) * C;
            for (int c = 0; c < C; ++c)
                out[size_t(j) * C + c] = p[c];
        }
        if (int rc = sink.row(k, out.data()))
            return rc;
        if (int rc = progress.update(ext_columns + k))
            return rc;
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
