#include "transform/preview_window.h"

#include "core/error.h"
#include "core/image.h"
#include "core/image_shift.h"
#include "shell/current_tool.h"
#include "shell/display_painter.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "transform/compute_driver.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

namespace {

constexpr int kToolsOnPreview = 82; // "Tools/Probes don't work on preview windows"

} // namespace

class PreviewCanvas : public QWidget {
public:
    explicit PreviewCanvas(PreviewWindow* owner) : QWidget(owner), owner_(owner)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter p(this);
        const mv::WindowRecord& r = owner_->record();
        paint_display_image(p, r, rect(), event->rect(), r.centre_left, r.centre_top);
    }

    void resizeEvent(QResizeEvent*) override { owner_->canvasResized(); }

    void mousePressEvent(QMouseEvent* event) override
    {
        setFocus();
        if (event->button() == Qt::LeftButton && current_tool())
            mv::error_box(kToolsOnPreview);
    }

    void contextMenuEvent(QContextMenuEvent* event) override
    {
        if (QMdiArea* area = owner_->mdiArea())
            area->setActiveSubWindow(owner_);
        QMenu menu(this);
        menu.addAction(tr("Zoom &In"), this, [this] { owner_->zoomCommand(3006); });
        menu.addAction(tr("Zoom &Out"), this, [this] { owner_->zoomCommand(3007); });
        menu.addAction(tr("Zoom to &1:1"), this, [this] { owner_->zoomCommand(3015); });
        menu.exec(event->globalPos());
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        const mv::WindowRecord& r = owner_->record();
        const bool ctrl = event->modifiers() & Qt::ControlModifier;
        using mv::ScrollAxis;
        const int hpage = mv::scroll_page(r.visible_width), vpage = mv::scroll_page(r.visible_height);
        const int hline = std::max(1, mv::scroll_line(r.visible_width));
        const int vline = std::max(1, mv::scroll_line(r.visible_height));
        switch (event->key()) {
        case Qt::Key_PageUp: owner_->scrollBy(ScrollAxis::kVertical, -vpage); break;
        case Qt::Key_PageDown: owner_->scrollBy(ScrollAxis::kVertical, vpage); break;
        case Qt::Key_End:
            if (ctrl) {
                owner_->scrollTo(ScrollAxis::kHorizontal, r.scroll_max_x);
                owner_->scrollTo(ScrollAxis::kVertical, r.scroll_max_y);
            } else {
                owner_->scrollBy(ScrollAxis::kHorizontal, hpage);
            }
            break;
        case Qt::Key_Home:
            if (ctrl) {
                owner_->scrollTo(ScrollAxis::kHorizontal, 0);
                owner_->scrollTo(ScrollAxis::kVertical, 0);
            } else {
                owner_->scrollBy(ScrollAxis::kHorizontal, -hpage);
            }
            break;
        case Qt::Key_Left: owner_->scrollBy(ScrollAxis::kHorizontal, -hline); break;
        case Qt::Key_Right: owner_->scrollBy(ScrollAxis::kHorizontal, hline); break;
        case Qt::Key_Up: owner_->scrollBy(ScrollAxis::kVertical, -vline); break;
        case Qt::Key_Down: owner_->scrollBy(ScrollAxis::kVertical, vline); break;
        default: QWidget::keyPressEvent(event); return;
        }
        event->accept();
    }

    void wheelEvent(QWheelEvent* event) override
    {
        const mv::WindowRecord& r = owner_->record();
        const QPoint steps = event->angleDelta() / 120;
        if (steps.x())
            owner_->scrollBy(mv::ScrollAxis::kHorizontal,
                             -steps.x() * std::max(1, mv::scroll_line(r.visible_width)));
        if (steps.y())
            owner_->scrollBy(mv::ScrollAxis::kVertical,
                             -steps.y() * std::max(1, mv::scroll_line(r.visible_height)));
        event->accept();
    }

private:
    PreviewWindow* owner_;
};

PreviewWindow::PreviewWindow(WorkspaceArea* area, int recordIndex)
    : ChildWindow(kPreview, recordIndex), canvas_(new PreviewCanvas(this)),
      hbar_(new QScrollBar(Qt::Horizontal, canvas_)), vbar_(new QScrollBar(Qt::Vertical, canvas_))
{
    record().window = this;
    hbar_->hide();
    vbar_->hide();
    connect(hbar_, &QScrollBar::valueChanged, this,
            [this](int v) { if (!syncing_) scrollTo(mv::ScrollAxis::kHorizontal, v); });
    connect(vbar_, &QScrollBar::valueChanged, this,
            [this](int v) { if (!syncing_) scrollTo(mv::ScrollAxis::kVertical, v); });
    setWidget(canvas_);
    area->addSubWindow(this);
    updateTitle();
}

PreviewWindow::~PreviewWindow()
{
    mv::window_record_release(recordIndex());
}

mv::WindowRecord& PreviewWindow::record() const
{
    return *mv::window_record_at(recordIndex());
}

void PreviewWindow::updateTitle()
{
    const mv::WindowRecord& r = record();
    // The preview's picture is its display image: the title shows the zoom of a picture type.
    setWindowTitle(QString::fromStdString(mv::image_window_title("", recordIndex(), mv::IMAGE_COLOR, r.zoom, true)));
}

int PreviewWindow::pictureWidth() const
{
    return record().image.width;
}

int PreviewWindow::pictureHeight() const
{
    return record().image.height;
}

void PreviewWindow::setPictureSize(int width, int height)
{
    mv::WindowRecord& r = record();
    if (r.image.width == width && r.image.height == height)
        return;
    r.image.width = width;
    r.image.height = height;
    if (canvas_->width() > 0) {
        mv::view_apply_zoom(r, metrics(), false, false, std::nullopt);
        syncScrollBars();
    }
}

mv::ViewMetrics PreviewWindow::metrics() const
{
    mv::ViewMetrics m;
    m.client_width = canvas_->width();
    m.client_height = canvas_->height();
    m.border = 0; // the preview shows its picture edge to edge
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m.scrollbar_width = m.scrollbar_height = extent;
    const bool laidOut = canvas_->width() > 0 && width() > canvas_->width();
    m.frame_width = laidOut ? width() - canvas_->width() : 8;
    m.frame_height = laidOut ? height() - canvas_->height() : 30;
    if (mdiArea()) {
        m.area_width = mdiArea()->viewport()->width();
        m.area_height = mdiArea()->viewport()->height();
    }
    m.normal_state = !isMinimized() && !isMaximized();
    return m;
}

void PreviewWindow::syncScrollBars()
{
    const mv::WindowRecord& r = record();
    syncing_ = true;
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const bool h = mv::view_hbar_shown(r), v = mv::view_vbar_shown(r);
    hbar_->setGeometry(0, canvas_->height() - extent, canvas_->width() - (v ? extent : 0), extent);
    vbar_->setGeometry(canvas_->width() - extent, 0, extent, canvas_->height() - (h ? extent : 0));
    hbar_->setVisible(h);
    vbar_->setVisible(v);
    hbar_->setRange(0, r.scroll_max_x);
    vbar_->setRange(0, r.scroll_max_y);
    hbar_->setPageStep(std::max(1, r.visible_width));
    vbar_->setPageStep(std::max(1, r.visible_height));
    hbar_->setSingleStep(std::max(1, mv::scroll_line(r.visible_width)));
    vbar_->setSingleStep(std::max(1, mv::scroll_line(r.visible_height)));
    hbar_->setValue(r.display_rect.left);
    vbar_->setValue(r.display_rect.top);
    syncing_ = false;
}

void PreviewWindow::applyZoom(bool resize, std::optional<mv::ImagePoint> centre)
{
    mv::WindowRecord& r = record();
    const mv::VisibleOutcome out = mv::view_apply_zoom(r, metrics(), resize, resize, centre);
    if (out.resize) {
        const mv::ViewMetrics m = metrics();
        syncing_ = true; // the resize below must not ask for the preview a second time
        this->resize(out.client_width + m.frame_width, out.client_height + m.frame_height);
        syncing_ = false;
        mv::view_apply_zoom(r, metrics(), false, false, centre);
    }
    syncScrollBars();
    updateTitle();
    canvas_->update();
    emit areaNeeded(true, QRect());
}

void PreviewWindow::zoomIn(bool resize)
{
    mv::WindowRecord& r = record();
    const mv::ImagePoint centre = mv::window_to_image(r, canvas_->width() / 2, canvas_->height() / 2, true);
    r.zoom = mv::zoom_step_in(r.zoom);
    applyZoom(resize, centre);
}

void PreviewWindow::zoomOut(bool resize)
{
    mv::WindowRecord& r = record();
    r.zoom = mv::zoom_step_out(r.zoom);
    applyZoom(resize, std::nullopt);
}

void PreviewWindow::zoomOneToOne(bool resize)
{
    mv::WindowRecord& r = record();
    if (r.zoom == 1)
        return;
    const mv::ImagePoint centre = mv::window_to_image(r, canvas_->width() / 2, canvas_->height() / 2, true);
    r.zoom = 1;
    applyZoom(resize, centre);
}

void PreviewWindow::setZoom(int zoom, bool resize)
{
    record().zoom = zoom == 0 || zoom == -1 ? 1 : zoom;
    applyZoom(resize, std::nullopt);
}

void PreviewWindow::fit()
{
    const mv::WindowRecord& r = record();
    setZoom(mv::fit_zoom(r.zoom, r.image.width, r.image.height, metrics()), true);
}

void PreviewWindow::expand()
{
    const mv::WindowRecord& r = record();
    setZoom(mv::expand_zoom(r.zoom, r.image.width, r.image.height, metrics()), true);
}

bool PreviewWindow::zoomCommand(int command)
{
    switch (command) {
    case 3003: expand(); return true;
    case 3004: fit(); return true;
    case 3005: zoomIn(false); return true;
    case 3006: zoomIn(true); return true;
    case 3007: zoomOut(true); return true;
    case 3015: zoomOneToOne(true); return true;
    default: return false;
    }
}

void PreviewWindow::scrollBy(mv::ScrollAxis axis, int delta)
{
    scrollTo(axis, mv::scroll_position(record(), axis) + delta);
}

void PreviewWindow::scrollTo(mv::ScrollAxis axis, int position)
{
    mv::WindowRecord& r = record();
    const int before = mv::scroll_position(r, axis);
    if (!mv::view_scroll_to(r, axis, position)) {
        syncScrollBars();
        return;
    }
    const int after = mv::scroll_position(r, axis);
    const bool horizontal = axis == mv::ScrollAxis::kHorizontal;
    const bool current = isCurrent_ && isCurrent_();
    const bool displayFits = r.display.width == r.visible_width && r.display.height == r.visible_height;
    const std::optional<mv::IntRect> strip =
        mv::preview_scroll_strip(horizontal, before, after, r.visible_width, r.visible_height, r.zoom);
    syncScrollBars();
    if (!current || !displayFits || !strip) {
        emit areaNeeded(true, QRect());
        return;
    }
    // The part still visible moves with the view; only the uncovered strip is computed.
    const int delta = after - before;
    int err = mv::kOk;
    if (horizontal)
        err = delta > 0 ? mv::image_shift_left(r.display, delta) : mv::image_shift_right(r.display, -delta);
    else if (delta > 0)
        mv::image_shift_up(r.display, delta);
    else
        mv::image_shift_down(r.display, -delta);
    if (err) {
        emit areaNeeded(true, QRect());
        return;
    }
    canvas_->update();
    emit areaNeeded(false, QRect(QPoint(strip->left, strip->top), QPoint(strip->right, strip->bottom)));
}

void PreviewWindow::canvasResized()
{
    if (syncing_ || record().image.width <= 0)
        return;
    mv::WindowRecord& r = record();
    const bool moved = mv::view_refit(r, metrics());
    syncScrollBars();
    const bool displayFits = r.display.width == r.visible_width && r.display.height == r.visible_height;
    if (moved || !displayFits)
        emit areaNeeded(true, QRect());
    canvas_->update();
}

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    if (!closingByProgram_)
        emit closedByUser();
    ChildWindow::closeEvent(event);
}
