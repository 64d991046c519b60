// The brush sliders of the Clone and Paint windows (radius, transparency, softness, spacing
// and, for Paint, fadeout) with their labels and a preview of the brush image.
#pragma once

#include "core/image.h"
#include "tools/brush.h"

#include <QWidget>
#include <functional>

class QLabel;
class Slider;

class BrushControls : public QWidget {
    Q_OBJECT
public:
    // `settings` and `brush` belong to the engine tool; `rebuild` rebuilds its brush image.
    BrushControls(mv::BrushSettings& settings, const mv::Image& brush, bool fadeout,
                  std::function<void()> rebuild, QWidget* parent = nullptr);

    // Shows the settings (after a pen changed the transparency) and the brush.
    void refresh();

    Slider* radiusSlider() const { return radius_; }
    Slider* transparencySlider() const { return transparency_; }

private:
    void updateLabels();
    void updatePreview();
    mv::BrushSettings& settings_;
    const mv::Image& brush_;
    std::function<void()> rebuild_;
    Slider *radius_, *transparency_, *softness_, *spacing_, *fadeout_ = nullptr;
    QLabel *radiusLabel_, *transparencyLabel_, *softnessLabel_, *spacingLabel_,
        *fadeoutLabel_ = nullptr;
    QLabel* preview_;
};
