// Mirror/Rotate's own controls: a 2 x 4 grid of 128 x 128 thumbnails of the input in the
// eight orientations (top row copy, 90 degrees counter-clockwise, 180 degrees, 90 degrees
// clockwise; bottom row mirror, anti-diagonal, flip, diagonal). Clicking a thumbnail selects
// its orientation; the selected one is framed in red, the others in gray.
#pragma once

#include "core/image.h"
#include "transform/operation_panel.h"

class QToolButton;

class MirrorRotatePanel final : public OperationPanel {
    Q_OBJECT
public:
    explicit MirrorRotatePanel(TransformationWindow* window);

    void inputChanged() override;

    QToolButton* thumbnail(int i) const { return buttons_[i]; }
    // The selected orientation, 200..207.
    int selection() const;
    void select(int orientation);

private:
    void rebuildThumbnails();
    void showSelection();

    QToolButton* buttons_[8];
    mv::Image thumbs_[8];
};
