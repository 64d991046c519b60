// The Brightness Curve window's own controls: the curve control (in place of the file field)
// with the input's histogram and probe marks, and the "Color Space:" list below it. The
// curve's points and style go into the settings each time they are rebuilt.
#pragma once

#include "transform/operation_panel.h"
#include "transform/probe_tool.h"

class CurveControl;

class BrightnessCurvePanel : public OperationPanel {
    Q_OBJECT
public:
    explicit BrightnessCurvePanel(TransformationWindow* window);

    CurveControl* curve() const { return curve_; }
    ProbeTool& probe() { return probe_; }

    void inputChanged() override;
    void settingsRebuilt(mv::OperationSettings& settings) override;

protected:
    // A closing (or minimised) window stops probing.
    void hideEvent(QHideEvent* event) override;

private:
    int colorSpace() const;
    void showHistograms();
    void probed(ImageWindow* window, const mv::Rgb& color);

    CurveControl* curve_;
    ProbeTool probe_;
};
