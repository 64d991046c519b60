// Scan conversion of polygons into mask regions (Rectangle, Polygon, Draw Region and the
// outline of the Spline), and the pointer trace of Draw Region.
#pragma once

#include "mask_rows.h"

#include <cstdint>
#include <vector>

namespace mv {

// A vertex in picture columns and rows (row 0 at the bottom).
struct MaskPoint {
    std::int32_t x = 0, y = 0;
    bool operator==(const MaskPoint&) const = default;
};

// Fills `region` with the inside of the closed polygon (even-odd rule) on a width x height
// picture. Coordinates are doubled and offset by one, (2x + 1, 2y + 1), and row y is scanned
// at 2y, so no scan line passes through a vertex. Crossings of each row are paired, limited
// to the picture and halved into inclusive column spans; a span that starts where the
// previous one ended is merged with it. Only the rows of the polygon's vertical extent,
// limited to the picture, are in the region. 1 when out of memory.
int polygon_region(const std::vector<MaskPoint>& points, int width, int height,
                   MaskRegion& region);

// The four corners of the box spanned by two opposite corners, as a polygon.
std::vector<MaskPoint> rectangle_points(MaskPoint a, MaskPoint b);

// Fills the polygon into the mask with the combine mode; fewer than two points do nothing.
// 1 when out of memory.
int mask_polygon(MaskRows& m, const std::vector<MaskPoint>& points, int mode);

// The pointer trace of Draw Region, at most 4000 points.
inline constexpr int kMaskTraceLimit = 4000;

// Appends a point to the trace; false (and nothing added) when the trace is full, for the
// caller to beep.
bool mask_trace_add(std::vector<MaskPoint>& trace, MaskPoint p);

} // namespace mv
