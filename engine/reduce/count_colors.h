// Count Colors: the exact number of distinct pixel values of a picture.
#pragma once

#include "core/image.h"

#include <cstdint>

namespace mv {

// Counts the distinct pixel values of `img` into `count`:
// - binary: 1 or 2 (the scan stops as soon as both values have been seen);
// - 8-bit and 16-bit gray: the number of different levels;
// - 24-bit and 48-bit colour: the number of different (blue, green, red) triples, all
//   three samples at full precision.
// A cancellable progress window titled "Count Colors" reports after every row for pictures
// of at least 10000 pixels. Returns 0, 1 (out of memory), 11 (cancelled) or 14 (not a
// picture type); `count` is 0 unless the result is 0.
int count_colors(const Image& img, std::int64_t& count);

} // namespace mv
