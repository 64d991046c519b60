#include "spline.h"

#include "core/error.h"
#include "core/util.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace mv {
namespace {

double catmull_rom(double p0, double p1, double p2, double p3, double t)
{
    const double t2 = t * t, t3 = t2 * t;
    return ((-t3 + 2 * t2 - t) * p0 + (3 * t3 - 5 * t2 + 2) * p1 + (-3 * t3 + 4 * t2 + t) * p2 +
            (t3 - t2) * p3) / 2.0;
}

MaskPoint rounded(double x, double y)
{
    // Outlines far outside any picture are held within the 32-bit range.
    constexpr double kLimit = 1 << 30;
    return {std::int32_t(round_nearest(std::clamp(x, -kLimit, kLimit))),
            std::int32_t(round_nearest(std::clamp(y, -kLimit, kLimit)))};
}

} // namespace

int spline_points(const std::vector<MaskPoint>& points, std::vector<MaskPoint>& outline)
{
    outline.clear();
    const int count = int(points.size());
    try {
        for (int i = 0; i < count; ++i) {
            const MaskPoint& p0 = points[(i + count - 1) % count];
            const MaskPoint& p1 = points[i];
            const MaskPoint& p2 = points[(i + 1) % count];
            const MaskPoint& p3 = points[(i + 2) % count];
            const double length = std::hypot(double(p2.x) - p1.x, double(p2.y) - p1.y);
            const long long n = round_nearest(length / 2);
            if (n == 1)
                outline.push_back(p1);
            for (long long j = 0; n >= 2 && j < n; ++j) {
                const double t = double(j) / double(n - 1);
                outline.push_back(rounded(catmull_rom(p0.x, p1.x, p2.x, p3.x, t),
                                          catmull_rom(p0.y, p1.y, p2.y, p3.y, t)));
            }
        }
    } catch (const std::bad_alloc&) {
        outline.clear();
        return kOutOfMemory;
    }
    return kOk;
}

int mask_spline(MaskRows& m, const std::vector<MaskPoint>& points, int mode)
{
    std::vector<MaskPoint> outline;
    if (const int err = spline_points(points, outline))
        return err;
    return mask_polygon(m, outline, mode);
}

} // namespace mv
