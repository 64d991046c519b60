// The compute driver: runs a transformation's region function either over the whole output
// into a new result window (Apply) or over the visible part, or one strip, of the preview.
// Also the arithmetic of the preview window: its first zoom and place, the region and origin
// a preview run computes, the strip a scroll uncovers, and where results cascade.
#pragma once

#include "shell/window_records.h"
#include "transform/region.h"
#include "transform/transformation_state.h"

#include <optional>

namespace mv {

// What a preview run computes, for a preview at `zoom` whose client area is
// client_width x client_height.
struct PreviewRegion {
    int x0 = 0, y0 = 0;                       // origin in input pixels
    int first_column = 0, first_row = 0;      // in the display, rows from the bottom
    int last_column = -1, last_row = -1;
    int columns = 0, rows = 0;                // input pixels to compute
};

// `rect` is in client coordinates (rows from the top, inclusive edges), null for the whole
// client area; it is held to the client area. The view is given by its first visible image
// column and its last visible image row (counted from the top) in a picture `image_height`
// rows high.
PreviewRegion preview_region(int zoom, int client_width, int client_height, const IntRect* rect,
                             int first_visible_column, int last_visible_row, int image_height);

// The zoom a new preview opens at: the smallest k whose reduced picture plus the frame and
// twice the border fits half the client area (1 for k = 1, else -k).
int preview_initial_zoom(int width, int height, int frame_width, int frame_height, int border,
                         int area_width, int area_height);

// The preview's outer size for `zoom` and its left edge (right-aligned, top 0).
void preview_geometry(int width, int height, int zoom, int frame_width, int frame_height,
                      int area_width, int& left, int& outer_width, int& outer_height);

// A new preview's view: the whole picture, no scrolling.
void preview_view_setup(WindowRecord& r, int width, int height, int zoom);

// Where the n-th result of a window cascades from its input window's position.
void result_position(int input_left, int input_top, int margin, int caption_step, int count,
                     int& left, int& top);

// The strip of the preview to recompute after its scroll position moved from old_position
// to new_position on one axis (positions in display pixels); none when the views do not
// overlap and the whole preview must be recomputed. At magnification z > 1 the strip's
// inner edge is rounded down to a multiple of z. The strip is in client coordinates; it is
// empty (right < left) when the position did not move.
std::optional<IntRect> preview_scroll_strip(bool horizontal, int old_position, int new_position,
                                            int visible_width, int visible_height, int zoom);

// The driver. A preview run (full false) computes `rect` of the preview (null: all of it)
// and does nothing while the preview is current; a full run computes the whole output into a
// new result window. A failed run closes the preview (or destroys the unfinished result),
// shows the message and activates the transformation window. Returns the region function's
// code (0 for a run that had nothing to do).
int run_code(TransformationState& st, TransformationHost& host, void* settings, bool full,
             const IntRect* rect, RegionFunction fn);

// The same, true exactly when the run was cancelled.
bool run(TransformationState& st, TransformationHost& host, void* settings, bool full,
         const IntRect* rect, RegionFunction fn);

} // namespace mv
