// Halftone's "Halftone Screen Image:" selector: the 8-bit gray window whose pixels are the
// thresholds of the "Custom" method. Choosing one recomputes the preview when "Custom" is the
// method. The error-diffusion result computed for the input is kept from one settings
// record to the next, so a change of the amount does not diffuse the picture again.
#pragma once

#include "transform/operation_panel.h"

class ImageSelector;

namespace mv {
struct HalftoneSettings;
}

class HalftonePanel : public OperationPanel {
    Q_OBJECT
public:
    explicit HalftonePanel(TransformationWindow* window);
    void settingsRebuilt(mv::OperationSettings& settings) override;
    ImageSelector* screenSelector() const { return screen_; }

private:
    ImageSelector* screen_;
    mv::HalftoneSettings* last_ = nullptr; // the record the window holds now
};
