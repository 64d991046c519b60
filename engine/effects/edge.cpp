#include "edge.h"

#include "core/error.h"
#include "filters/filter_region.h"
#include "filters/small_kernel.h"
#include "filters/working_pixels.h"
#include "tone/color_space.h"

#include <algorithm>
#include <cstdlib>

namespace mv {
namespace {

constexpr const char* kTitle = "Edge";

inline int clamp_top(int v, int top) { return v < 0 ? 0 : v > top ? top : v; }

// The value of a neighbour the operator runs on in HSV or HSL.
inline int colour_measure(int space, int r, int g, int b)
{
    return space == kEdgeHsv ? color_max(r, g, b) : hsl_lightness(r, g, b);
}

template <class T, int C>
void edge_row(const EdgeSettings& st, const KernelRow<T>& row, T* out)
{
    constexpr int top = sizeof(T) == 1 ? 255 : 65535;
    const int space = C == 3 ? st.color_space : kEdgeRgb;
    int n[3][3];
    for (int j = 0; j < row.columns; ++j) {
        const T* p[3] = {kernel_pixel<T, C>(row, 0, j), kernel_pixel<T, C>(row, 1, j),
                         kernel_pixel<T, C>(row, 2, j)};
        T* o = out + size_t(j) * C;
        if (space == kEdgeRgb) {
            for (int c = 0; c < C; ++c) {
                for (int i = 0; i < 3; ++i)
                    for (int d = 0; d < 3; ++d)
                        n[i][d] = p[i][(d - 1) * C + c];
                const int E = edge_strength(st.method, n, top);
                const int v = p[1][c];
                o[c] = T(st.action == kEdgeCompute  ? E
                         : st.action == kEdgeDarken ? clamp_top(v - E, top)
                                                    : clamp_top(v + E, top));
            }
            continue;
        }
        // Colour through HSV value or HSL lightness; samples are blue, green, red.
        for (int i = 0; i < 3; ++i)
            for (int d = 0; d < 3; ++d) {
                const T* q = p[i] + (d - 1) * C;
                n[i][d] = colour_measure(space, q[2], q[1], q[0]);
            }
        const int E = edge_strength(st.method, n, top);
        if (st.action == kEdgeCompute) {
            o[0] = o[1] = o[2] = T(E);
            continue;
        }
        int r = p[1][2], g = p[1][1], b = p[1][0];
        const int old = n[1][1];
        const int now = clamp_top(st.action == kEdgeDarken ? old - E : old + E, top);
        if (now != old) {
            if (space == kEdgeHsv)
                set_value(r, g, b, old, now);
            else if (sizeof(T) == 1)
                set_lightness8(r, g, b, old, now);
            else
                set_lightness16(r, g, b, old, now);
        }
        o[0] = T(clamp_top(b, top));
        o[1] = T(clamp_top(g, top));
        o[2] = T(clamp_top(r, top));
    }
}

template <class T, int C>
int edge_typed(const RegionRequest& q, const EdgeSettings& st)
{
    return run_small_kernel<T, C>(q, st.amount, 1, kTitle, true,
                                  [&st](const KernelRow<T>& r, T* out) {
                                      edge_row<T, C>(st, r, out);
                                  });
}

} // namespace

int edge_strength(int method, const int n[3][3], int top)
{
    int e;
    switch (method) {
    case kEdgeSobel: {
        const int gx = (n[0][2] + 2 * n[1][2] + n[2][2]) - (n[0][0] + 2 * n[1][0] + n[2][0]);
        const int gy = (n[2][0] + 2 * n[2][1] + n[2][2]) - (n[0][0] + 2 * n[0][1] + n[0][2]);
        e = std::abs(gx) + std::abs(gy);
        break;
    }
    case kEdgeLaplacian:
        e = 4 * n[1][1] - n[0][1] - n[1][0] - n[1][2] - n[2][1];
        break;
    default: // Roberts
        e = std::abs(n[0][0] - n[2][2]) + std::abs(n[0][2] - n[2][0]);
        break;
    }
    return clamp_top(e, top);
}

int edge_region(const RegionRequest& q, void* settings)
{
    const EdgeSettings& st = *static_cast<const EdgeSettings*>(settings);
    const int type = q.input->type;
    if (!is_picture_type(type) || q.input->empty())
        return kIllegalImageType;
    if (int e = region_prepare_output(q, filter_output_type(type, q.full)))
        return e;
    if (q.columns <= 0 || q.rows <= 0)
        return kOk;
    if (amount_is_identity(st.amount))
        return filter_copy_region(q, kTitle);
    switch (type) {
    case IMAGE_BINARY:
    case IMAGE_GRAY: return edge_typed<std::uint8_t, 1>(q, st);
    case IMAGE_COLOR: return edge_typed<std::uint8_t, 3>(q, st);
    case IMAGE_GRAY16: return edge_typed<std::uint16_t, 1>(q, st);
    default: return edge_typed<std::uint16_t, 3>(q, st);
    }
}

} // namespace mv
