// An image window: shows its record's picture through the display image at any zoom, with
// scroll bars, the border bands of a centred picture, a grid, keyboard scrolling and the
// right-button menu.
#pragma once

#include "shell/cascade.h"
#include "shell/child_window.h"
#include "shell/close_protocol.h"
#include "shell/image_view.h"

#include <QMdiArea>
#include <QWidget>
#include <optional>


class QScrollBar;
class WorkspaceArea;

namespace mv {
struct WindowRecord;
}

class ImageCanvas;

class ImageWindow : public ChildWindow, public mv::CloseChild {
    Q_OBJECT
public:
    // Creates a window for the record at `recordIndex` (which it then owns and releases when
    // destroyed), sized for the picture at its zoom, placed in cascade after `reference`.
    ImageWindow(WorkspaceArea* area, int recordIndex, ImageWindow* reference = nullptr);
    ~ImageWindow() override;

    mv::WindowRecord& record() const;
    ImageCanvas* canvas() const { return canvas_; }

    void updateTitle();
    // The zoom operations; each rebuilds the display and repaints.
    void zoomIn(bool resize, std::optional<mv::ImagePoint> centre = std::nullopt);
    void zoomOut(bool resize);
    void zoomOneToOne(bool resize, std::optional<mv::ImagePoint> centre = std::nullopt);
    void setZoom(int zoom, bool resize);
    void expand();
    void fit();
    // The picture changed in place (or was replaced): rebuild the view.
    void pictureChanged();
    // Pixels of the inclusive image rectangle changed in place: rebuild that part of the
    // display and repaint it.
    void imageAreaChanged(int firstColumn, int firstRow, int lastColumn, int lastRow);

    mv::ViewMetrics metrics() const;

    // The name of the first window reading this one (a transformation, an Amount control, an
    // input selector; empty: none); a window in use cannot be closed.
    QString usedBy() const;

    // How the close questions see this window.
    bool is_image_window() const override { return true; }
    std::string used_by() const override { return usedBy().toStdString(); }
    bool modified() const override { return isModified(); }
    std::string title() const override { return windowTitle().toStdString(); }
    bool minimised() const override { return isMinimized(); }
    void restore() override { showNormal(); }
    // Save (Save As without a file); shows its error, except a cancel.
    int save() override;
    // File > Close: a window in use stays (with its message); a modified one asks "Save
    // modified file?" instead of the close prompt. False when the window stays.
    bool closeFromMenu();

signals:
    // A right-button menu choice, passed on to the frame as its command.
    void commandRequested(int command);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void applyZoom(bool shrink, bool grow, std::optional<mv::ImagePoint> centre);
    WorkspaceArea* area_;
    ImageCanvas* canvas_;
    bool asked_ = false; // the close question was already answered
};

// The cascade steps of a workspace: the dialog font's height plus twice the child frame,
// and the caption height plus twice the child frame.
mv::CascadeMetrics workspaceCascadeMetrics(const QMdiArea* area);

// The client area of an image window.
class ImageCanvas : public QWidget {
    Q_OBJECT
public:
    explicit ImageCanvas(ImageWindow* owner);

    QScrollBar* horizontalBar() const { return hbar_; }
    QScrollBar* verticalBar() const { return vbar_; }
    // Re-fit after a size change, rebuilding only when the visible part moved.
    void refit();
    // Rebuilds the whole display image (wait cursor) and repaints.
    void rebuild();
    void syncScrollBars();
    void scrollBy(mv::ScrollAxis axis, int delta);
    void scrollTo(mv::ScrollAxis axis, int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void paintPicture(QPainter& p, const QRect& dirty);
    void paintHistogram(QPainter& p);
    void paintGrid(QPainter& p);
    void layoutBars();
    ImageWindow* owner_;
    QScrollBar* hbar_;
    QScrollBar* vbar_;
    bool syncing_ = false;
    bool buttonDown_ = false;
};
