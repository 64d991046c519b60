// Paint: the mask brush laid along the pointer's path while the button is down. A stroke
// gathers, per pixel, the strongest brush weight it laid there (its coverage c) and keeps
// the mask equal to the mask as it was before the stroke (b) merged with c by the combine
// mode: Add max(b, c), Subtract b - c (at least 0), Overlap min(b, c), Invert b XOR c.
// Crossing a spot twice therefore never compounds, and Overlap keeps only what the stroke
// covers, clearing the rest of the mask from the press on.
#pragma once

#include "mask_rows.h"
#include "mask_undo.h"

namespace mv {

// The mask brush: radius in pixels (0..100), transparency and softness in percent, shaped
// as the retouching brush (full weight up to (100 - softness)% of the radius, falling
// linearly to 0 at the radius; peak weight (100 - transparency)% of 255).
struct MaskBrushSettings {
    double radius = 10.0;
    double transparency = 0.0;
    double softness = 50.0;
};

// Stamps are a quarter of the radius apart (at least one pixel).
inline constexpr double kMaskPaintSpacing = 0.25;

// An inclusive rectangle of mask pixels; empty when last_column < first_column.
struct MaskRect {
    int first_column = 0, first_row = 0, last_column = -1, last_row = -1;
    bool empty() const { return last_column < first_column || last_row < first_row; }
};

struct MaskPaint {
    Image brush;     // weights 0..255, built at the press
    Image coverage;  // the stroke's coverage, the mask's size
    int mode = MASK_ADD;
    int step = 1;
    int last_x = 0, last_y = 0;
    bool painting = false;
};

// Starts a stroke at mask point (x, y). `before` is the copy of the mask taken just before
// (the undo copy): the stroke merges into it. Builds the brush, allocates the coverage, and
// lays the first stamp; with Overlap every row outside the stamp is cleared as well.
// `changed` receives the pixels that may have changed. 1 when out of memory (nothing
// changed then), 14 when `before` is not a copy of this mask.
int mask_paint_begin(MaskRows& m, const MaskUndo& before, MaskPaint& p, const MaskBrushSettings& s,
                     int mode, int x, int y, MaskRect& changed);

// Moves the stroke to (x, y): stamps at every step along the way from the last stamp. A move
// of less than one step lays nothing yet. No effect outside a stroke.
void mask_paint_to(MaskRows& m, const MaskUndo& before, MaskPaint& p, int x, int y, MaskRect& changed);

// Ends the stroke and frees its coverage and brush.
void mask_paint_end(MaskPaint& p);

} // namespace mv
