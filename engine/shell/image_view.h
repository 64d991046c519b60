// The arithmetic of an image window's view: zoom steps and zoomed sizes, the visible part
// and its scroll bars, scrolling, centring, titles and the mapping between window points
// and image pixels. Everything works on a WindowRecord and plain numbers, so the editor's
// windows only apply the results.
#pragma once

#include "shell/window_records.h"

#include <optional>
#include <string>
#include <string_view>

namespace mv {

// What a window knows about its surroundings, in pixels.
struct ViewMetrics {
    int client_width = 0, client_height = 0; // the image window's client area
    int border = 8;                          // margin around a centred picture
    int scrollbar_width = 16;                // width of the vertical bar
    int scrollbar_height = 16;               // height of the horizontal bar
    int frame_width = 0, frame_height = 0;   // a child window's frame around its client area
    int area_width = 0, area_height = 0;     // the frame's client area holding the windows
    bool normal_state = true;                // neither minimised nor maximised
};

struct ImagePoint {
    int column = 0, row = 0; // row counted from the bottom, as in Image
};

// L x z for z >= 1, L / N rounded up for z = -N.
int zoomed_length(int length, int zoom);
// Zoom In adds 1 jumping from -1 to 1; Zoom Out subtracts 1 jumping from 0 to -2.
int zoom_step_in(int zoom);
int zoom_step_out(int zoom);

// "Untitled %d" (index + 1) or the path, or "Preview"; picture types get " (%d:1)" or
// " (1:%d)"; cut at 260 characters.
std::string image_window_title(std::string_view path, int index, int type, int zoom,
                               bool preview = false);

struct ScrollBarsNeeded {
    bool horizontal = false, vertical = false;
};

// Deducts the scroll bars a picture of zoomed size dw x dh needs from the target size.
ScrollBarsNeeded scrollbar_deduction(int dw, int dh, int& target_w, int& target_h,
                                     int scrollbar_w, int scrollbar_h);

// The outcome of sizing the visible part: a client size the window must take, if any.
struct VisibleOutcome {
    bool resize = false;
    int client_width = 0, client_height = 0;
};

// Computes the visible size for the record's zoom; `shrink` and `grow` let the window
// resize itself to the picture (both ignored outside the normal state).
VisibleOutcome view_visible_size(WindowRecord& r, const ViewMetrics& m, bool shrink, bool grow);

// Sets the scroll maxima, positions and display rectangle after the visible size changed,
// around `centre` (an image pixel) or keeping the old relative position.
void view_scroll_setup(WindowRecord& r, const std::optional<ImagePoint>& centre);

// The shown image rectangle from the display rectangle.
void view_shown_rect(WindowRecord& r);

// Margins at which a display image smaller than the client area is drawn.
void view_centring(WindowRecord& r, const ViewMetrics& m);

bool view_hbar_shown(const WindowRecord& r);
bool view_vbar_shown(const WindowRecord& r);

enum class ScrollAxis { kHorizontal, kVertical };
int scroll_line(int visible);  // visible / 8
int scroll_page(int visible);  // visible * 7 / 8
int scroll_position(const WindowRecord& r, ScrollAxis axis);
// Moves the view to `position` (clamped, at magnification rounded down to a multiple of the
// zoom). True when it moved: the display image must then be rebuilt.
bool view_scroll_to(WindowRecord& r, ScrollAxis axis, int position);

// Window point to image pixel; with `clamp` the result is limited to the picture.
ImagePoint window_to_image(const WindowRecord& r, int x, int y, bool clamp);
// Image pixel to the window point of its top-left corner.
void image_to_window(const WindowRecord& r, ImagePoint p, int& x, int& y);

// The zoom a new window opens at: 1, or -n for the smallest n whose reduced picture plus the
// frame and borders fits the area.
int initial_zoom(int width, int height, const ViewMetrics& m);
// Expand: grow the zoom while the picture plus borders is smaller than the area, then
// shrink it until it fits. Fit: only the second step.
int expand_zoom(int zoom, int width, int height, const ViewMetrics& m);
int fit_zoom(int zoom, int width, int height, const ViewMetrics& m);

// The whole view set-up for a zoom operation: visible size (possibly asking for a resize),
// scroll set-up and centring. The window applies `resize` and then calls view_refit.
VisibleOutcome view_apply_zoom(WindowRecord& r, const ViewMetrics& m, bool shrink, bool grow,
                               const std::optional<ImagePoint>& centre);
// Re-fit after a size change: recompute the visible size without resizing, scroll set-up
// without centre, centring. True when the display rectangle changed (rebuild needed).
bool view_refit(WindowRecord& r, const ViewMetrics& m);

// Resets the view to the whole picture at 1:1 positions (window creation).
void view_reset(WindowRecord& r);

} // namespace mv
