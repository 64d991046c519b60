// The program-wide current tool: the image window under the pointer hands every press, move
// and release to it as (window, image pixel, event), and lets it draw its marks after a paint.
#pragma once

#include "shell/image_view.h"

#include <functional>

class ImageWindow;
class QPainter;

// Tool events, as the engine's tools number them.
enum ToolEvent : int {
    kToolShiftPress = 0,
    kToolPress = 1,
    kToolMove = 2,
    kToolRelease = 3,
    kToolWindowClosing = 4,
    kToolRedrawMarks = 5,
    kToolShiftMove = 6,
};

class ToolHandler {
public:
    virtual ~ToolHandler() = default;
    // `x`, `y` are window (canvas) coordinates; the tool maps them with window_to_image.
    // `ctrl` tells whether Ctrl was held (the mask tool's combine shortcut).
    virtual void toolEvent(ImageWindow* window, int x, int y, int event, bool ctrl) = 0;
    // Draws the tool's marks (rubber lines, clone marker) over the window's picture.
    virtual void paintMarks(ImageWindow* window, QPainter& painter) {}
};

// The current tool, or null (no tool: clicks only focus the window).
ToolHandler* current_tool();
void set_current_tool(ToolHandler* tool);
// Called after every change of the current tool (the frame shows it in the tool bar).
void set_current_tool_listener(std::function<void()> listener);
