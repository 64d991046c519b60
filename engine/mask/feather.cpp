#include "feather.h"

#include "core/error.h"
#include "core/product_table.h"
#include "core/progress.h"
#include "core/util.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace mv {

int feather_kernel(int width, int falloff, int corners, std::vector<std::uint8_t>& kernel)
{
    const int w = std::abs(std::clamp(width, -kFeatherMaxWidth, kFeatherMaxWidth));
    const int size = 2 * w + 1;
    try {
        kernel.assign(size_t(size) * size, 0);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    const double radius = w + 1;
    for (int dy = -w; dy <= w; ++dy) {
        for (int dx = -w; dx <= w; ++dx) {
            const double u = dx / radius, v = dy / radius;
            const double d = corners == FEATHER_SQUARE ? std::max(std::abs(u), std::abs(v))
                                                       : std::sqrt(u * u + v * v);
            int k;
            if (falloff == FEATHER_STEP)
                k = d >= 1.0 ? 0 : 255;
            else
                k = clamp_byte(round_nearest((1.0 - d) * 255.0));
            if (width < 0)
                k = 255 - k;
            kernel[size_t(dy + w) * size + (dx + w)] = std::uint8_t(k);
        }
    }
    return kOk;
}

namespace {

struct Stamp {
    const std::vector<std::uint8_t>& kernel;
    int radius;
};

// True when the pixel at x of `row` and its four neighbours all hold `value`; neighbours
// outside the picture count as the pixel itself.
bool interior(const std::uint8_t* below, const std::uint8_t* row, const std::uint8_t* above,
              int x, int width, std::uint8_t value)
{
    return row[x] == value && below[x] == value && above[x] == value &&
           (x == 0 || row[x - 1] == value) && (x == width - 1 || row[x + 1] == value);
}

// Stamps the kernel centred on (x, y) into `out`: expanding keeps the larger of the present
// value and P[k][s], contracting the smaller of it and 255 - P[255 - k][255 - s].
void stamp(Image& out, const Stamp& st, int x, int y, std::uint8_t s, bool contract)
{
    const int r = st.radius, size = 2 * r + 1;
    const int y0 = std::max(y - r, 0), y1 = std::min(y + r, out.height - 1);
    const int x0 = std::max(x - r, 0), x1 = std::min(x + r, out.width - 1);
    const std::uint8_t* prow = product_row(contract ? 255 - s : s);
    for (int ty = y0; ty <= y1; ++ty) {
        const std::uint8_t* k = st.kernel.data() + size_t(ty - y + r) * size + (x0 - x + r);
        std::uint8_t* q = out.row(ty) + x0;
        const int n = x1 - x0 + 1;
        if (contract) {
            for (int i = 0; i < n; ++i)
                q[i] = std::min<std::uint8_t>(q[i], std::uint8_t(255 - prow[255 - k[i]]));
        } else {
            for (int i = 0; i < n; ++i)
                q[i] = std::max(q[i], prow[k[i]]);
        }
    }
}

} // namespace

int mask_feather(MaskRows& m, int width, int falloff, int corners)
{
    width = std::clamp(width, -kFeatherMaxWidth, kFeatherMaxWidth);
    if (width == 0)
        return kOk;
    if (const int err = product_table_build())
        return err;
    Image& src = *m.mask;
    std::vector<std::uint8_t> kernel;
    if (const int err = feather_kernel(width, falloff, corners, kernel))
        return err;
    const bool contract = width < 0;
    // Expanding builds up from 0 and skips empty rows; contracting eats down from 255 and
    // skips full rows. `edge` is the value whose interior pixels are copied straight across.
    const std::uint8_t start = contract ? 255 : 0;
    const std::uint8_t edge = contract ? 0 : 255;
    const std::uint8_t skip_state = contract ? MASK_ROW_FULL : MASK_ROW_ZERO;
    Image out;
    if (const int err = image_alloc(out, IMAGE_GRAY, src.width, src.height, src.resolution))
        return err;
    for (int y = 0; y < out.height; ++y)
        std::memset(out.row(y), start, out.row_bytes);
    const Stamp st{kernel, std::abs(width)};
    ProgressScope progress(src.pixels(), 0, src.height - 1, "Feather", true);
    for (int y = 0; y < src.height; ++y) {
        if (const int err = progress.update(y))
            return err;
        if (m.states[y] == skip_state)
            continue;
        const std::uint8_t* row = src.row(y);
        const std::uint8_t* below = y > 0 ? src.row(y - 1) : row;
        const std::uint8_t* above = y + 1 < src.height ? src.row(y + 1) : row;
        for (int x = 0; x < src.width; ++x) {
            const std::uint8_t s = row[x];
            if (s == start)
                continue;
            if (s == edge && interior(below, row, above, x, src.width, edge))
                out.row(y)[x] = edge;
            else
                stamp(out, st, x, y, s, contract);
        }
    }
    *m.mask = std::move(out);
    mask_rows_update_all(m);
    return kOk;
}

} // namespace mv
