// Reads a FITS file: a primary header of 80-character cards in 2880-byte blocks and a
// two-dimensional array of 8-bit or 16-bit integers, into a gray Image.
#pragma once

#include "core/image.h"

#include <string>

namespace mv {

// Empties `img` and reads the file into it as IMAGE_GRAY (BITPIX 8) or IMAGE_GRAY16
// (BITPIX 16), with the default resolution of the preferences. The first data row is the top
// of the picture. Header problems are shown with a detailed message and give 84; truncated
// data gives 84; Cancel in the "FITS Read" progress window (shown when `show_progress`)
// gives 11. On failure `img` is left empty.
int fits_read(const std::string& path, Image& img, bool show_progress);

} // namespace mv
