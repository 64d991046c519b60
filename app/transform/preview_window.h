// The preview of the open transformation: a window of kind 1 titled "Preview (1:k)" whose
// display image the transformation computes directly, at the preview's zoom. The preview
// zooms and scrolls like an image window; the picture it shows exists only as that display
// image, so a scroll shifts the display and asks the transformation for the uncovered strip
// alone, and a zoom asks for the whole preview again.
#pragma once

#include "shell/child_window.h"
#include "shell/image_view.h"

#include <QWidget>
#include <functional>
#include <optional>

class QScrollBar;
class WorkspaceArea;

namespace mv {
struct WindowRecord;
}

class PreviewWindow : public ChildWindow {
    Q_OBJECT
public:
    // Takes over the record at `recordIndex` (released when the window goes).
    PreviewWindow(WorkspaceArea* area, int recordIndex);
    ~PreviewWindow() override;

    mv::WindowRecord& record() const;
    void updateTitle();

    // The size of the picture previewed (the transformation's output). The record keeps it
    // in its Image's width and height without pixels, so the view arithmetic of image windows
    // applies unchanged; a new size sets the view up again.
    void setPictureSize(int width, int height);
    int pictureWidth() const;
    int pictureHeight() const;

    // Whether the display image still matches the settings (only then can a scroll keep it
    // and compute just the uncovered strip). Set by the transformation window.
    void setCurrentCheck(std::function<bool()> check) { isCurrent_ = std::move(check); }

    // The zoom messages: each recomputes the view and asks for the whole preview.
    void zoomIn(bool resize);
    void zoomOut(bool resize);
    void zoomOneToOne(bool resize);
    void setZoom(int zoom, bool resize);
    void fit();
    void expand();
    // Runs a frame zoom command (3003 expand, 3004 fit, 3005 zoom in, 3006 zoom in and
    // resize, 3007 zoom out, 3015 1:1); false for any other command.
    bool zoomCommand(int command);

    // Scrolls the view to a position in display pixels on one axis.
    void scrollTo(mv::ScrollAxis axis, int position);
    void scrollBy(mv::ScrollAxis axis, int delta);

    mv::ViewMetrics metrics() const;
    QWidget* canvas() const { return canvas_; }

signals:
    // The user closed the preview (not the transformation closing it).
    void closedByUser();
    // The display needs computing: the whole of it (`whole` true) or the rectangle `area` in
    // display pixels (rows from the top, inclusive edges).
    void areaNeeded(bool whole, const QRect& area);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class PreviewCanvas;
    void applyZoom(bool resize, std::optional<mv::ImagePoint> centre);
    void syncScrollBars();
    void canvasResized();

    QWidget* canvas_;
    QScrollBar* hbar_;
    QScrollBar* vbar_;
    std::function<bool()> isCurrent_;
    bool syncing_ = false;
    bool closingByProgram_ = false;
    friend class TransformationWindow;
};
