// The display image of an image window: the visible part of the picture, zoomed by nearest
// sampling and converted for the screen (16-bit samples narrowed, colour through the display
// lookup tables), stored bottom-up like every Image so it can be drawn straight from its rows.
#pragma once

#include "core/display_lookup.h"
#include "shell/window_records.h"

#include <cstdint>

namespace mv {

// The display image type for a picture type: 1 binary, 2 gray (8 and 16-bit), 3 colour.
int display_type(int picture_type);
// The display image type of a record: colour whenever a mask overlay is shown over its
// picture, else the type for its picture.
int display_type(const WindowRecord& r);

// While a mask overlay is shown, the record's `mask_window` handle is the mask's `Image`
// (the picture of the mask window's own record, whose slot never moves), so the display
// build reads the mask straight from it.
inline const Image* overlay_mask(const WindowRecord& r)
{
    return static_cast<const Image*>(r.mask_window);
}

// Reallocates the display image at the visible size and builds all of it. 1 when it cannot
// be allocated, 14 for a type that has no display image.
int display_build(WindowRecord& r);

// Rebuilds display columns x0..x1 and rows y0..y1 (counted from the top of the display
// image, inclusive) of an already allocated display image.
void display_build_region(WindowRecord& r, int x0, int y0, int x1, int y1);

} // namespace mv
