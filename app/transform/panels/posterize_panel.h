// Posterize's palette: the "Auto Palette" button and the "Color %d" swatches, four to a row,
// with the "Remapped Color %d" swatches below them while "Remap Colors" is on; only the first
// "Number of colors:" of each are shown. The colours travel in the operation's palette texts,
// so the window computes exactly what the batch tool does with the same texts.
#pragma once

#include "reduce/posterize.h"
#include "transform/operation_panel.h"

#include <QList>

class QLabel;
class QPushButton;
class QToolButton;

class PosterizePanel : public OperationPanel {
    Q_OBJECT
public:
    explicit PosterizePanel(TransformationWindow* window);
    void settingsRebuilt(mv::OperationSettings& settings) override;

    // Sets colour `index` (0..31) of the palette or of the remapped palette and recomputes.
    void setColor(bool remapped, int index, const QColor& color);
    QColor color(bool remapped, int index) const;
    // Fills both palettes from the input, as the button does. Returns 0 or an error code.
    int autoPalette();
    QToolButton* swatch(bool remapped, int index) const;
    QPushButton* autoButton() const { return auto_; }

private:
    QWidget* buildGrid(bool remapped);
    void showPalette();
    mv::PosterizePalette colors_ = mv::posterize_default_palette();
    mv::PosterizePalette remapped_ = mv::posterize_default_palette();
    QPushButton* auto_;
    QWidget* grids_[2] = {};
    QList<QWidget*> cells_[2];
    QList<QToolButton*> swatches_[2];
};
