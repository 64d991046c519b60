// The Monitor Calibration window: the reference picture shown through the curve being
// edited, a brightness test pattern, the calibration curve with its five draggable points
// and their colours, and the white point. While it is open the screen is uncorrected
// (identity tables); OK installs the new curve, Cancel puts the old one back.
#pragma once

#include "core/image.h"
#include "shell/calibration.h"
#include "shell/child_window.h"

#include <QColorDialog>
#include <QImage>
#include <QPointer>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QMdiArea;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class CalibrationCurveView;
class CalibrationPicture;
class CalibrationWhiteView;

// Rebuilds the display of every image window in the workspace (after the display lookup
// tables changed).
void redrawImageWindows(QMdiArea* area);

// Start-up: loads the calibration file from the configuration folder; a missing file gives
// the warning that calibration has not been done, a damaged one its error.
void load_monitor_calibration();

// The folder the calibration file lives in.
QString calibrationConfigFolder();

class CalibrationWindow : public ChildWindow {
    Q_OBJECT
public:
    enum { kKind = 14, kCancel = 101, kOk = 102, kReset = 103, kFirstDensityField = 110 };
    enum View { kBrightness = 0, kCurve = 1, kWhite = 2 };

    // Opens the window in the workspace (or activates the open one). Shows and returns 92
    // when the reference picture is missing, another reading error likewise.
    static int open(QMdiArea* area, CalibrationWindow** window = nullptr);
    static CalibrationWindow* current();
    // Where the reference picture "refimg.jpg" is looked for (the data folder by default).
    static void setReferenceFolder(const QString& folder);
    static QString referencePath();

    ~CalibrationWindow() override;

    const mv::CalibrationCurve& working() const { return working_; }
    // The tables of the working curve, white point applied.
    const mv::DisplayLookup& workingTables() const { return tables_; }
    QPushButton* button(int id) const;
    QLineEdit* densityField(int point) const;
    QRadioButton* viewButton(View view) const;
    CalibrationCurveView* curveView() const { return curveView_; }
    QColorDialog* chooser() const { return chooser_; }
    void press(int id);
    void showView(View view);

    // Editing the working curve; each rebuilds the working tables and redraws.
    void setLevel(int point, int level);
    void setPointColor(int point, const QColor& color);
    void setWhite(const QColor& color);
    void setDensity(int point, double density);
    // Opens the colour chooser "Color %d" of a point (0..4) or, for -1, "White Point".
    void chooseColor(int point);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CalibrationWindow(QMdiArea* area, mv::Image&& reference);
    void workingChanged();
    void updateFields();
    void closeChooser();
    // Installs (OK) or restores (Cancel) the curve and closes unless already closing.
    void finish(bool accept, bool closing = false);

    QMdiArea* area_;
    mv::CalibrationCurve saved_;
    mv::DisplayLookup savedTables_;
    mv::CalibrationCurve working_;
    mv::DisplayLookup tables_;
    bool finished_ = false;

    CalibrationPicture* picture_;
    QStackedWidget* views_;
    CalibrationCurveView* curveView_;
    CalibrationWhiteView* whiteView_;
    QRadioButton* radios_[3];
    QLineEdit* fields_[mv::kCalibrationPoints];
    QPushButton* buttons_[3];
    QPointer<QColorDialog> chooser_;
};

// The curve view: the level of every point against its target, the three channel curves of
// the working tables, the point markers (dragged vertically) and a colour swatch per point
// below the graph (clicked to choose the point's colour).
class CalibrationCurveView : public QWidget {
    Q_OBJECT
public:
    explicit CalibrationCurveView(CalibrationWindow* owner);
    QRect graph() const;
    QPoint pointPosition(int point) const;
    QRect swatch(int point) const;
    QSize sizeHint() const override { return {272, 300}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int levelAt(int y) const;
    CalibrationWindow* owner_;
    int dragging_ = -1;
};
