// Brightness Curve: one tone curve applied to gray levels, or to the value, the lightness or
// each channel of colour pixels, blended with the input by the amount.
#pragma once

#include "curve.h"
#include "curve_files.h"

#include "transform/amount.h"
#include "transform/region.h"

namespace mv {

struct BrightnessCurveSettings {
    AmountBlock amount;
    Curve curve;
    std::int32_t color_space = CURVE_SPACE_HSV;
};

// The region function: binary, gray, colour, 16-bit gray and 48-bit colour, else 14. Binary
// and gray give gray.
int brightness_curve_region(const RegionRequest& q, void* settings);

} // namespace mv
