// The Paint tool: lays the paint colour onto a picture with the soft brush, in one of seven
// blend modes, optionally fading out along the stroke. The window side forwards mouse
// events to paint_event and redraws what the result names.
#pragma once

#include "settings/preferences.h"
#include "tools/blend_modes.h"
#include "tools/brush.h"
#include "tools/stroke.h"

namespace mv {

struct PaintSettings {
    BrushSettings brush;
    int blend = kBlendCopy;    // 0..6
    bool single = false;       // only the press stamps
    int probe = 2;             // colour probe 1..5: (2 probe - 1) square pixels
    Rgb color{255, 255, 255};
};

struct PaintTool {
    PaintSettings settings;
    Image brush;               // rebuilt by paint_rebuild_brush

    bool painting = false;
    ToolWindow target;
    int last_x = -1, last_y = -1;
    double fade_factor = 1.0;
    int fade = 255;            // the fade strength s of the next stamp
};

// True for the pictures the tool paints on: binary, 8-bit gray, 24-bit colour, 16-bit gray,
// 48-bit colour.
bool paint_type_ok(int type);

// Builds the brush from the settings (also done on the first press). 0 or 1.
int paint_rebuild_brush(PaintTool& tool);

// The average colour of the n x n square centred on (x, y), clipped to the picture
// (16-bit values reduced to 8 bits, gray giving equal components). False outside the
// picture or for a type that is not a picture type.
bool probe_color(const Image& image, int x, int y, int n, Rgb& color);

// Handles one tool event at image point (x, y) of `win`. Shift + press picks the paint
// colour (result.color); a press on a picture the tool cannot paint on sets result.error to
// 33 and changes nothing.
void paint_event(PaintTool& tool, const ToolWindow& win, int x, int y, int event,
                 ToolResult& result);

// A pen pressure q (0..1023) during a stroke sets the transparency and rebuilds the brush.
bool paint_pressure(PaintTool& tool, int q);

} // namespace mv
