// Measures and conversions of whole pictures: the area of a gray mask and the reduction of
// 16-bit pictures to 8 bits.
#pragma once

#include "image.h"

namespace mv {

// Sum over an 8-bit gray image of value / 255: each row's integer sum is divided by 255.0
// and added. A progress window titled "Area", which cannot be cancelled, is shown from
// 10000 pixels on. Other types measure 0.
double image_area(const Image& img);

// `dst` becomes an 8-bit gray image of the 16-bit gray source's size and resolution, each
// sample v becoming (v * 255 + 32767) / 65535. With show_progress a cancellable progress
// window titled "Convert to 8-bit" is shown (11 on cancel). Another source type gives 14.
int image_reduce_gray16(const Image& src, Image& dst, bool show_progress);

// The same for 48-bit colour to 24-bit colour, each sample keeping its position.
int image_reduce_color48(const Image& src, Image& dst, bool show_progress);

} // namespace mv
