#include "polygon.h"

#include "core/error.h"

#include <algorithm>
#include <new>

namespace mv {
namespace {

struct Doubled {
    long long x, y;
};

// Vertices far outside any picture are pulled in to +-2^24 so crossing products stay exact.
long long doubled(std::int32_t v)
{
    constexpr long long kLimit = 1LL << 24;
    return 2 * std::clamp<long long>(v, -kLimit, kLimit) + 1;
}

// Crossings of the doubled scan line `sy` with every non-horizontal edge whose doubled
// y-range contains it. Doubled vertex rows are odd and scan lines even, so the test is strict.
void row_crossings(const std::vector<Doubled>& d, long long sy, std::vector<long long>& xs)
{
    xs.clear();
    const size_t n = d.size();
    for (size_t k = 0; k < n; ++k) {
        const Doubled& a = d[k];
        const Doubled& b = d[(k + 1) % n];
        if (a.y == b.y)
            continue;
        if (sy < std::min(a.y, b.y) || sy > std::max(a.y, b.y))
            continue;
        xs.push_back(a.x + (b.x - a.x) * (sy - a.y) / (b.y - a.y));
    }
    std::sort(xs.begin(), xs.end());
}

// Pairs of crossings to column spans limited to the picture, merging touching spans.
void row_spans(const std::vector<long long>& xs, int width, std::vector<MaskSpan>& spans)
{
    const long long last = 2LL * width - 1; // the doubled coordinate of the right edge
    for (size_t i = 0; i + 1 < xs.size(); i += 2) {
        long long c0 = xs[i], c1 = xs[i + 1];
        if (c1 < 0 || c0 > last)
            continue;
        c0 = std::max(c0, 0LL);
        c1 = std::min(c1, last);
        const int x0 = int(c0 / 2), x1 = int(c1 / 2);
        if (!spans.empty() && x0 <= spans.back().x1)
            spans.back().x1 = std::max(spans.back().x1, x1);
        else
            spans.push_back({x0, x1});
    }
}

} // namespace

int polygon_region(const std::vector<MaskPoint>& points, int width, int height,
                   MaskRegion& region)
{
    region.first_row = 0;
    region.rows.clear();
    if (points.empty() || width <= 0 || height <= 0)
        return kOk;
    try {
        std::vector<Doubled> d(points.size());
        int ymin = points[0].y, ymax = points[0].y;
        for (size_t k = 0; k < points.size(); ++k) {
            d[k] = {doubled(points[k].x), doubled(points[k].y)};
            ymin = std::min(ymin, points[k].y);
            ymax = std::max(ymax, points[k].y);
        }
        ymin = std::max(ymin, 0);
        ymax = std::min(ymax, height - 1);
        if (ymin > ymax)
            return kOk;
        region.first_row = ymin;
        region.rows.resize(ymax - ymin + 1);
        std::vector<long long> xs;
        for (int y = ymin; y <= ymax; ++y) {
            row_crossings(d, 2LL * y, xs);
            row_spans(xs, width, region.rows[y - ymin]);
        }
    } catch (const std::bad_alloc&) {
        region.rows.clear();
        return kOutOfMemory;
    }
    return kOk;
}

std::vector<MaskPoint> rectangle_points(MaskPoint a, MaskPoint b)
{
    return {{a.x, a.y}, {b.x, a.y}, {b.x, b.y}, {a.x, b.y}};
}

int mask_polygon(MaskRows& m, const std::vector<MaskPoint>& points, int mode)
{
    if (points.size() < 2)
        return kOk;
    MaskRegion region;
    if (const int err = polygon_region(points, m.mask->width, m.mask->height, region))
        return err;
    mask_merge_region(m, region, mode);
    return kOk;
}

bool mask_trace_add(std::vector<MaskPoint>& trace, MaskPoint p)
{
    if (int(trace.size()) >= kMaskTraceLimit)
        return false;
    try {
        trace.push_back(p);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace mv
