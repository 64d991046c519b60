#include "oval.h"

#include "core/error.h"
#include "core/util.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace mv {

int oval_region(MaskPoint a, MaskPoint b, int width, int height, MaskRegion& region)
{
    region.first_row = 0;
    region.rows.clear();
    if (a == b || width <= 0 || height <= 0)
        return kOk;
    const double x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
    const int y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
    const int first = std::max(y0, 0), last = std::min(y1, height - 1);
    if (first > last)
        return kOk;
    const double cx = (x0 + x1) / 2.0;
    const double cy = (double(y0) + double(y1)) / 2.0;
    const double half_height = (double(y1) - double(y0)) / 2.0;
    const double half_width = (x1 - x0) / 2.0;
    try {
        region.first_row = first;
        region.rows.resize(last - first + 1);
        for (int y = first; y <= last; ++y) {
            long long s0 = (long long)x0, s1 = (long long)x1;
            if (y0 != y1) {
                const double t = (y - cy) / half_height;
                const double h = std::sqrt(std::max(0.0, 1.0 - t * t)) * half_width;
                s0 = round_nearest(cx - h);
                s1 = round_nearest(cx + h);
            }
            if (s1 < 0 || s0 >= width)
                continue;
            region.rows[y - first].push_back(
                {std::int32_t(std::max(s0, 0LL)), std::int32_t(std::min<long long>(s1, width - 1))});
        }
    } catch (const std::bad_alloc&) {
        region.rows.clear();
        return kOutOfMemory;
    }
    return kOk;
}

int mask_oval(MaskRows& m, MaskPoint a, MaskPoint b, int mode)
{
    if (a == b)
        return kOk;
    MaskRegion region;
    if (const int err = oval_region(a, b, m.mask->width, m.mask->height, region))
        return err;
    mask_merge_region(m, region, mode);
    return kOk;
}

} // namespace mv
