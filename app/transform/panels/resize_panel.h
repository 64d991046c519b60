// Resize's own controls: "Current" and "New" columns for "Width", "Height" (the New ones typed,
// in the size unit "pixels", "in", "mm" or "cm"), "Resolution" (typed, in "dpi", "dpmm" or
// "dpcm"), "File Size" and "Proportions"; the "Preserve:" and "Interpolation Method:" lists.
// Typed values follow the Preserve mode; the new size and resolution go to the window.
#pragma once

#include "filters/resize_units.h"
#include "transform/operation_panel.h"

class PopupList;
class QLabel;
class QLineEdit;

class ResizePanel final : public OperationPanel {
    Q_OBJECT
public:
    explicit ResizePanel(TransformationWindow* window);

    void inputChanged() override;

    const mv::ResizeState& resizeState() const { return st_; }
    QLineEdit* newWidth() const { return newWidth_; }
    QLineEdit* newHeight() const { return newHeight_; }
    QLineEdit* newResolution() const { return newResolution_; }
    PopupList* sizeUnit() const { return sizeUnit_; }
    PopupList* resolutionUnit() const { return resolutionUnit_; }
    PopupList* preserve() const { return preserve_; }
    PopupList* interpolation() const { return interpolation_; }
    QLabel* currentLabel(int row) const { return current_[row]; }
    QLabel* newLabel(int row) const { return new_[row]; }

private:
    void typed(QLineEdit* field);
    void showState();
    // Hands the new size and resolution to the window.
    void commit();

    mv::ResizeState st_;
    QLineEdit* newWidth_;
    QLineEdit* newHeight_;
    QLineEdit* newResolution_;
    PopupList* sizeUnit_;
    PopupList* resolutionUnit_;
    PopupList* preserve_;
    PopupList* interpolation_;
    QLabel* current_[5]; // width, height, resolution, file size, proportions
    QLabel* new_[5];     // file size and proportions (the others are the fields)
};
