// Edge: a 3x3 edge operator (Roberts, Sobel or Laplacian) whose strength is shown
// ("Compute") or used to darken or lighten the picture along its edges. Colour pictures are
// treated per channel or through their HSV value or HSL lightness.
#pragma once

#include "transform/amount.h"
#include "transform/region.h"

namespace mv {

enum EdgeColorSpace : int { kEdgeRgb = 0, kEdgeHsv = 1, kEdgeHsl = 2 };
enum EdgeMethod : int { kEdgeRoberts = 0, kEdgeSobel = 1, kEdgeLaplacian = 2 };
enum EdgeAction : int { kEdgeCompute = 0, kEdgeDarken = 1, kEdgeLighten = 2 };

struct EdgeSettings {
    AmountBlock amount;
    int color_space = kEdgeRgb;
    int method = kEdgeRoberts;
    int action = kEdgeCompute;
};

inline constexpr const char kEdgeColorSpaceList[] = "Color Space:\0RGB\0HSV\0HSL\0\1";
inline constexpr const char kEdgeMethodList[] = "Method:\0Roberts\0Sobel\0Laplacian\0\1";
inline constexpr const char kEdgeActionList[] = "Action:\0Compute\0Darken\0Lighten\0\1";

// The edge strength of one channel from its 3x3 neighbourhood n[row][column]: row 0 the
// first neighbourhood row, 1 the pixel's own, 2 the last; column 0 left, 1 the pixel, 2
// right. Clamped to 0..top (255 or 65535).
int edge_strength(int method, const int n[3][3], int top);

// The region function (progress title "Edge"). Binary and gray give 8-bit gray, colour
// stays colour, 16-bit types are computed in 16 bits and narrowed in the preview. Errors:
// 14 for other types, 1, 11.
int edge_region(const RegionRequest& q, void* settings);

} // namespace mv
