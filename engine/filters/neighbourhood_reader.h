// The neighbourhood row reader: hands a small kernel the 2m+1 rows around each output row,
// with the image's edge rows and columns replicated outwards. Binary input arrives as bytes
// 0/255; every other type keeps its samples (bytes, or 16-bit words for the 16-bit types).
//
// Entry i of the table returned by next() starts m pixels before the centre pixel of output
// column 0 in row y - m + i; the centre of output column j lies m pixels after the start of
// the entry plus j advances, and its neighbours are the adjacent pixels of the entry.
#pragma once

#include "core/image.h"

#include <cstdint>
#include <memory>

namespace mv {

enum NeighbourhoodMode : int {
    kNeighbourhoodDirect = 0,   // entries point into the input rows; advance = step
    kNeighbourhoodCopyAll = 1,  // each buffer holds W*s + 2m pixels from x0 - m on
    kNeighbourhoodCopyEach = 2, // each buffer holds 2m+1 pixels around every sampled pixel
};

inline constexpr int kNeighbourhoodMaxMargin = 2;

struct NeighbourhoodReader {
    const Image* image = nullptr;
    int x0 = 0;
    int step = 1;
    int columns = 0;
    int margin = 1;
    int y = 0;          // centre row of the next call
    int mode = kNeighbourhoodDirect;
    int advance = 1;    // pixels from one output pixel's centre to the next
    int pixel_bytes = 1; // bytes per delivered pixel
    const std::uint8_t* table[2 * kNeighbourhoodMaxMargin + 1] = {};
    std::unique_ptr<std::uint8_t[]> buffers[2 * kNeighbourhoodMaxMargin + 1];
};

// Bytes per pixel as the reader delivers them: 1 for binary and gray, 3 colour, 2 and 6 for
// the 16-bit types; 0 for the pseudo-types.
int neighbourhood_pixel_bytes(int type);

// Prepares the reader for output columns x0 + j*step (j < columns) starting at centre row y0,
// margin 1 or 2. Result 1 when a buffer cannot be allocated, 14 for a type that is not a
// picture, else 0.
int neighbourhood_open(const Image& img, int x0, int y0, int step, int columns, int margin,
                       NeighbourhoodReader& r);

// The table for the next output row (the centre row advances by the step per call).
const std::uint8_t* const* neighbourhood_next(NeighbourhoodReader& r);

// Frees the buffers.
void neighbourhood_close(NeighbourhoodReader& r);

} // namespace mv
