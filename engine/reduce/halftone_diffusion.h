// Error diffusion for Halftone: the whole input turned into one binary picture per colour
// channel, computed once and then sampled by every preview and Apply.
#pragma once

#include "core/image.h"

namespace mv {

// The cached result: `channels` binary Images (1 for gray, 3 for colour in pixel byte order
// blue, green, red) of the input's size, and the input they were computed from.
struct HalftoneDiffusion {
    Image channel[3];
    int channels = 0;
    const Image* source = nullptr;
    int source_type = 0, source_width = 0, source_height = 0;
};

// Empties the cache.
void diffusion_drop(HalftoneDiffusion& d);

// True when the cache holds the result for `input` (same Image, type and size).
bool diffusion_matches(const HalftoneDiffusion& d, const Image& input);

// Diffuses `input` (8-bit or 16-bit gray or colour; 16-bit samples narrowed first) into
// `d`: rows in serpentine order (row 0 left to right, row 1 right to left, ...), per channel
// u = (255 - v) + carried error; u < 128 gives a white (set) pixel with error u, otherwise a
// black one with error u - 255. The error goes 7/16 ahead in the row, 1/16 ahead and 5/16
// directly into the next row and the remainder behind it in the next row, each division
// dropping its fraction. Progress window "Error Diffusion" for 10000 pixels or more.
// Returns 0, 1, 11 or 14; the cache is empty after a failure.
int diffusion_compute(const Image& input, HalftoneDiffusion& d);

} // namespace mv
