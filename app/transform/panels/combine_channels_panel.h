// Combine Channels' three sources: image selectors offering the gray and 16-bit gray windows
// of the picture's size, or a solid colour ("Color 1", "Color 2", "Color 3"). The window
// names no input: the picture it opened on gives the result's size.
#pragma once

#include "transform/operation_panel.h"

class ImageSelector;

class CombineChannelsPanel : public OperationPanel {
    Q_OBJECT
public:
    explicit CombineChannelsPanel(TransformationWindow* window);
    void inputChanged() override;
    void settingsRebuilt(mv::OperationSettings& settings) override;
    ImageSelector* selector(int channel) const { return selectors_[channel]; }

private:
    ImageSelector* selectors_[3] = {};
};
