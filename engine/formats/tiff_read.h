// The program's own TIFF reader: baseline binary, 4-, 8- and 16-bit gray, and 24- and 48-bit
// RGB images, uncompressed or LZW, with or without horizontal differencing.
#pragma once

#include "core/image.h"

#include <string>

namespace mv {

// Reads the first image of the file into `img` (the file's top row becomes the Image's last
// row). With `show_progress` a cancellable "TIFF Read" progress runs over the rows;
// without it pending events are processed after every row and before every strip.
// Problems in the header and directory are shown with a detailed message. Returns 0; 11
// when cancelled; 4 when the file cannot be opened; 56 for everything else. On failure
// `img` is left empty.
int tiff_read(const std::string& path, Image& img, bool show_progress);

} // namespace mv
