// Equalize: remaps gray levels, or the value or lightness of colour pixels, so that the
// histogram becomes as flat as possible, by matching the input's cumulative histogram to
// that of a flat target.
#pragma once

#include "transform/amount.h"
#include "transform/region.h"

#include <cstdint>

namespace mv {

enum EqualizeColorSpace : int { EQUALIZE_HSV_V = 0, EQUALIZE_HSL_L = 1 };

struct EqualizeSettings {
    std::int32_t color_space = EQUALIZE_HSV_V;
    AmountBlock amount;
};

// Matches histogram `a` to histogram `b` over `levels` levels (256 or 65536): map[i] is the
// level j whose cumulative share of b is closest to that of a at i, searched forward from
// the previous level's match. The identity when either histogram is empty. With 65536
// levels the walk runs under the progress window "Histogram Match" and returns 11 when
// cancelled; otherwise 0 (1 when the tables cannot be allocated).
int histogram_match(const std::uint32_t* a, const std::uint32_t* b, int levels,
                    std::uint16_t* map);

// The equalizing map of a picture: 256 levels, or 65536 for 16-bit gray and 48-bit colour
// when `wide`. Colour pictures use the HSV value or the HSL lightness. 0, 1, 11 or 14.
int equalize_map(const Image& img, int color_space, bool wide, std::uint16_t* map);

// The region function: gray, colour, 16-bit gray and 48-bit colour, else 14.
int equalize_region(const RegionRequest& q, void* settings);

} // namespace mv
