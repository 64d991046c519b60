// Brightness Curve: the mask value of every pixel is a curve of its brightness, merged with
// the combine mode.
#pragma once

#include "mask_rows.h"

#include "tone/curve.h"

namespace mv {

// r = curve(brightness): a binary pixel is 0 or 255, a gray pixel its value, a colour pixel
// its luminance; 16-bit samples are reduced to 8 bits first. The curve becomes one 256-entry
// table before the pixel loop. Rows the mode cannot change are skipped. Cancellable progress
// window "Brightness Curve Mask" from 10000 pixels on (11 on cancel). 14 for a picture of
// another type or size, 1 when out of memory.
int mask_brightness_curve(MaskRows& m, const Image& picture, const Curve& curve, int mode);

} // namespace mv
