// Color Curves: three tone curves applied to the hue, saturation and value (or lightness)
// of colour pixels, or to their red, green and blue channels, blended by the amount.
#pragma once

#include "curve.h"
#include "curve_files.h"

#include "transform/amount.h"
#include "transform/region.h"

#include <cstdint>

namespace mv {

struct ColorCurvesSettings {
    AmountBlock amount;
    std::int32_t color_space = CURVE_SPACE_HSV;
    Curve curves[3]; // H, S, V / H, S, L / R, G, B
};

// "&Reset": each curve back to (0, 0)-(255, 255).
void color_curves_reset(ColorCurvesSettings& s);

// The 12-bit table of 4097 entries for an 8-bit table:
// T[i] = (table[(i * 255 + 2048) / 4096] * 4096 + 127) / 255.
void color_curves_table12(const std::uint8_t* table, std::uint16_t* table12);

// The region function: colour and 48-bit colour, else 14.
int color_curves_region(const RegionRequest& q, void* settings);

} // namespace mv
