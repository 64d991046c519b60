// What the brush tools share: the tool events an image window delivers, the window a tool
// paints into, what an event changed, the stepping of stamps along the pointer's path and
// the visit of one stamp's brush pixels with their final weights.
#pragma once

#include "core/image.h"
#include "core/product_table.h"
#include "core/undo.h"

#include <vector>

namespace mv {

// Tool events, passed with the image point under the pointer.
enum ToolEvent : int {
    kToolShiftPress = 0, // left button pressed with Shift
    kToolPress = 1,      // left button pressed
    kToolMove = 2,       // pointer moved
    kToolRelease = 3,    // left button released
    kToolClosing = 4,    // the image window is closing
    kToolViewChanged = 5,// zoom or scroll changed: redraw on-screen marks
    kToolShiftMove = 6,  // pointer moved with Shift held (treated as a move)
};

// Refusals of a press.
inline constexpr int kCantCloneType = 32;          // "Can't clone an image of this type"
inline constexpr int kCantPaintType = 33;          // "Can't paint or draw on an image of this type"
inline constexpr int kCantCloneColorOverGray = 34; // "Can't clone color over gray"

// The image window an event comes from.
struct ToolWindow {
    WindowHandle window = nullptr;
    Image* image = nullptr;
    const Image* mask = nullptr; // the window's mask (8-bit gray of the picture's size) or null
};

// What an event did, for the window side to act on.
struct ToolResult {
    int error = 0;                  // a refused press: show it and drop the tool
    WindowHandle window = nullptr;  // the window whose pixels changed
    bool changed = false;           // pixels changed inside the rectangle below
    int first_column = 0, first_row = 0, last_column = -1, last_row = -1; // inclusive
    bool finished = false;          // a stroke or line ended: mark modified, notify users
    bool marker = false;            // the clone source marker moved, vanished or needs redraw
    bool color = false;             // a colour was picked from the picture
    bool rubber = false;            // the line tool's rubber line changed
};

// Adds a changed rectangle of `window` to the result.
void tool_result_add(ToolResult& r, WindowHandle window, int first_column, int first_row,
                     int last_column, int last_row);

// Pointer positions are held to +-2^22 so that paths far outside any picture stay cheap and
// the arithmetic cannot overflow.
inline constexpr int kToolCoordinateLimit = 1 << 22;
inline int tool_coordinate(int v)
{
    return v < -kToolCoordinateLimit ? -kToolCoordinateLimit
                                     : v > kToolCoordinateLimit ? kToolCoordinateLimit : v;
}

struct StrokePoint {
    int x = 0, y = 0;
};

// round(spacing * radius), at least 1.
int stroke_step(double spacing, double radius);

// The stamp centres from the last stamp (x0, y0) to (x1, y1): n = max(|dx|, |dy|) / step,
// at least 1, centres at P0 + d * i / n for i = 1..n (truncating). A last stamp of (-1, -1)
// gives only (x1, y1). `out` is replaced.
void stroke_points(int x0, int y0, int x1, int y1, int step, std::vector<StrokePoint>& out);

// The rectangle a stamp at (x, y) saves and redraws: x +- (W + 1) / 2, y +- (H + 1) / 2,
// clipped to the picture. False when it misses the picture.
bool stamp_rect(const Image& image, int x, int y, int brush_width, int brush_height,
                int& first_column, int& first_row, int& last_column, int& last_row);

// The mask when it can weight `image` (8-bit gray of the same size), else null.
const Image* usable_mask(const Image* mask, const Image& image);

// Visits every brush pixel of a stamp at (x, y) that lands inside the picture with a
// non-zero final weight: the brush weight, scaled by 255 - mask value when there is a mask
// and by the fade strength when it is below 255. Rows (columns) go upward when `rows_up`
// (`cols_up`), else downward. fn(column, row, brush_i, brush_j, weight). The product table
// must be built.
template <class Fn>
void stamp_visit(const Image& image, const Image& brush, const Image* mask, int x, int y,
                 int fade, bool rows_up, bool cols_up, Fn&& fn)
{
    const int bw = brush.width, bh = brush.height;
    const int x0 = x - bw / 2, y0 = y - bh / 2;
    for (int jj = 0; jj < bh; ++jj) {
        const int j = rows_up ? jj : bh - 1 - jj;
        const int row = y0 + j;
        if (row < 0 || row >= image.height)
            continue;
        const std::uint8_t* b = brush.row(j);
        const std::uint8_t* m = mask ? mask->row(row) : nullptr;
        for (int ii = 0; ii < bw; ++ii) {
            const int i = cols_up ? ii : bw - 1 - ii;
            const int column = x0 + i;
            if (column < 0 || column >= image.width)
                continue;
            int w = b[i];
            if (m)
                w = product(w, 255 - m[column]);
            if (fade != 255)
                w = product(w, fade);
            if (w)
                fn(column, row, i, j, w);
        }
    }
}

} // namespace mv
