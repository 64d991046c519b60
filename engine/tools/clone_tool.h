// The Clone tool: copies pixels from a source point of one image window onto another place
// of the same or another window with the soft brush, saving every stamp for undo. The
// window side forwards mouse events to clone_event and redraws what the result names.
#pragma once

#include "tools/brush.h"
#include "tools/stroke.h"

namespace mv {

// Source modes; the values are the option menu item numbers.
enum CloneSource : int {
    kCloneFree = 3,     // every stroke starts from the same source point
    kCloneLinked = 4,   // the source keeps its offset from the pointer between strokes
    kCloneOneToOne = 5, // the source is the destination point itself
    kCloneFixed = 6,    // every stamp takes the source anchor
};

struct CloneSettings {
    BrushSettings brush;
    int blend = 0;                 // kBlendCopy, kBlendLighten or kBlendDarken
    int source_mode = kCloneLinked;
    bool single = false;           // only the press stamps
    bool tiled = false;            // source coordinates wrap around the source picture
};

struct CloneTool {
    CloneSettings settings;
    Image brush;                   // rebuilt by clone_rebuild_brush

    // Source: window, its picture and the source point in that picture.
    WindowHandle source_window = nullptr;
    Image* source_image = nullptr;
    int source_x = 0, source_y = 0;

    // Anchors of the current (or last) stroke.
    bool anchored = false;
    int anchor_x = 0, anchor_y = 0;               // destination at the press
    int anchor_source_x = 0, anchor_source_y = 0; // source at the press

    // The stroke under way.
    bool painting = false;
    ToolWindow target;
    int last_x = -1, last_y = -1;
    int source_type = 0; // the source picture's type when the stroke began
    UndoMark mark;
};

// True for the pictures the tool paints on and reads from: 8-bit gray, 24-bit colour,
// 16-bit gray, 48-bit colour.
bool clone_type_ok(int type);

// Builds the brush from the settings (also done on the first press). 0 or 1.
int clone_rebuild_brush(CloneTool& tool);

// Handles one tool event at image point (x, y) of `win`. Refused presses set result.error
// (32 for a picture the tool cannot paint on, 34 for a colour source over a gray picture)
// and change nothing. Undo errors during a stroke are shown and painting goes on.
void clone_event(CloneTool& tool, const ToolWindow& win, int x, int y, int event,
                 ToolResult& result);

// A pen pressure q (0..1023) during a stroke sets the transparency and rebuilds the brush.
// True when the settings changed.
bool clone_pressure(CloneTool& tool, int q);

// Screen radius of the source marker for a brush radius at a view zoom (1 = 1:1, N
// magnified, -N reduced), at least 1. The centre square is drawn from 4 on.
int clone_marker_radius(int brush_radius, int zoom);

} // namespace mv
