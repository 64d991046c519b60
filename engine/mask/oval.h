// The Oval operation: the ellipse inscribed in a dragged box, as a mask region.
#pragma once

#include "mask_rows.h"
#include "polygon.h"

namespace mv {

// Fills `region` with the oval inside the box with corners a and b (any order) on a
// width x height picture. Each row y of the box (limited to the picture) gets the span
// round(cx - h) .. round(cx + h), with cx the box's middle column, t the row's distance from
// the middle row over half the box height, and h = sqrt(1 - t^2) times half the box width;
// a box one row high is a single span over its width. Spans are limited to the picture.
// Coinciding corners give an empty region. 1 when out of memory.
int oval_region(MaskPoint a, MaskPoint b, int width, int height, MaskRegion& region);

// Merges the oval into the mask with the combine mode; nothing for coinciding corners.
int mask_oval(MaskRows& m, MaskPoint a, MaskPoint b, int mode);

} // namespace mv
