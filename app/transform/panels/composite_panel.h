// Composite's own controls: the "Overlay: " selector (an image window or a solid colour), the
// "Overlay Amount: " control, the "Operation:" and "Alignment:" lists and "Refine". While the
// window is open it is the image windows' tool: a press on the base or the overlay window
// takes the nearest alignment point of that window to the pointer, a drag moves it, and the
// release recomputes. Points are drawn on both windows with their labels; typing a label
// centres its point in both windows.
#pragma once

#include "core/util.h"
#include "filters/alignment.h"
#include "shell/current_tool.h"
#include "shell/image_window.h"
#include "transform/operation_panel.h"

#include <QColor>
#include <QPointer>

class AmountControl;
class PopupList;
class QPushButton;
class QToolButton;

class CompositePanel final : public OperationPanel, public ToolHandler {
    Q_OBJECT
public:
    explicit CompositePanel(TransformationWindow* window);
    ~CompositePanel() override;

    void inputChanged() override;
    void settingsRebuilt(mv::OperationSettings& settings) override;

    // The overlay window, or null for the solid colour.
    ImageWindow* overlayWindow() const { return overlay_; }
    void chooseOverlay(ImageWindow* window);
    void chooseColor(const QColor& color);
    // Moves point `index` of the base (or the overlay) picture to (x, y), pixels from the
    // top-left, and recomputes.
    void setPoint(bool overlay, int index, double x, double y);
    mv::PointF point(bool overlay, int index) const { return (overlay ? overlayPoints_ : basePoints_)[index]; }
    int pointCount() const;
    // Scrolls the base and overlay windows so that point `index` is centred in both.
    bool centrePoint(int index);
    // "Refine".
    void refine();

    QToolButton* overlaySwatch() const { return swatch_; }
    AmountControl* overlayAmount() const { return overlayAmount_; }
    PopupList* operationList() const { return operation_; }
    PopupList* alignmentList() const { return alignment_; }
    QPushButton* refineButton() const { return refine_; }

    // ToolHandler
    void toolEvent(ImageWindow* window, int x, int y, int event, bool ctrl) override;
    void paintMarks(ImageWindow* window, QPainter& painter) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<ImageWindow*> overlayCandidates() const;
    void pushPoints();
    void updateSwatch();
    void updateRefine();
    void redrawMarks();
    // The list a window's points live in, or null when the window is neither picture.
    mv::PointF* pointsOf(ImageWindow* window);

    QPointer<ImageWindow> overlay_;
    QPointer<ImageWindow> marked_base_;
    QColor color_ = Qt::white;
    mv::PointF basePoints_[mv::kAlignMaxPoints];
    mv::PointF overlayPoints_[mv::kAlignMaxPoints];
    int dragging_ = -1;
    QToolButton* swatch_;
    AmountControl* overlayAmount_;
    PopupList* operation_;
    PopupList* alignment_;
    QPushButton* refine_;
};
