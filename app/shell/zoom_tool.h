// The zoom tool: a click zooms the clicked window in around the clicked pixel, a Shift-click
// zooms it out (growing the window back); the pointer shows which of the two a click does.
#pragma once

#include "shell/current_tool.h"

class ZoomTool final : public ToolHandler {
public:
    // The program's one zoom tool.
    static ZoomTool* instance();
    void toolEvent(ImageWindow* window, int x, int y, int event, bool ctrl) override;
};
