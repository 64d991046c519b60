// In-place shifts of a whole picture, used when a preview's view scrolls: the content moves
// by n pixels or rows and the part it leaves keeps its old values. n = 0 (or less) does
// nothing. The wait cursor is shown meanwhile.
#pragma once

#include "image.h"

namespace mv {

// Pixel x takes the value of pixel x + n for x = 0 .. width - n - 1 in every row. Binary
// rows move bit by bit; gray, colour, 16-bit gray and 48-bit colour rows move by whole
// pixels (1, 3, 2 and 6 bytes). Other types give 14.
int image_shift_left(Image& img, int n);

// Pixel x takes the value of pixel x - n for x = width - 1 down to n. Same types as
// image_shift_left.
int image_shift_right(Image& img, int n);

// Row r takes the content of row r + n for r = 0 .. height - n - 1 (any type, whole rows).
void image_shift_down(Image& img, int n);

// Row r takes the content of row r - n for r = height - 1 down to n (any type, whole rows).
void image_shift_up(Image& img, int n);

} // namespace mv
