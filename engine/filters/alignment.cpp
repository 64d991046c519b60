#include "alignment.h"

#include <cmath>
#include <utility>

namespace mv {

namespace {

constexpr int kDistinctError = 61;

bool all_distinct(int count, const PointF* p)
{
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j)
            if (p[i].x == p[j].x && p[i].y == p[j].y)
                return false;
    return true;
}

} // namespace

int alignment_point_count(int alignment)
{
    static constexpr int counts[] = {0, 1, 2, 2, 3, 4};
    return alignment >= 0 && alignment <= 5 ? counts[alignment] : 0;
}

char alignment_point_label(int i)
{
    if (i < 9)
        return char('1' + i);
    if (i < 35)
        return char('a' + i - 9);
    return char('A' + (i - 35) % 26);
}

bool solve_linear(int n, double* a, double* rhs, double* x)
{
    int perm[8];
    for (int i = 0; i < n; ++i)
        perm[i] = i;
    for (int k = 0; k < n; ++k) {
        int p = k;
        for (int i = k + 1; i < n; ++i)
            if (std::fabs(a[i * n + k]) > std::fabs(a[p * n + k]))
                p = i;
        if (a[p * n + k] == 0.0)
            return false;
        if (p != k) {
            for (int j = 0; j < n; ++j)
                std::swap(a[k * n + j], a[p * n + j]);
            std::swap(perm[k], perm[p]);
        }
        for (int i = k + 1; i < n; ++i) {
            const double l = a[i * n + k] / a[k * n + k];
            a[i * n + k] = l;
            for (int j = k + 1; j < n; ++j)
                a[i * n + j] -= l * a[k * n + j];
        }
    }
    double y[8];
    for (int i = 0; i < n; ++i) {
        double s = rhs[perm[i]];
        for (int j = 0; j < i; ++j)
            s -= a[i * n + j] * y[j];
        y[i] = s;
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = y[i];
        for (int j = i + 1; j < n; ++j)
            s -= a[i * n + j] * x[j];
        x[i] = s / a[i * n + i];
    }
    return true;
}

int alignment_solve(int alignment, int count, const PointF* base, const PointF* overlay,
                    AlignmentMap& m)
{
    m = AlignmentMap{};
    const int needed = alignment_point_count(alignment);
    if (alignment <= kAlignNone || alignment > kAlignPerspective)
        return 0;
    if (count < needed || !all_distinct(needed, base) || !all_distinct(needed, overlay))
        return kDistinctError;
    const PointF* p = base;
    const PointF* q = overlay;
    switch (alignment) {
    case kAlignShift:
        m.c = q[0].x - p[0].x;
        m.f = q[0].y - p[0].y;
        return 0;
    case kAlignRotate: {
        const double t = std::atan2(q[1].y - q[0].y, q[1].x - q[0].x) -
                         std::atan2(p[1].y - p[0].y, p[1].x - p[0].x);
        const double co = std::cos(t), si = std::sin(t);
        m.a = m.e = co;
        m.b = -si;
        m.d = si;
        m.c = q[0].x - p[0].x * co + p[0].y * si;
        m.f = q[0].y - p[0].x * si - p[0].y * co;
        return 0;
    }
    case kAlignSimilarity: {
        // Unknowns p, q, c, f: p x + q y + c = u, p y - q x + f = v.
        double A[16] = {}, r[4], x[4];
        for (int i = 0; i < 2; ++i) {
            double* u = A + (2 * i) * 4;
            u[0] = p[i].x, u[1] = p[i].y, u[2] = 1, u[3] = 0;
            double* v = A + (2 * i + 1) * 4;
            v[0] = p[i].y, v[1] = -p[i].x, v[2] = 0, v[3] = 1;
            r[2 * i] = q[i].x;
            r[2 * i + 1] = q[i].y;
        }
        if (!solve_linear(4, A, r, x))
            return kDistinctError;
        m.a = m.e = x[0];
        m.b = x[1];
        m.d = -x[1];
        m.c = x[2];
        m.f = x[3];
        return 0;
    }
    case kAlignAffine: {
        double A[36] = {}, r[6], x[6];
        for (int i = 0; i < 3; ++i) {
            double* u = A + (2 * i) * 6;
            u[0] = p[i].x, u[1] = p[i].y, u[2] = 1;
            double* v = A + (2 * i + 1) * 6;
            v[3] = p[i].x, v[4] = p[i].y, v[5] = 1;
            r[2 * i] = q[i].x;
            r[2 * i + 1] = q[i].y;
        }
        if (!solve_linear(6, A, r, x))
            return kDistinctError;
        m.a = x[0], m.b = x[1], m.c = x[2], m.d = x[3], m.e = x[4], m.f = x[5];
        return 0;
    }
    default: { // perspective
        double A[64] = {}, r[8], x[8];
        for (int i = 0; i < 4; ++i) {
            double* u = A + (2 * i) * 8;
            u[0] = p[i].x, u[1] = p[i].y, u[2] = 1;
            u[6] = -p[i].x * q[i].x, u[7] = -p[i].y * q[i].x;
            double* v = A + (2 * i + 1) * 8;
            v[3] = p[i].x, v[4] = p[i].y, v[5] = 1;
            v[6] = -p[i].x * q[i].y, v[7] = -p[i].y * q[i].y;
            r[2 * i] = q[i].x;
            r[2 * i + 1] = q[i].y;
        }
        if (!solve_linear(8, A, r, x))
            return kDistinctError;
        m.a = x[0], m.b = x[1], m.c = x[2], m.d = x[3];
        m.e = x[4], m.f = x[5], m.g = x[6], m.h = x[7];
        return 0;
    }
    }
}

bool alignment_is_identity(const AlignmentMap& m)
{
    return m.a == 1 && m.b == 0 && m.c == 0 && m.d == 0 && m.e == 1 && m.f == 0 && m.g == 0 &&
           m.h == 0;
}

bool alignment_map_point(const AlignmentMap& m, double x, double y, double& u, double& v)
{
    const double w = m.g * x + m.h * y + 1;
    if (w == 0)
        return false;
    u = (m.a * x + m.b * y + m.c) / w;
    v = (m.d * x + m.e * y + m.f) / w;
    return true;
}

} // namespace mv
