// The All, None and Invert buttons of the Mask Tool: whole-mask changes that ignore the
// combine mode.
#pragma once

#include "mask_rows.h"

namespace mv {

// Every value becomes 255 and every row state 1.
void mask_all(MaskRows& m);
// Every value becomes 0 and every row state 0.
void mask_none(MaskRows& m);
// Every value m becomes 255 - m; states 0 and 1 swap, mixed rows stay mixed.
void mask_invert(MaskRows& m);

} // namespace mv
