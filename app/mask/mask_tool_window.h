// The Mask Tool: a tool window that creates or edits a mask (an 8-bit gray image window of
// the picture's size, hidden while the tool is open) and shows it as a coloured overlay on
// the picture. Shapes are drawn by clicking and dragging on the picture; every operation is
// merged into the mask with the chosen combine mode and can be undone once.
#pragma once

#include "mask/mask_paint.h"
#include "mask/mask_rows.h"
#include "mask/mask_undo.h"
#include "mask/polygon.h"
#include "mask/similar.h"
#include "shell/child_window.h"
#include "shell/current_tool.h"

#include <QPointer>
#include <functional>
#include <vector>

class CurveControl;
class ImageWindow;
class RangeControl;
class Slider;
class QButtonGroup;
class QComboBox;
class QLabel;
class QMainWindow;
class QPushButton;
class QSlider;
class QSpinBox;
class QStackedWidget;
class WorkspaceArea;

class MaskToolWindow : public ChildWindow, public ToolHandler {
    Q_OBJECT
public:
    enum { kKind = 45 };
    enum Operation : int {
        kDrawRegion = 0, kRectangle, kOval, kPolygon, kSpline, kFeather, kSimilar, kPaint,
        kCombine, kBrightnessCurve,
    };

    // Opens the tool over `picture` with a new mask (mask null) or with an existing gray
    // window of the picture's size. 14 for a picture type that cannot be masked or a mask
    // of the wrong type or size, 1 when out of memory; the open tool is activated instead
    // when there is one already.
    static int open(WorkspaceArea* area, ImageWindow* picture, ImageWindow* mask = nullptr);
    // The one open Mask Tool, or null.
    static MaskToolWindow* instance();

    ~MaskToolWindow() override;

    ImageWindow* picture() const { return picture_; }
    ImageWindow* maskWindow() const { return mask_; }
    mv::Image& mask() const;
    int combineMode() const { return mode_; }
    int operation() const { return operation_; }

    // The buttons and choices, as the window's controls call them.
    void setCombineMode(int mode);
    void setOperation(int operation);
    void setOverlay(int colorIndex, int amount);
    // Similar: the colour space (mv::SimilarSpace; a gray picture has V only) and its ranges.
    void setColorSpace(int space);
    mv::SimilarSettings& similar() { return similar_; }
    RangeControl* rangeControl(int channel) const { return ranges_[channel]; }
    // Paint: the mask brush.
    mv::MaskBrushSettings& brush() { return brush_; }
    // Brightness Curve: the curve control.
    CurveControl* curveControl() const { return curve_; }
    void all();
    void none();
    void invert();
    void undo();
    // The "Area..." text of the current mask.
    QString areaText() const;
    void showArea();
    // Applies the current operation's panel (Feather, Similar, Combine, Brightness Curve)
    // or the collected points (Polygon, Spline).
    void apply();
    // OK keeps the mask as a shown gray window; Cancel puts everything back (false when the
    // mask is in use and the tool stays open).
    void accept();
    bool cancel();

    void toolEvent(ImageWindow* window, int x, int y, int event, bool ctrl) override;
    void paintMarks(ImageWindow* window, QPainter& painter) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    MaskToolWindow(WorkspaceArea* area, ImageWindow* picture, ImageWindow* mask, bool created);
    QWidget* buildControls();
    QWidget* buildPanels();
    QWidget* buildSimilarPanel();
    QWidget* buildPaintPanel();
    void showRanges();
    void showBrightnessHistogram();
    void paintStroke(int event, int x, int y);
    void endStroke();
    void areaChanged(const mv::MaskRect& r);
    // Puts everything back as Cancel does, without asking: for a tool closed by the frame.
    void abandon();
    void refreshCombineSources();
    // Runs one operation with the undo copy; on success marks and announces the change.
    void run(const std::function<int()>& op);
    void changed();
    void redrawPicture();
    void finish();
    mv::MaskPoint imagePoint(int x, int y) const;

    WorkspaceArea* area_;
    QPointer<ImageWindow> picture_;
    QPointer<ImageWindow> mask_;
    bool created_;
    bool closing_ = false;
    bool histogramShown_ = false;
    mv::MaskRows rows_;
    mv::MaskUndo undo_;
    mv::MaskUndo saved_; // an existing mask's rows when the tool opened
    int mode_ = mv::MASK_ADD;
    int operation_ = kDrawRegion;
    int colorIndex_ = 0;
    int amount_ = 128;
    mv::SimilarSettings similar_;
    mv::MaskBrushSettings brush_;
    mv::MaskPaint paint_;

    // Pointer state: the trace or the clicked points, and a dragged box.
    std::vector<mv::MaskPoint> points_;
    bool dragging_ = false;
    mv::MaskPoint anchor_, current_;

    QStackedWidget* panels_ = nullptr;
    QButtonGroup* modeGroup_ = nullptr;
    QButtonGroup* operationGroup_ = nullptr;
    QSlider* featherWidth_ = nullptr;
    QLabel* featherLabel_ = nullptr;
    QComboBox* falloff_ = nullptr;
    QComboBox* corners_ = nullptr;
    QComboBox* colorSpace_ = nullptr;
    RangeControl* ranges_[3] = {};
    QLabel* rangeLabels_[3] = {};
    Slider* brushSliders_[3] = {};
    QLabel* brushLabels_[3] = {};
    QComboBox* combineSource_ = nullptr;
    QSpinBox* grayLevel_ = nullptr;
    CurveControl* curve_ = nullptr;
    QPushButton* apply_ = nullptr;
    QList<QPointer<ImageWindow>> sources_;
};

// Adds the "&Mask" menu to the frame: "&New" (command 4500) opens the Mask Tool with a new
// mask over the active window, and commands 4501-4549 list the gray windows of the active
// picture's size to edit as its mask. While the tool is open the menu offers nothing.
void install_mask_menu(QMainWindow& frame, WorkspaceArea* area, std::function<ImageWindow*()> active);
