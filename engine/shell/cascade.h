// Cascade placement of the workspace's windows: pure arithmetic on positions, so the window
// side only moves windows where these functions say.
#pragma once

#include <vector>

namespace mv {

struct CascadeMetrics {
    int step = 0;          // horizontal step: dialog text height + twice the sizing frame
    int caption_frame = 0; // vertical step: caption height + twice the sizing frame
    int client_width = 0;  // the workspace holding the windows
    int client_height = 0;
};

struct CascadePoint {
    int x = 0, y = 0;
    bool operator==(const CascadePoint&) const = default;
};

// The first position: a quarter of the step on both axes.
int cascade_origin(const CascadeMetrics& m);

// Positions of `count` windows given in window order. The last window is placed first, at
// the origin; each next one moves right by the step and down by the caption height. When y
// reaches a third of the client height it returns to the origin, and x does too once it
// has reached a third of the client width.
std::vector<CascadePoint> cascade_positions(int count, const CascadeMetrics& m);

// Where a new window goes relative to the window it comes from: one step right and one
// caption height down, each axis returning to the origin at a third of the client size.
CascadePoint cascade_next(CascadePoint from, const CascadeMetrics& m);

} // namespace mv
