// The curve control: a tone curve of 2..64 points edited with the mouse over a graph of
// levels 0..255, drawn from the engine's lookup table in its style (stair step, broken line,
// smooth curve), with grid, diagonal, histograms and probe marks.
//
// Layout, top to bottom: a tool row ("Options" menu button, "Show Curve" / "Show Histograms",
// "Stair Step" / "Broken Line" / "Smooth Curve", "Probe"), the graph with a strip of point
// marks on its left (output levels) and one below it (input levels), and a readout of the
// point under the pointer.
//
// Mouse (left button):
// - Shift + click adds a point at the clicked input level (beep at 64 points, outside 0..255
//   or on an input that already has a point); its output is the clicked level inside the
//   graph, else the straight line between its neighbours.
// - Ctrl + click on a point removes it (beep when only two remain).
// - Click within 4 pixels of a point drags it, its input strictly between its neighbours'; a
//   mark in the left strip drags only the output, one in the bottom strip only the input.
// During a drag the table is recomputed and curveMoving is reported; curveChanged follows on
// the release. Every other change of points or style reports curveChanged at once.
//
// Options menu: "&Reset", "&Invert", "Load...", "Save As..." ("Curve 1.0" files), "Linear
// Histogram", "Log Histogram", "1x1 Probe" .. "9x9 Probe".
//
// The control only shows probe readings; whoever owns it reads the picture when probeToggled
// says the probe is on, and hands the levels to setProbeMarks.
#pragma once

#include "tone/curve.h"

#include <QColor>
#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

class QLabel;
class QMenu;
class QToolButton;
class CurveGraph;

// A histogram shown by the control: counts of levels 0..255 and its colour.
struct CurveHistogram {
    std::array<std::uint32_t, 256> counts{};
    QColor color = QColor(176, 176, 176);
};

// A probe reading: the input level read from the picture and the colour of its mark.
struct CurveProbeMark {
    int level = 0;
    QColor color = Qt::yellow;
};

class CurveControl : public QWidget {
    Q_OBJECT
public:
    enum View { kShowCurve = 0, kShowHistograms = 1 };
    enum DragMode { kDragNone = 0, kDragPoint = 1, kDragOutput = 2, kDragInput = 3 };
    // Width of the mark strips left of and below the graph.
    static constexpr int kMarkStrip = 10;

    explicit CurveControl(QWidget* parent = nullptr);

    // Replaces points and style, recomputes the table, repaints and reports curveChanged.
    // A curve that is not valid (count, levels, increasing inputs, style) is refused: false.
    bool setCurve(const mv::Curve& curve);
    const mv::Curve& curve() const { return curve_; }
    // One of mv::CURVE_STEP, CURVE_LINEAR, CURVE_SPLINE (the style buttons).
    void setStyle(int style);
    // The 8-bit table of the current points (256 entries).
    const std::uint8_t* table() const { return table_; }
    // Computes the 16-bit table (65536 entries) of the current points.
    void table16(std::uint16_t* table) const;

    // Editing as the mouse and the menu do it. addPoint gives the new point's index, or -1
    // after a beep; removePoint is false (beep) when only two points remain.
    int addPoint(int x, int y);
    bool removePoint(int index);
    // "&Reset": (0, 0)-(255, 255), smooth. "&Invert": every output y becomes 255 - y.
    void reset();
    void invert();
    // "Load..." and "Save As...": the "Load Curve" / "Save Curve" dialogs; errors are shown
    // (an illegal file resets the curve). Result 0 or the error code, 0 when cancelled.
    int load();
    int saveAs();

    // The colour the curve is drawn in (a channel's colour; black by default).
    void setChannelColor(const QColor& color);
    // Up to three histograms; an empty list shows none.
    void setHistograms(std::vector<CurveHistogram> histograms);
    // Probe marks at input levels; an empty list erases them.
    void setProbeMarks(std::vector<CurveProbeMark> marks);
    const std::vector<CurveProbeMark>& probeMarks() const { return marks_; }

    void setView(int view);
    int view() const { return view_; }
    void setLinearHistogram(bool linear);
    bool linearHistogram() const { return linear_; }
    // 0..4 for 1x1 .. 9x9.
    void setProbeSize(int size);
    int probeSize() const { return probeSize_; }
    void setProbeOn(bool on);
    bool probeOn() const;

    QMenu* optionsMenu() const { return options_; }
    QToolButton* styleButton(int style) const { return styleButtons_[style]; }
    QToolButton* viewButton(int view) const { return viewButtons_[view]; }
    QToolButton* probeButton() const { return probeButton_; }
    QLabel* readout() const { return readout_; }

    // The graph widget and the positions in it of a level pair, of a point, and of its marks
    // in the left and bottom strips.
    QWidget* graph() const;
    QPoint levelPosition(int x, int y) const;
    QPoint pointPosition(int index) const;
    QPoint outputMarkPosition(int index) const;
    QPoint inputMarkPosition(int index) const;
    int dragMode() const { return drag_; }

signals:
    // Points or style changed (for a drag: when the button is released).
    void curveChanged();
    // A point is being dragged; the table already follows.
    void curveMoving();
    void probeToggled(bool on);
    void probeSizeChanged(int size);

private:
    friend class CurveGraph;
    void recompute();
    void pressAt(QPoint at, Qt::KeyboardModifiers modifiers);
    void moveTo(QPoint at);
    void release();
    void hoverAt(QPoint at);
    void showReadout(int index);
    void paintGraph(QPainter& p) const;
    void syncButtons();
    int side() const;
    int levelX(int px) const;
    int levelY(int py) const;
    int pixelX(int level) const;
    int pixelY(int level) const;
    int pointNear(QPoint at) const;

    mv::Curve curve_;
    std::uint8_t table_[256];
    int view_ = kShowCurve;
    bool linear_ = true;
    int probeSize_ = 1;
    int drag_ = kDragNone;
    int selected_ = -1;
    bool moved_ = false;
    QColor channel_ = Qt::black;
    std::vector<CurveHistogram> histograms_;
    std::vector<CurveProbeMark> marks_;
    CurveGraph* graph_;
    QMenu* options_;
    QToolButton* styleButtons_[3];
    QToolButton* viewButtons_[2];
    QToolButton* probeButton_;
    QAction* scaleActions_[2];
    QAction* probeActions_[5];
    QLabel* readout_;
};
