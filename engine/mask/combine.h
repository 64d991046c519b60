// Combine: merges another mask, or one gray level everywhere, into the mask with the combine
// mode.
#pragma once

#include "mask_rows.h"

namespace mv {

// The combine source: another 8-bit gray image of the mask's size, or (source null) the
// constant `level` 0..255 at every pixel ("Mask Gray Level").
struct CombineSource {
    const Image* image = nullptr;
    int level = 0;
};

// Merges the source's value at every pixel with the combine mode, skipping rows the mode
// cannot change. Cancellable progress window "Combine" from 10000 pixels on (11 on cancel).
// 14 for a source image that is not 8-bit gray of the mask's size, 1 when out of memory.
int mask_combine(MaskRows& m, const CombineSource& source, int mode);

} // namespace mv
