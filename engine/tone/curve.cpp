#include "curve.h"

#include "core/util.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace mv {

void curve_reset(Curve& c)
{
    c = Curve{};
}

bool curve_is_valid(int count, const std::int32_t* x, const std::int32_t* y, int style)
{
    if (count < 2 || count > kCurveMaxPoints || style < CURVE_STEP || style > CURVE_SPLINE)
        return false;
    for (int k = 0; k < count; ++k) {
        if (x[k] < 0 || x[k] > 255 || y[k] < 0 || y[k] > 255)
            return false;
        if (k > 0 && x[k] <= x[k - 1])
            return false;
    }
    return true;
}

bool table8_is_identity(const std::uint8_t* table)
{
    for (int v = 0; v < 256; ++v)
        if (table[v] != v)
            return false;
    return true;
}

void spline_tangents(int n, const double* X, const double* Y, double* m)
{
    constexpr double kTiny = 1e-10;
    std::vector<double> d(n - 1);
    for (int k = 0; k < n - 1; ++k)
        d[k] = (Y[k + 1] - Y[k]) / (X[k + 1] - X[k]);
    if (n == 2) {
        m[0] = m[1] = d[0];
        return;
    }
    m[0] = d[0];
    m[n - 1] = d[n - 2];
    for (int k = 1; k < n - 1; ++k)
        m[k] = (d[k - 1] + d[k]) / 2;

    // Flat segments get flat ends; a change of direction gets a flat turning point.
    for (int k = 0; k <= n - 3; ++k) {
        if (std::fabs(d[k]) < kTiny)
            m[k] = m[k + 1] = 0;
        else if (d[k] * d[k + 1] < 0)
            m[k + 1] = 0;
    }
    if (std::fabs(d[n - 2]) < kTiny)
        m[n - 2] = m[n - 1] = 0;

    // A tangent against its segment's direction is flattened.
    for (int k = 0; k <= n - 2; ++k) {
        if (m[k] * d[k] < 0)
            m[k] = 0;
        if (m[k + 1] * d[k] < 0)
            m[k + 1] = 0;
    }
    if (m[n - 1] * d[n - 2] < 0)
        m[n - 1] = 0;

    // The limiter of each segment: how much its tangents must shrink to keep it monotone.
    std::vector<double> s(n - 1);
    for (int k = 0; k <= n - 2; ++k) {
        double a = 0, b = 0;
        if (std::fabs(d[k]) >= kTiny) {
            const double D = 3 * d[k];
            if (std::fabs(m[k]) + std::fabs(m[k + 1]) >= kTiny) {
                const double r1 = (2 * m[k] + m[k + 1]) / D;
                const double r2 = (2 * m[k + 1] + m[k]) / D;
                if ((1 - r1) * (r2 - 1) < 0)
                    a = std::min(r1, r2);
            }
            b = (m[k] + m[k + 1]) / D - std::sqrt(std::max(0.0, m[k] * m[k + 1])) / std::fabs(D);
        }
        s[k] = std::max({1.0, a, b});
    }
    m[0] /= s[0];
    m[n - 1] /= s[n - 2];
    for (int k = 0; k <= n - 3; ++k)
        m[k + 1] /= std::max(s[k], s[k + 1]);
}

double spline_value(int n, const double* X, const double* Y, const double* m, double t,
                    int& segment)
{
    int k = std::clamp(segment, 0, n - 2);
    while (k < n - 2 && t > X[k + 1])
        ++k;
    segment = k;
    const double h = X[k + 1] - X[k];
    const double u = (t - X[k]) / h;
    const double w = 1 - u;
    return Y[k] * w * w * (1 + 2 * u) + Y[k + 1] * u * u * (3 - 2 * u) + m[k] * h * u * w * w +
           m[k + 1] * h * u * u * (u - 1);
}

namespace {

// Fills `out(level, value)` for levels 0..full, with the points multiplied by `widen`.
template <class Store>
void curve_fill(int count, const std::int32_t* x, const std::int32_t* y, int style, int full,
                int widen, Store out)
{
    if (!curve_is_valid(count, x, y, style)) {
        for (int v = 0; v <= full; ++v)
            out(v, v);
        return;
    }
    const int n = count;
    std::vector<long long> px(n), py(n);
    for (int k = 0; k < n; ++k) {
        px[k] = (long long)x[k] * widen;
        py[k] = (long long)y[k] * widen;
    }
    const long long x0 = px[0], xn = px[n - 1];
    const double span = double(xn - x0);
    std::vector<double> X(n), Y(n);
    for (int k = 0; k < n; ++k) {
        X[k] = double(px[k] - x0) / span;
        Y[k] = double(py[k]) / full;
    }
    const auto level = [&](double value) {
        return int(std::clamp<long long>(round_nearest(full * value), 0, full));
    };

    for (long long v = 0; v < x0; ++v)
        out(int(v), int(py[0]));
    for (long long v = xn + 1; v <= full; ++v)
        out(int(v), int(py[n - 1]));

    if (style == CURVE_STEP || style == CURVE_LINEAR) {
        int seg = -1; // no segment entered yet
        double boundary = 0;
        for (long long v = x0; v <= xn; ++v) {
            const double t = double(v - x0) / span;
            if (t >= boundary && seg + 1 < n - 1) {
                ++seg;
                boundary = X[seg + 1];
            }
            double value = Y[seg];
            if (style == CURVE_LINEAR)
                value = Y[seg] + (t - X[seg]) * (Y[seg + 1] - Y[seg]) / (X[seg + 1] - X[seg]);
            out(int(v), level(value));
        }
        return;
    }

    const bool middle_between = n == 3 && !(py[1] >= py[0] && py[1] >= py[2]) &&
                                !(py[1] <= py[0] && py[1] <= py[2]) && py[2] != py[0];
    if (middle_between) {
        // A power curve through the three points.
        const double xm = double(px[1] - px[0]) / double(px[2] - px[0]);
        const double ym = double(py[1] - py[0]) / double(py[2] - py[0]);
        const double g = std::log(ym) / std::log(xm);
        const double rise = double(py[2] - py[0]);
        for (long long v = x0; v <= xn; ++v) {
            const double t = double(v - x0) / span;
            out(int(v), int(std::clamp<long long>(py[0] + round_nearest(std::pow(t, g) * rise), 0,
                                                  full)));
        }
        return;
    }

    std::vector<double> m(n);
    spline_tangents(n, X.data(), Y.data(), m.data());
    int seg = 0;
    for (long long v = x0; v <= xn; ++v) {
        const double t = double(v - x0) / span;
        out(int(v), level(spline_value(n, X.data(), Y.data(), m.data(), t, seg)));
    }
}

} // namespace

void curve_table8(int count, const std::int32_t* x, const std::int32_t* y, int style,
                  std::uint8_t* table)
{
    curve_fill(count, x, y, style, 255, 1, [table](int v, int value) { table[v] = std::uint8_t(value); });
}

void curve_table16(int count, const std::int32_t* x, const std::int32_t* y, int style,
                   std::uint16_t* table)
{
    curve_fill(count, x, y, style, 65535, 257,
               [table](int v, int value) { table[v] = std::uint16_t(value); });
}

} // namespace mv
