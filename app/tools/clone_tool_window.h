// The "Clone" tool window: brush sliders with a brush preview and the Options menu (blend
// mode, source mode, Continuous/Single, Tiled). While open, image windows clone with it;
// Shift + press sets the source, which is marked by a circle on its window.
#pragma once

#include "tools/clone_tool.h"
#include "tools/tool_window_base.h"

class BrushControls;
class QMenu;

class CloneToolWindow : public ToolWindowBase {
    Q_OBJECT
public:
    static constexpr int kKind = 6003;
    explicit CloneToolWindow(QWidget* parent = nullptr);

    mv::CloneTool& tool() { return tool_; }
    QMenu* optionsMenu() const { return options_; }

    void paintMarks(ImageWindow* window, QPainter& painter) override;

protected:
    void handle(ImageWindow* window, const mv::ToolWindow& target, int x, int y, int event,
                mv::ToolResult& result) override;
    void pressure(int q) override;
    bool stroking() const override { return tool_.painting; }

private:
    void buildOptions();
    mv::CloneTool tool_;
    BrushControls* brush_;
    QMenu* options_;
};
