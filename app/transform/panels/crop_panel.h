// Crop's own controls: the "Proportions:" list, "Portrait"/"Landscape", the "Width/Height:"
// fields (for "Custom"), the "Size:" readout with its unit list and the four margin scroll
// bars (for "Arbitrary"). While the window is open the crop rectangle is drawn on the input
// window with handles at its corners and centre: dragging a corner moves it (the opposite
// corner stays), dragging inside moves the rectangle, and dragging outside draws a new one;
// with a proportion the rectangle keeps the dragged diagonal at the proportion's aspect.
#pragma once

#include "filters/crop.h"
#include "shell/current_tool.h"
#include "shell/image_window.h"
#include "transform/operation_panel.h"

#include <QPointer>

class PopupList;
class QLabel;
class QLineEdit;
class QScrollBar;

class CropPanel final : public OperationPanel, public ToolHandler {
    Q_OBJECT
public:
    explicit CropPanel(TransformationWindow* window);
    ~CropPanel() override;

    void inputChanged() override;

    const mv::CropSettings& crop() const { return st_; }
    PopupList* proportions() const { return proportions_; }
    PopupList* orientation() const { return orientation_; }
    QLineEdit* proportionField(int i) const { return i == 0 ? widthField_ : heightField_; }
    QLabel* sizeLabel() const { return size_; }
    PopupList* unitList() const { return unit_; }
    QScrollBar* marginBar(int i) const { return margins_[i]; }

    // ToolHandler
    void toolEvent(ImageWindow* window, int x, int y, int event, bool ctrl) override;
    void paintMarks(ImageWindow* window, QPainter& painter) override;

private:
    enum Drag { kNone, kCorner, kMove, kNew };
    void chooseMode(int mode);
    void customChanged();
    void marginChanged(int side, int value);
    // Holds the proportion after a drag (not in "Arbitrary").
    void fit(const mv::CropHandle& handle);
    // Shows the rectangle in the fields and on the input window, and hands it to the window.
    void commit();
    void showFields();
    int pictureWidth() const;
    int pictureHeight() const;

    mv::CropSettings st_;
    QPointer<ImageWindow> marked_;
    PopupList* proportions_;
    PopupList* orientation_;
    QLineEdit* widthField_;
    QLineEdit* heightField_;
    QLabel* size_;
    PopupList* unit_;
    QScrollBar* margins_[4];
    QLabel* marginValues_[4];
    bool showing_ = false;
    Drag drag_ = kNone;
    mv::CropHandle handle_;
    QPoint anchor_;       // the fixed corner, or where a move started
    mv::CropSettings start_; // the rectangle when the drag began
};
