// File > New: a picture of a chosen type and size, every pixel one colour.
#pragma once

#include "core/image.h"
#include "settings/preferences.h"

namespace mv {

// The largest width or height the New Image window offers.
inline constexpr int kNewImageMaxSide = 16000;

struct NewImageChoice {
    int width = 640;
    int height = 480;
    int type = IMAGE_COLOR;   // 1, 2, 3, 6 or 7
    double resolution = 200;  // pixels per inch
    Rgb fill{255, 255, 255};
};

// The fill colour as stored in one pixel of `type`: gray types take the colour's luminance
// (widened for 16 bits), binary sets the bit from luminance 128 on, 48-bit colour widens
// each channel. Samples are written into `out` in the type's channel order (blue first).
void new_image_pixel(int type, const Rgb& fill, std::uint16_t out[3]);

// Allocates `out` and fills it. 14 for a type that is not a picture type or a side outside
// 1..kNewImageMaxSide, 1 when out of memory (`out` stays empty on failure).
int new_image_create(const NewImageChoice& choice, Image& out);

} // namespace mv
