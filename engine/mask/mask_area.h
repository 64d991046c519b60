// The Mask Tool's "Area..." button: how many pixels the mask selects, counting each pixel by
// its value / 255, and what share of the picture that is.
#pragma once

#include "core/image.h"

#include <string>

namespace mv {

struct MaskArea {
    double pixels = 0;   // sum of value / 255 over the mask
    double coverage = 0; // 100 * pixels / (width * height)
};

// Measures an 8-bit gray mask (progress window "Area" from 10000 pixels on). An empty mask or
// another type measures 0.
MaskArea mask_area(const Image& mask);

// "%2f pixels\n%2f percent coverage".
std::string mask_area_text(const MaskArea& a);

// Measures the mask and shows the text in a message box captioned "Mask Area".
void mask_area_show(const Image& mask);

} // namespace mv
