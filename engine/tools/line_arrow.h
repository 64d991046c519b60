// The Line and Arrow tool: one straight anti-aliased line per drag, with arrow heads at
// either or both ends, rendered into the picture on release with 4 x 4 supersampling and
// the even-odd rule. The window side draws the rubber line between start and end while the
// button is held.
#pragma once

#include "core/util.h"
#include "settings/preferences.h"
#include "tools/stroke.h"

#include <vector>

namespace mv {

enum ArrowHead : int { kHeadNone = 0, kHeadEnd = 1, kHeadStart = 2, kHeadBoth = 3 };
enum ArrowStyle : int { kStyleBlunt = 0, kStyleMedium = 1, kStyleNarrow = 2 };

struct LineSettings {
    double width = 5.0;        // pixels, 0..100 (logarithmic slider like the brush radius)
    double transparency = 0.0; // percent
    int head = kHeadNone;      // flags: 1 head at the end point, 2 at the start point
    int style = kStyleMedium;
    Rgb color{0, 0, 0};
};

struct LineTool {
    LineSettings settings;
    bool drawing = false;
    ToolWindow target;
    int start_x = 0, start_y = 0; // image column and row
    int end_x = 0, end_y = 0;
};

// The closed outline of the line from start to end with its heads, in picture columns and
// rows. Empty when the width or the length is 0.
void line_outline(double sx, double sy, double ex, double ey, double width, int head, int style,
                  std::vector<PointF>& out);

// Coverage 0..255 of every pixel of the rectangle first_column..last_column x
// first_row..last_row by the polygon: covered sub-pixels of 4 x 4, times 255 / 16. `out` is
// replaced, row by row from first_row, columns from first_column.
void line_coverage(const std::vector<PointF>& polygon, int image_width, int image_height,
                   int first_column, int first_row, int last_column, int last_row,
                   std::vector<std::uint8_t>& out);

// Renders the line into the picture (8/16-bit gray, 24/48-bit colour), weighted by its
// coverage, the transparency and the mask, after saving the changed rectangle for undo.
// Adds the rectangle to `result`. Returns 0, 1 when out of memory, 33 for another type.
int line_render(const ToolWindow& win, int sx, int sy, int ex, int ey,
                const LineSettings& settings, ToolResult& result);

// Handles one tool event at image point (x, y) of `win`: Shift + press picks the colour,
// press starts the drag (33 for pictures it cannot draw on), moves set the end (result.rubber),
// release renders.
void line_event(LineTool& tool, const ToolWindow& win, int x, int y, int event,
                ToolResult& result);

} // namespace mv
