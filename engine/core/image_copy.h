// Whole-image copies: the copy with a progress window, cropping, and the Copy and Negative
// commands.
#pragma once

#include "image.h"

namespace mv {

// Allocates `dst` like `src` and copies every row under a cancellable progress window
// titled "Copy", whatever the size. A cancel returns 11 with the rows copied so far.
int image_copy(const Image& src, Image& dst);

// Copies the inclusive rectangle left..right, bottom..top (row 0 at the bottom) into `dst`,
// which gets the source's type and resolution. Pseudo-types get storage of the crop's size
// but no pixels. A rectangle that is empty or reaches outside the source gives 73 and leaves
// `dst` untouched. No progress window.
int image_crop(const Image& src, int left, int bottom, int right, int top, Image& dst);

// The Copy command: a picture-type source is copied into `dst` (11 on cancel); other types
// give 14 and leave `dst` untouched. A progress window titled "Copy" is shown from 10000
// pixels on.
int geometry_copy(const Image& src, Image& dst);

// The Negative command: `dst` becomes the negative of a picture-type source (other types
// give 14). Binary, gray and colour rows are complemented byte by byte over the whole row,
// padding included; 16-bit samples become 65535 - value. A progress window titled
// "Negative" is shown from 10000 pixels on.
int gray_negative(const Image& src, Image& dst);

} // namespace mv
