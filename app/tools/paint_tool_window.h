// The "Paint" tool window: brush sliders with a brush preview, the paint colour and the
// Options menu (blend mode, Continuous/Single, colour probe size). While open, image windows
// paint with it.
#pragma once

#include "tools/paint_tool.h"
#include "tools/tool_window_base.h"

class BrushControls;
class ColorControl;
class QMenu;

class PaintToolWindow : public ToolWindowBase {
    Q_OBJECT
public:
    static constexpr int kKind = 6004;
    explicit PaintToolWindow(QWidget* parent = nullptr);

    mv::PaintTool& tool() { return tool_; }
    QMenu* optionsMenu() const { return options_; }

protected:
    void handle(ImageWindow* window, const mv::ToolWindow& target, int x, int y, int event,
                mv::ToolResult& result) override;
    void pressure(int q) override;
    void colorPicked() override;
    bool stroking() const override { return tool_.painting; }

private:
    void buildOptions();
    mv::PaintTool tool_;
    BrushControls* brush_;
    ColorControl* color_;
    QMenu* options_;
};
