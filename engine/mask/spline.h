// The Spline operation: a closed smooth curve through the clicked points, filled as a polygon.
#pragma once

#include "mask_rows.h"
#include "polygon.h"

#include <vector>

namespace mv {

// The outline through `points`, closed from the last point back to the first. The segment
// from point i to point i + 1 is a uniform Catmull-Rom cubic over points i - 1, i, i + 1 and
// i + 2 (indexes wrapping round), which passes through both end points with tangents
// (p[i+1] - p[i-1]) / 2 and (p[i+2] - p[i]) / 2:
//   q(t) = ((-t^3 + 2t^2 - t) p[i-1] + (3t^3 - 5t^2 + 2) p[i]
//           + (-3t^3 + 4t^2 + t) p[i+1] + (t^3 - t^2) p[i+2]) / 2.
// It is sampled at n = round(length / 2) parameters 0, 1/(n-1), ..., 1, where length is the
// distance from point i to point i + 1; a segment with n = 0 adds nothing and one with n = 1
// adds its start point. Samples are rounded to whole pixels. 1 when out of memory.
int spline_points(const std::vector<MaskPoint>& points, std::vector<MaskPoint>& outline);

// Fills the spline's outline into the mask with the combine mode.
int mask_spline(MaskRows& m, const std::vector<MaskPoint>& points, int mode);

} // namespace mv
