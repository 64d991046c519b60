#include "shell/image_window.h"

#include "core/error.h"
#include "core/format.h"
#include "core/image.h"
#include "formats/save_commands.h"
#include "settings/preferences.h"
#include "core/undo.h"
#include "shell/current_tool.h"
#include "shell/display_painter.h"
#include "shell/display_build.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "transform/use_registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMdiArea>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>


ImageWindow::ImageWindow(WorkspaceArea* area, int recordIndex, ImageWindow* reference)
    : ChildWindow(kImage, recordIndex), area_(area), canvas_(new ImageCanvas(this))
{
    record().window = this;
    setWidget(canvas_);
    QPixmap blank(1, 1);
    blank.fill(Qt::transparent);
    setWindowIcon(QIcon(blank));
    area->addSubWindow(this);
    mv::WindowRecord& r = record();
    mv::view_reset(r);
    const mv::ViewMetrics m = metrics();
    const int b2 = 2 * m.border;
    // Placed in cascade after the window it comes from, else at the cascade origin.
    const mv::CascadeMetrics cascade = workspaceCascadeMetrics(area);
    const int origin = mv::cascade_origin(cascade);
    if (reference) {
        const mv::CascadePoint p = mv::cascade_next({reference->x(), reference->y()}, cascade);
        move(p.x, p.y);
    } else {
        move(origin, origin);
    }
    // Sized for the picture at its zoom plus the borders, as far as the workspace allows.
    const int w = std::min(mv::zoomed_length(r.image.width, r.zoom) + b2,
                           std::max(200, m.area_width - m.frame_width - x()));
    const int h = std::min(mv::zoomed_length(r.image.height, r.zoom) + b2,
                           std::max(150, m.area_height - m.frame_height - y()));
    resize(std::max(w, 160) + m.frame_width, std::max(h, 60) + m.frame_height);
    updateTitle();
}

ImageWindow::~ImageWindow()
{
    mv::use_forget(app_use_list(), static_cast<ChildWindow*>(this));
    mv::undo_forget(static_cast<ChildWindow*>(this));
    if (current_tool())
        current_tool()->toolEvent(this, 0, 0, kToolWindowClosing, false);
    mv::window_record_release(recordIndex());
}

QString ImageWindow::usedBy() const
{
    const std::optional<std::string> user = mv::use_find(app_use_list(), static_cast<const ChildWindow*>(this));
    return user ? QString::fromStdString(*user) : QString();
}

mv::WindowRecord& ImageWindow::record() const
{
    return *mv::window_record_at(recordIndex());
}

mv::ViewMetrics ImageWindow::metrics() const
{
    mv::ViewMetrics m;
    m.client_width = canvas_->width();
    m.client_height = canvas_->height();
    m.border = mv::preferences().border_width;
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m.scrollbar_width = m.scrollbar_height = extent;
    // Before the first layout the frame is estimated from the style.
    const bool laidOut = canvas_->width() > 0 && width() > canvas_->width();
    m.frame_width = laidOut ? width() - canvas_->width() : 8;
    m.frame_height = laidOut ? height() - canvas_->height() : 30;
    m.area_width = area_->viewport()->width();
    m.area_height = area_->viewport()->height();
    m.normal_state = !isMinimized() && !isMaximized();
    return m;
}

void ImageWindow::updateTitle()
{
    const mv::WindowRecord& r = record();
    setWindowTitle(QString::fromStdString(
        mv::image_window_title(r.path, recordIndex(), r.image.type, r.zoom)));
}

void ImageWindow::applyZoom(bool shrink, bool grow, std::optional<mv::ImagePoint> centre)
{
    mv::WindowRecord& r = record();
    mv::image_free(r.display);
    const mv::VisibleOutcome out = mv::view_apply_zoom(r, metrics(), shrink, grow, centre);
    if (out.resize) {
        const mv::ViewMetrics m = metrics();
        resize(out.client_width + m.frame_width, out.client_height + m.frame_height);
        // The new size may have changed the visible part: set it up again around the centre.
        mv::view_apply_zoom(r, metrics(), false, false, centre);
    }
    canvas_->rebuild();
    updateTitle();
}

void ImageWindow::zoomIn(bool resize, std::optional<mv::ImagePoint> centre)
{
    mv::WindowRecord& r = record();
    if (!centre)
        centre = mv::window_to_image(r, canvas_->width() / 2, canvas_->height() / 2, true);
    r.zoom = mv::zoom_step_in(r.zoom);
    applyZoom(resize, resize, centre);
}

void ImageWindow::zoomOut(bool resize)
{
    mv::WindowRecord& r = record();
    r.zoom = mv::zoom_step_out(r.zoom);
    applyZoom(resize, false, std::nullopt);
}

void ImageWindow::zoomOneToOne(bool resize, std::optional<mv::ImagePoint> centre)
{
    mv::WindowRecord& r = record();
    if (r.zoom == 1)
        return;
    r.zoom = 1;
    applyZoom(resize, resize, centre);
}

void ImageWindow::setZoom(int zoom, bool resize)
{
    if (zoom == 0 || zoom == -1)
        zoom = 1;
    record().zoom = zoom;
    applyZoom(resize, resize, std::nullopt);
}

void ImageWindow::expand()
{
    const mv::WindowRecord& r = record();
    setZoom(mv::expand_zoom(r.zoom, r.image.width, r.image.height, metrics()), true);
}

void ImageWindow::fit()
{
    const mv::WindowRecord& r = record();
    setZoom(mv::fit_zoom(r.zoom, r.image.width, r.image.height, metrics()), true);
}

void ImageWindow::pictureChanged()
{
    mv::WindowRecord& r = record();
    mv::image_free(r.display);
    mv::view_apply_zoom(r, metrics(), false, false, std::nullopt);
    canvas_->rebuild();
    updateTitle();
}

void ImageWindow::imageAreaChanged(int firstColumn, int firstRow, int lastColumn, int lastRow)
{
    mv::WindowRecord& r = record();
    if (r.display.empty())
        return;
    // Window corners of the rectangle's top-left and bottom-right pixels; a magnified pixel
    // covers `zoom` screen pixels, a reduced view may round either way by one.
    int x0, y0, x1, y1;
    mv::image_to_window(r, {firstColumn, lastRow}, x0, y0);
    mv::image_to_window(r, {lastColumn, firstRow}, x1, y1);
    const int extent = r.zoom >= 2 ? r.zoom - 1 : 1;
    x0 -= 1, y0 -= 1, x1 += extent, y1 += extent;
    mv::display_build_region(r, x0 - r.centre_left, y0 - r.centre_top, x1 - r.centre_left,
                             y1 - r.centre_top);
    canvas_->update(QRect(QPoint(x0, y0), QPoint(x1, y1)));
}

bool ImageWindow::closeFromMenu()
{
    if (usedBy().isEmpty() && !save_commands::fileCloseQuery(this))
        return false;
    asked_ = true;
    const bool closed = close();
    if (!closed)
        asked_ = false;
    return closed;
}

void ImageWindow::closeEvent(QCloseEvent* event)
{
    if (!mv::image_window_may_close(*this, mv::preferences().confirm && !asked_)) {
        event->ignore();
        return;
    }
    ChildWindow::closeEvent(event);
}

int ImageWindow::save()
{
    const int err = save_commands::fileSave(this);
    if (err != mv::kAborted)
        mv::error_box(err);
    return err;
}

mv::CascadeMetrics workspaceCascadeMetrics(const QMdiArea* area)
{
    const int frame = area->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, area);
    const int caption = area->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, area);
    mv::CascadeMetrics m;
    m.step = QFontMetrics(area->font()).height() + 2 * frame;
    m.caption_frame = caption + 2 * frame;
    m.client_width = area->viewport()->width();
    m.client_height = area->viewport()->height();
    return m;
}

ImageCanvas::ImageCanvas(ImageWindow* owner)
    : QWidget(owner), owner_(owner), hbar_(new QScrollBar(Qt::Horizontal, this)),
      vbar_(new QScrollBar(Qt::Vertical, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hbar_->hide();
    vbar_->hide();
    connect(hbar_, &QScrollBar::valueChanged, this,
            [this](int v) { if (!syncing_) scrollTo(mv::ScrollAxis::kHorizontal, v); });
    connect(vbar_, &QScrollBar::valueChanged, this,
            [this](int v) { if (!syncing_) scrollTo(mv::ScrollAxis::kVertical, v); });
}

void ImageCanvas::layoutBars()
{
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    hbar_->setGeometry(0, height() - extent, width() - extent, extent);
    vbar_->setGeometry(width() - extent, 0, extent, height() - extent);
}

void ImageCanvas::syncScrollBars()
{
    const mv::WindowRecord& r = owner_->record();
    syncing_ = true;
    const bool picture = mv::is_picture_type(r.image.type);
    hbar_->setVisible(picture && mv::view_hbar_shown(r));
    vbar_->setVisible(picture && mv::view_vbar_shown(r));
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

void ImageCanvas::rebuild()
{
    mv::WindowRecord& r = owner_->record();
    if (mv::is_picture_type(r.image.type)) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const int err = mv::display_build(r);
        QApplication::restoreOverrideCursor();
        mv::error_box(err);
    }
    syncScrollBars();
    update();
}

void ImageCanvas::refit()
{
    mv::WindowRecord& r = owner_->record();
    if (!mv::is_picture_type(r.image.type))
        return;
    const bool moved = mv::view_refit(r, owner_->metrics());
    const bool sizeMatches = r.display.width == r.visible_width && r.display.height == r.visible_height &&
                             r.display.type == mv::display_type(r);
    if (moved || !sizeMatches || r.display.type == mv::IMAGE_BINARY)
        rebuild();
    else {
        syncScrollBars();
        update();
    }
}

void ImageCanvas::resizeEvent(QResizeEvent*)
{
    layoutBars();
    if (!owner_->isMinimized()) {
        refit();
        owner_->updateTitle();
    } else {
        mv::image_free(owner_->record().display);
    }
}

void ImageCanvas::scrollTo(mv::ScrollAxis axis, int position)
{
    mv::WindowRecord& r = owner_->record();
    if (!mv::view_scroll_to(r, axis, position)) {
        syncScrollBars();
        return;
    }
    if (r.display.width == r.visible_width && r.display.height == r.visible_height)
        mv::display_build_region(r, 0, 0, r.visible_width - 1, r.visible_height - 1);
    else
        mv::display_build(r);
    syncScrollBars();
    update();
}

void ImageCanvas::scrollBy(mv::ScrollAxis axis, int delta)
{
    scrollTo(axis, mv::scroll_position(owner_->record(), axis) + delta);
}

void ImageCanvas::keyPressEvent(QKeyEvent* event)
{
    const mv::WindowRecord& r = owner_->record();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    using mv::ScrollAxis;
    const int hpage = mv::scroll_page(r.visible_width), vpage = mv::scroll_page(r.visible_height);
    const int hline = mv::scroll_line(r.visible_width), vline = mv::scroll_line(r.visible_height);
    switch (event->key()) {
    case Qt::Key_PageUp: scrollBy(ScrollAxis::kVertical, -vpage); break;
    case Qt::Key_PageDown: scrollBy(ScrollAxis::kVertical, vpage); break;
    case Qt::Key_End:
        if (ctrl) {
            scrollTo(ScrollAxis::kHorizontal, r.scroll_max_x);
            scrollTo(ScrollAxis::kVertical, r.scroll_max_y);
        } else {
            scrollBy(ScrollAxis::kHorizontal, hpage);
        }
        break;
    case Qt::Key_Home:
        if (ctrl) {
            scrollTo(ScrollAxis::kHorizontal, 0);
            scrollTo(ScrollAxis::kVertical, 0);
        } else {
            scrollBy(ScrollAxis::kHorizontal, -hpage);
        }
        break;
    case Qt::Key_Left: scrollBy(ScrollAxis::kHorizontal, -std::max(1, hline)); break;
    case Qt::Key_Right: scrollBy(ScrollAxis::kHorizontal, std::max(1, hline)); break;
    case Qt::Key_Up: scrollBy(ScrollAxis::kVertical, -std::max(1, vline)); break;
    case Qt::Key_Down: scrollBy(ScrollAxis::kVertical, std::max(1, vline)); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void ImageCanvas::wheelEvent(QWheelEvent* event)
{
    const mv::WindowRecord& r = owner_->record();
    const QPoint steps = event->angleDelta() / 120;
    const bool horizontal = event->modifiers() & Qt::ShiftModifier;
    if (horizontal || steps.x())
        scrollBy(mv::ScrollAxis::kHorizontal, -(steps.x() + (horizontal ? steps.y() : 0)) *
                                                  std::max(1, mv::scroll_line(r.visible_width)));
    if (!horizontal && steps.y())
        scrollBy(mv::ScrollAxis::kVertical, -steps.y() * std::max(1, mv::scroll_line(r.visible_height)));
    event->accept();
}

void ImageCanvas::mousePressEvent(QMouseEvent* event)
{
    setFocus();
    if (event->button() != Qt::LeftButton || !current_tool()) {
        QWidget::mousePressEvent(event);
        return;
    }
    buttonDown_ = true;
    const QPoint at = event->position().toPoint();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    current_tool()->toolEvent(owner_, at.x(), at.y(), shift ? kToolShiftPress : kToolPress,
                              event->modifiers() & Qt::ControlModifier);
}

void ImageCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!current_tool())
        return;
    const QPoint at = event->position().toPoint();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    current_tool()->toolEvent(owner_, at.x(), at.y(), shift ? kToolShiftMove : kToolMove,
                              event->modifiers() & Qt::ControlModifier);
}

void ImageCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !buttonDown_)
        return;
    buttonDown_ = false;
    if (current_tool()) {
        const QPoint at = event->position().toPoint();
        current_tool()->toolEvent(owner_, at.x(), at.y(), kToolRelease,
                                  event->modifiers() & Qt::ControlModifier);
    }
}

void ImageCanvas::contextMenuEvent(QContextMenuEvent* event)
{
    owner_->mdiArea()->setActiveSubWindow(owner_);
    QMenu menu(this);
    const auto add = [&](const QString& text, int command) {
        menu.addAction(text, this, [this, command] { emit owner_->commandRequested(command); });
    };
    add(tr("&Display Info"), 3001);
    add(tr("&Display Grid"), 3002);
    menu.addSeparator();
    add(tr("Zoom &In"), 3006);
    add(tr("Zoom &Out"), 3007);
    add(tr("Zoom to &1:1"), 3015);
    menu.exec(event->globalPos());
}

void ImageCanvas::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const mv::WindowRecord& r = owner_->record();
    switch (r.image.type) {
    case mv::IMAGE_SINGLE_COLOR: {
        const std::uint8_t* c = r.image.row(0);
        p.fillRect(rect(), QColor(c[2], c[1], c[0]));
        return;
    }
    case mv::IMAGE_HISTOGRAM: paintHistogram(p); return;
    default: break;
    }
    if (!mv::is_picture_type(r.image.type)) {
        p.fillRect(rect(), palette().window());
        return;
    }
    paintPicture(p, event->rect());
    paintGrid(p);
    if (current_tool())
        current_tool()->paintMarks(owner_, p);
}

void ImageCanvas::paintPicture(QPainter& p, const QRect& dirty)
{
    const mv::WindowRecord& r = owner_->record();
    paint_display_image(p, r, rect(), dirty, r.centre_left, r.centre_top);
}

void ImageCanvas::paintGrid(QPainter& p)
{
    const mv::WindowRecord& r = owner_->record();
    const int divisions = r.grid_divisions;
    if (divisions <= 1 || r.display.empty())
        return;
    const QRect picture(r.centre_left, r.centre_top, r.display.width, r.display.height);
    p.setPen(Qt::black);
    for (int i = 1; i < divisions; ++i) {
        const mv::ImagePoint at{r.image.width * i / divisions, r.image.height * i / divisions};
        int x, y;
        mv::image_to_window(r, at, x, y);
        if (x >= picture.left() && x <= picture.right())
            p.drawLine(x, picture.top(), x, picture.bottom());
        if (y >= picture.top() && y <= picture.bottom())
            p.drawLine(picture.left(), y, picture.right(), y);
    }
}

void ImageCanvas::paintHistogram(QPainter& p)
{
    const mv::WindowRecord& r = owner_->record();
    const auto* counts = reinterpret_cast<const std::uint32_t*>(r.image.row(0));
    p.fillRect(rect(), palette().window());
    const QRect area = rect().adjusted(4, 4, -4, -4);
    p.fillRect(area, QColor(192, 192, 192));
    const long long w = area.width(), h = area.height();
    const long long max = counts[0] ? counts[0] : 1;
    p.setPen(Qt::black);
    for (int i = 0; i < 256; ++i) {
        if (counts[i + 1] == 0)
            continue;
        const int x = int(4 + (w - 1) * i / 255);
        const int top = int(4 + (h - 1) - (h - 1) * counts[i + 1] / max);
        p.drawLine(x, 4 + int(h) - 1, x, top);
    }
}
