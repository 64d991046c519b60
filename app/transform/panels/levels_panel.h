// The Levels and Color window's own controls, in place of the plain fields: "Midtones:" over
// its slider, "Dynamic Range:" over the range control (the output range dragged between
// 0 and 255, the measured black and white points and the probe reading marked on it), the
// "Color Balance:" colour, the "Color Space:" list, "Saturation:" over its slider, and the
// "Options" menu ("&Reset", "&Full Range", "1x1 Probe" .. "9x9 Probe") with the "Probe"
// button. The percentages, range and colour go into the settings each time they are rebuilt;
// the measured points come from the settings (measured again for a new input or colour space).
#pragma once

#include "tone/levels.h"
#include "transform/operation_panel.h"
#include "transform/probe_tool.h"

class ColorSwatch;
class QLabel;
class QMenu;
class QToolButton;
class Slider;

// The dynamic-range control: a gray ramp of levels 0..255 with the low and high knobs of the
// output range below it, ticks at the measured points above it and a probe mark.
class LevelsRangeControl : public QWidget {
    Q_OBJECT
public:
    explicit LevelsRangeControl(QWidget* parent = nullptr);
    void setRange(int low, int high);
    int low() const { return low_; }
    int high() const { return high_; }
    void setMeasured(int black, int white);
    // -1 removes the probe mark.
    void setProbeLevel(int level);
    int probeLevel() const { return probe_; }
    // The pixel position of a level.
    int positionOf(int level) const;
    QSize sizeHint() const override { return QSize(292, 26); }

signals:
    void rangeMoving(int low, int high);
    void rangeReleased(int low, int high);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int levelAt(int x) const;
    int low_ = 0, high_ = 255, black_ = 0, white_ = 255, probe_ = -1;
    int dragging_ = 0; // 0 none, 1 low knob, 2 high knob
};

class LevelsPanel : public OperationPanel {
    Q_OBJECT
public:
    explicit LevelsPanel(TransformationWindow* window);

    Slider* midtonesSlider() const { return midtones_; }
    Slider* saturationSlider() const { return saturation_; }
    LevelsRangeControl* rangeControl() const { return range_; }
    ColorSwatch* balanceSwatch() const { return balance_; }
    QLabel* rangeLabel() const { return rangeLabel_; }
    QLabel* probeReadout() const { return readout_; }
    QToolButton* probeButton() const { return probeButton_; }
    QMenu* optionsMenu() const { return options_; }
    ProbeTool& probe() { return probe_; }
    // The settings as they were last rebuilt, with the panel's values in them.
    const mv::LevelsSettings& settings() const { return last_; }

    // "&Reset" and "&Full Range".
    void reset();
    void fullRange();

    void inputChanged() override;
    void settingsRebuilt(mv::OperationSettings& settings) override;

protected:
    // A closing (or minimised) window stops probing.
    void hideEvent(QHideEvent* event) override;

private:
    void showColourControls();
    void showLabels();
    void probed(ImageWindow* window, const mv::Rgb& color);

    mv::LevelsSettings last_;
    double midtonesPercent_ = 0, saturationPercent_ = 0;
    int rangeLow_ = 0, rangeHigh_ = 255;
    int measuredSpace_ = -1;
    const void* measuredInput_ = nullptr;
    int probeSize_ = 2;
    QLabel *midtonesLabel_, *rangeLabel_, *saturationLabel_, *readout_;
    Slider *midtones_, *saturation_;
    LevelsRangeControl* range_;
    ColorSwatch* balance_;
    QWidget* colourOnly_[2];
    QToolButton* probeButton_;
    QMenu* options_;
    QAction* probeActions_[5];
    ProbeTool probe_;
};
