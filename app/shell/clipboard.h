// Edit > Copy and Paste: pictures travel through the system clipboard as device-independent
// bitmap bytes under "image/bmp", with a plain image beside them for other programs.
#pragma once

#include "core/image.h"

namespace clipboard {

// Puts the picture on the clipboard (binary, 8-bit gray and colour only: 14 otherwise; 101
// when too big; 11 when cancelled). Nothing changes on the clipboard on failure.
int copy(const mv::Image& image);
// Whether the clipboard holds a picture Paste can read.
bool hasBitmap();
// Reads the clipboard's picture into `out` at the default resolution: bitmap bytes first,
// else a plain image taken as 24-bit colour. 70 for compressed bitmaps, 101 for bitmaps too
// big, 2 for truncated ones, 14 when the clipboard holds no picture.
int paste(mv::Image& out);

} // namespace clipboard
