// Feather: softens the mask's edges outwards (positive width) or inwards (negative width) by
// stamping a distance kernel around every edge pixel. Feather replaces the mask; it does not
// use the combine mode.
#pragma once

#include "mask_rows.h"

#include <cstdint>
#include <vector>

namespace mv {

enum FeatherFalloff : int { FEATHER_GRADUAL = 0, FEATHER_STEP = 1 };
enum FeatherCorners : int { FEATHER_ROUND = 0, FEATHER_SQUARE = 1 };

inline constexpr int kFeatherMaxWidth = 64;

// The (2|w| + 1) x (2|w| + 1) kernel, row by row from offset -|w|: with u = dx / (|w| + 1),
// v = dy / (|w| + 1) and d = sqrt(u^2 + v^2) (round corners) or max(|u|, |v|) (square), a
// gradual falloff gives round((1 - d) * 255) limited to 0..255, a step falloff 255 inside
// d < 1 and 0 beyond. Contracting kernels (w < 0) hold 255 - k. w = 0 gives the single
// value 255. 1 when out of memory.
int feather_kernel(int width, int falloff, int corners, std::vector<std::uint8_t>& kernel);

// Feathers the mask by `width` pixels (limited to -64..64; 0 leaves the mask as it is).
// Expanding starts from a mask of 0s: pixels of 255 whose four neighbours are 255 (a
// neighbour outside the picture counts as the pixel itself) stay 255, every other non-zero
// pixel s stamps max(new, P[k][s]) around itself. Contracting is the same with 0 and 255
// exchanged: it starts from 255s, interior 0s stay 0, every other pixel below 255 stamps
// min(new, 255 - P[255 - k][255 - s]). Rows that cannot hold an edge are skipped. A
// cancellable progress window "Feather" runs from 10000 pixels on; cancelling gives 11 and
// leaves the mask as it was. 1 when out of memory.
int mask_feather(MaskRows& m, int width, int falloff, int corners);

} // namespace mv
