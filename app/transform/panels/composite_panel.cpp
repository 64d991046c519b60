#include "transform/panels/composite_panel.h"

#include "core/error.h"
#include "filters/composite.h"
#include "shell/image_view.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "transform/amount_control.h"
#include "transform/image_menu.h"
#include "transform/panels/panel_support.h"
#include "transform/popup_list.h"
#include "transform/transformation_window.h"
#include "transform/use_registry.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <cstring>

namespace {

using panel_support::param_index;
constexpr int kSwatch = 33;

QStringList list_items(const mv::Operation& op, int param)
{
    QStringList items;
    for (const std::string& v : op.params[size_t(param)].values)
        items << QString::fromStdString(v);
    return items;
}

// The window point at the centre of a point's pixel position.
QPointF mark_point(const ImageWindow* w, const mv::PointF& p)
{
    return panel_support::window_point(w, p.x + 0.5, p.y + 0.5);
}

} // namespace

CompositePanel::CompositePanel(TransformationWindow* window) : OperationPanel(window)
{
    const mv::Operation& op = window->operation();
    panel_support::hide_generic_controls(window);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    auto* overlayRow = new QHBoxLayout;
    overlayRow->addWidget(new QLabel(tr("Overlay: "), this));
    swatch_ = new QToolButton(this);
    swatch_->setFixedSize(kSwatch, kSwatch);
    swatch_->setIconSize(QSize(kSwatch - 6, kSwatch - 6));
    swatch_->setToolTip(tr("Overlay Color"));
    connect(swatch_, &QToolButton::clicked, this, [this] {
        const QList<ImageWindow*> candidates = overlayCandidates();
        const int chosen = show_image_menu(this, swatch_->mapToGlobal(QPoint(0, kSwatch)), tr("Select Solid Color"),
                                           candidates);
        if (chosen == 0) {
            const QColor c = QColorDialog::getColor(color_, this, tr("Overlay Color"));
            if (c.isValid())
                chooseColor(c);
        } else if (chosen > 0) {
            chooseOverlay(candidates[chosen - 1]);
        }
    });
    overlayRow->addWidget(swatch_);
    overlayRow->addStretch();
    layout->addLayout(overlayRow);

    overlayAmount_ = new AmountControl([this] { return overlayCandidates(); }, this);
    mv::AmountBlock block;
    std::strcpy(block.label, "Overlay Amount: ");
    overlayAmount_->load(block);
    connect(overlayAmount_, &AmountControl::amountChanged, this, [this] {
        const int amount = param_index(this->window()->operation(), "overlay-amount");
        if (!mv::amount_has_mask(overlayAmount_->block()))
            this->window()->setValue(amount, overlayAmount_->block().low);
        this->window()->settingsChanged();
    });
    connect(overlayAmount_, &AmountControl::maskWindowChanged, this, [this](ImageWindow* previous, ImageWindow* now) {
        if (previous)
            mv::use_remove(app_use_list(), overlayAmount_, static_cast<ChildWindow*>(previous));
        if (now)
            mv::use_add(app_use_list(), overlayAmount_, static_cast<ChildWindow*>(now), "Overlay Amount Mask", true);
    });
    layout->addWidget(overlayAmount_);

    const int opParam = param_index(op, "operation"), alignParam = param_index(op, "alignment");
    operation_ = new PopupList(tr("Operation:"), list_items(op, opParam), window->values().numbers[size_t(opParam)], this);
    connect(operation_, &PopupList::popupChanged, this, [this, opParam](int v) { this->window()->setValue(opParam, v); });
    layout->addWidget(operation_);

    auto* alignRow = new QHBoxLayout;
    alignment_ = new PopupList(tr("Alignment:"), list_items(op, alignParam), window->values().numbers[size_t(alignParam)],
                               this);
    connect(alignment_, &PopupList::popupChanged, this, [this, alignParam](int v) {
        this->window()->setValue(alignParam, v);
        updateRefine();
        pushPoints();
        redrawMarks();
    });
    alignRow->addWidget(alignment_, 1);
    refine_ = new QPushButton(tr("Refine"), this);
    refine_->setAutoDefault(false);
    connect(refine_, &QPushButton::clicked, this, &CompositePanel::refine);
    alignRow->addWidget(refine_);
    layout->addLayout(alignRow);

    if (ImageWindow* base = window->input()) {
        const mv::Image& img = base->record().image;
        mv::composite_default_points(basePoints_, img.width, img.height);
        mv::composite_default_points(overlayPoints_, img.width, img.height);
        marked_base_ = base;
    }
    updateSwatch();
    updateRefine();
    window->installEventFilter(this);
    set_current_tool(this);
    connect(window, &QMdiSubWindow::aboutToActivate, this, [this] { set_current_tool(this); });
}

CompositePanel::~CompositePanel()
{
    if (current_tool() == this)
        set_current_tool(nullptr);
    mv::use_forget(app_use_list(), this);
    mv::use_forget(app_use_list(), overlayAmount_);
    redrawMarks();
}

QList<ImageWindow*> CompositePanel::overlayCandidates() const
{
    QList<ImageWindow*> list;
    QMdiArea* area = window()->mdiArea();
    if (!area)
        return list;
    for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::CreationOrder)) {
        auto* w = qobject_cast<ImageWindow*>(sub);
        if (w && w->kind() == ChildWindow::kImage && w->isVisible() &&
            (window()->operation().accepted_types & (1u << w->record().image.type)))
            list.append(w);
    }
    return list;
}

int CompositePanel::pointCount() const
{
    const int alignment = window()->values().numbers[size_t(param_index(window()->operation(), "alignment"))];
    return mv::alignment_point_count(alignment);
}

void CompositePanel::pushPoints()
{
    const int n = overlay_ ? pointCount() : 0;
    window()->setText(param_index(window()->operation(), "points"),
                      mv::composite_points_text(basePoints_, overlayPoints_, n));
}

void CompositePanel::updateSwatch()
{
    if (overlay_) {
        swatch_->setIcon(QIcon(image_thumbnail(overlay_, kSwatch - 6)));
        return;
    }
    QPixmap solid(kSwatch - 6, kSwatch - 6);
    solid.fill(color_);
    swatch_->setIcon(QIcon(solid));
}

void CompositePanel::updateRefine()
{
    refine_->setEnabled(overlay_ && pointCount() > 0);
}

void CompositePanel::redrawMarks()
{
    if (marked_base_)
        marked_base_->canvas()->update();
    if (overlay_)
        overlay_->canvas()->update();
}

void CompositePanel::chooseOverlay(ImageWindow* chosen)
{
    if (overlay_)
        mv::use_remove(app_use_list(), this, static_cast<ChildWindow*>(overlay_.data()));
    redrawMarks();
    overlay_ = chosen;
    if (chosen) {
        mv::use_add(app_use_list(), this, static_cast<ChildWindow*>(chosen), "Color Image Control", true);
        const mv::Image& img = chosen->record().image;
        mv::composite_default_points(overlayPoints_, img.width, img.height);
        overlayAmount_->setRequiredSize(img.width, img.height);
    } else {
        overlayAmount_->setRequiredSize(-1, -1);
    }
    overlayAmount_->setMask(nullptr);
    mv::AmountBlock block = overlayAmount_->block();
    mv::amount_clear_mask(block);
    block.low = window()->values().numbers[size_t(param_index(window()->operation(), "overlay-amount"))];
    overlayAmount_->load(block);
    updateSwatch();
    updateRefine();
    pushPoints();
    window()->settingsChanged();
    redrawMarks();
}

void CompositePanel::chooseColor(const QColor& color)
{
    color_ = color;
    const mv::Operation& op = window()->operation();
    window()->setValue(param_index(op, "red"), color.red());
    window()->setValue(param_index(op, "green"), color.green());
    window()->setValue(param_index(op, "blue"), color.blue());
    if (overlay_)
        chooseOverlay(nullptr);
    updateSwatch();
}

void CompositePanel::inputChanged()
{
    redrawMarks();
    marked_base_ = window()->input();
    if (marked_base_) {
        const mv::Image& img = marked_base_->record().image;
        mv::composite_default_points(basePoints_, img.width, img.height);
    }
    pushPoints();
    redrawMarks();
}

void CompositePanel::settingsRebuilt(mv::OperationSettings& settings)
{
    auto* st = static_cast<mv::CompositeSettings*>(settings.record());
    // The overlay window's picture stands in for the batch tool's overlay file; the points
    // came with the values.
    st->overlay = overlay_ ? &overlay_->record().image : nullptr;
    st->overlay_amount = overlayAmount_->block(); // labelled "Overlay Amount: "
}

void CompositePanel::setPoint(bool overlay, int index, double x, double y)
{
    if (index < 0 || index >= mv::kAlignMaxPoints)
        return;
    (overlay ? overlayPoints_ : basePoints_)[index] = mv::PointF{x, y};
    pushPoints();
    redrawMarks();
}

bool CompositePanel::centrePoint(int index)
{
    if (!overlay_ || index < 0 || index >= pointCount() || !marked_base_)
        return false;
    const auto centre = [](ImageWindow* w, const mv::PointF& p) {
        mv::WindowRecord& r = w->record();
        const auto display = [&r](double v) { return r.zoom >= 1 ? int(v * r.zoom) : int(v / -r.zoom); };
        w->canvas()->scrollTo(mv::ScrollAxis::kHorizontal, display(p.x) - r.visible_width / 2);
        w->canvas()->scrollTo(mv::ScrollAxis::kVertical, display(p.y) - r.visible_height / 2);
    };
    centre(marked_base_, basePoints_[index]);
    centre(overlay_, overlayPoints_[index]);
    return true;
}

void CompositePanel::refine()
{
    ImageWindow* base = window()->input();
    if (!base)
        return;
    std::unique_ptr<mv::OperationSettings> settings;
    const mv::Image& image = base->record().image;
    if (const int err = window()->operation().make(image, window()->values(), settings)) {
        mv::error_box(err);
        return;
    }
    settingsRebuilt(*settings);
    auto* st = static_cast<mv::CompositeSettings*>(settings->record());
    const int rc = mv::composite_refine(*st, image);
    for (int i = 0; i < pointCount(); ++i)
        overlayPoints_[i] = st->overlay_points[i];
    pushPoints();
    redrawMarks();
    if (rc && rc != mv::kAborted)
        mv::error_box(rc);
}

mv::PointF* CompositePanel::pointsOf(ImageWindow* w)
{
    if (w && w == overlay_)
        return overlayPoints_;
    if (w && w == marked_base_)
        return basePoints_;
    return nullptr;
}

void CompositePanel::toolEvent(ImageWindow* w, int x, int y, int event, bool)
{
    mv::PointF* points = pointsOf(w);
    const int n = overlay_ ? pointCount() : 0;
    if (!points || n == 0) {
        dragging_ = -1;
        return;
    }
    const QPoint at = panel_support::picture_point(w, x, y);
    const mv::PointF p{double(at.x()), double(at.y())};
    switch (event) {
    case kToolPress:
    case kToolShiftPress: {
        double best = 0;
        dragging_ = -1;
        for (int i = 0; i < n; ++i) {
            const QPointF m = mark_point(w, points[i]);
            const double d = std::hypot(m.x() - x, m.y() - y);
            if (dragging_ < 0 || d < best) {
                best = d;
                dragging_ = i;
            }
        }
        points[dragging_] = p;
        w->canvas()->update();
        break;
    }
    case kToolMove:
    case kToolShiftMove:
        if (dragging_ >= 0) {
            points[dragging_] = p;
            w->canvas()->update();
        }
        break;
    case kToolRelease:
        if (dragging_ >= 0) {
            points[dragging_] = p;
            dragging_ = -1;
            pushPoints();
            w->canvas()->update();
        }
        break;
    default:
        break;
    }
    if (w == overlay_ && w == marked_base_) // one window as base and overlay: both lists move
        redrawMarks();
}

void CompositePanel::paintMarks(ImageWindow* w, QPainter& painter)
{
    const mv::PointF* points = pointsOf(w);
    const int n = overlay_ ? pointCount() : 0;
    if (!points || n == 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    for (int i = 0; i < n; ++i) {
        const QPointF c = mark_point(w, points[i]);
        const QColor mark = w == overlay_ ? QColor(0, 200, 255) : QColor(255, 40, 40);
        painter.setPen(QPen(Qt::black, 3));
        painter.drawEllipse(c, 6, 6);
        painter.setPen(QPen(mark, 1.5));
        painter.drawEllipse(c, 6, 6);
        painter.drawLine(c + QPointF(-9, 0), c + QPointF(-3, 0));
        painter.drawLine(c + QPointF(3, 0), c + QPointF(9, 0));
        painter.drawLine(c + QPointF(0, -9), c + QPointF(0, -3));
        painter.drawLine(c + QPointF(0, 3), c + QPointF(0, 9));
        QPainterPath text;
        text.addText(c + QPointF(9, -7), font, QString(QChar(mv::alignment_point_label(i))));
        painter.setPen(QPen(Qt::black, 3));
        painter.drawPath(text);
        painter.fillPath(text, mark);
    }
    painter.restore();
}

bool CompositePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window() && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1) {
            for (int i = 0; i < pointCount(); ++i)
                if (text[0] == QChar(mv::alignment_point_label(i)))
                    return centrePoint(i);
        }
    }
    return OperationPanel::eventFilter(watched, event);
}
