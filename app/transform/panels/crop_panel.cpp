#include "transform/panels/crop_panel.h"

#include "core/format.h"
#include "filters/resize_units.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "transform/panels/panel_support.h"
#include "transform/popup_list.h"
#include "transform/transformation_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kHandleReach = 8; // window pixels around a corner that grab it

// The rectangle with x1 <= x2 and y1 <= y2.
void normalise(mv::CropSettings& st)
{
    if (st.x1 > st.x2)
        std::swap(st.x1, st.x2);
    if (st.y1 > st.y2)
        std::swap(st.y1, st.y2);
}

QString number_text(double v)
{
    return QString::fromStdString(mv::format_text("%3f", v));
}

} // namespace

CropPanel::CropPanel(TransformationWindow* window) : OperationPanel(window), marked_(window->input())
{
    panel_support::hide_generic_controls(window);
    st_.x2 = pictureWidth() - 1;
    st_.y2 = pictureHeight() - 1;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    QStringList modes{tr("Arbitrary"), tr("Custom")};
    for (int m = mv::kCropFirstFixed; m <= mv::kCropLastFixed; ++m)
        modes << QString::fromUtf8(mv::crop_proportion_text(m));
    proportions_ = new PopupList(tr("Proportions:"), modes, mv::kCropArbitrary, this);
    connect(proportions_, &PopupList::popupChanged, this, &CropPanel::chooseMode);
    layout->addWidget(proportions_);

    orientation_ = new PopupList(QString(), {tr("Portrait"), tr("Landscape")}, mv::kCropPortrait, this);
    connect(orientation_, &PopupList::popupChanged, this, [this](int o) {
        st_.orientation = o;
        if (st_.mode >= mv::kCropFirstFixed)
            mv::crop_choose(st_, st_.mode, o, pictureWidth(), pictureHeight());
        commit();
    });
    layout->addWidget(orientation_);

    auto* custom = new QHBoxLayout;
    custom->addWidget(new QLabel(tr("Width/Height:"), this));
    widthField_ = new QLineEdit(QStringLiteral("1.000"), this);
    heightField_ = new QLineEdit(QStringLiteral("1.000"), this);
    for (QLineEdit* f : {widthField_, heightField_}) {
        f->setMaximumWidth(70);
        connect(f, &QLineEdit::editingFinished, this, &CropPanel::customChanged);
    }
    custom->addWidget(widthField_);
    custom->addWidget(new QLabel(tr("by"), this));
    custom->addWidget(heightField_);
    custom->addStretch();
    layout->addLayout(custom);

    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(new QLabel(tr("Size:"), this));
    size_ = new QLabel(this);
    sizeRow->addWidget(size_, 1);
    unit_ = new PopupList(QString(), {tr("pixels"), tr("in"), tr("mm"), tr("cm"), tr("%")}, mv::kUnitPixels, this);
    connect(unit_, &PopupList::popupChanged, this, [this] { showFields(); });
    sizeRow->addWidget(unit_);
    layout->addLayout(sizeRow);

    auto* grid = new QGridLayout;
    const QString names[4] = {tr("Left Margin:"), tr("Right Margin:"), tr("Top Margin:"), tr("Bottom Margin:")};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(names[i], this), i, 0);
        margins_[i] = new QScrollBar(Qt::Horizontal, this);
        marginValues_[i] = new QLabel(this);
        marginValues_[i]->setMinimumWidth(40);
        marginValues_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(margins_[i], i, 1);
        grid->addWidget(marginValues_[i], i, 2);
        connect(margins_[i], &QScrollBar::valueChanged, this, [this, i](int v) {
            if (!showing_)
                marginChanged(i, v);
        });
        connect(margins_[i], &QScrollBar::sliderReleased, this, [this] { commit(); });
    }
    layout->addLayout(grid);

    showFields();
    set_current_tool(this);
    connect(window, &QMdiSubWindow::aboutToActivate, this, [this] { set_current_tool(this); });
}

CropPanel::~CropPanel()
{
    if (current_tool() == this)
        set_current_tool(nullptr);
    if (marked_)
        marked_->canvas()->update();
}

int CropPanel::pictureWidth() const
{
    return marked_ ? std::max(1, marked_->record().image.width) : 1;
}

int CropPanel::pictureHeight() const
{
    return marked_ ? std::max(1, marked_->record().image.height) : 1;
}

void CropPanel::inputChanged()
{
    if (marked_)
        marked_->canvas()->update();
    marked_ = window()->input();
    st_.x1 = st_.y1 = 0;
    st_.x2 = pictureWidth() - 1;
    st_.y2 = pictureHeight() - 1;
    if (st_.mode != mv::kCropArbitrary)
        fit(mv::CropHandle{});
    commit();
}

void CropPanel::chooseMode(int mode)
{
    st_.mode = mode;
    if (mode >= mv::kCropFirstFixed) {
        mv::crop_choose(st_, mode, st_.orientation, pictureWidth(), pictureHeight());
    } else if (mode == mv::kCropCustom) {
        customChanged();
        return;
    }
    commit();
}

void CropPanel::customChanged()
{
    double a = 0, b = 0;
    const bool aOk = mv::parse_number(widthField_->text().toStdString(), a) && a > 0;
    const bool bOk = mv::parse_number(heightField_->text().toStdString(), b) && b > 0;
    if (!aOk || !bOk)
        QApplication::beep();
    if (aOk)
        st_.a = a;
    if (bOk)
        st_.b = b;
    widthField_->setText(number_text(st_.a));
    heightField_->setText(number_text(st_.b));
    if (st_.mode != mv::kCropCustom)
        return;
    fit(mv::CropHandle{});
    commit();
}

void CropPanel::marginChanged(int side, int value)
{
    normalise(st_);
    const int w = pictureWidth(), h = pictureHeight();
    switch (side) {
    case 0: st_.x1 = std::min(value, st_.x2); break;
    case 1: st_.x2 = std::max(w - 1 - value, st_.x1); break;
    case 2: st_.y1 = std::min(value, st_.y2); break;
    default: st_.y2 = std::max(h - 1 - value, st_.y1); break;
    }
    if (margins_[side]->isSliderDown()) {
        showFields();
        if (marked_)
            marked_->canvas()->update();
    } else {
        commit();
    }
}

void CropPanel::fit(const mv::CropHandle& handle)
{
    if (st_.mode == mv::kCropArbitrary)
        return;
    const double a = st_.a, b = st_.b;
    if (st_.mode >= mv::kCropFirstFixed)
        mv::crop_set_fixed(st_, st_.mode, st_.orientation);
    mv::crop_fit(st_, handle, pictureWidth(), pictureHeight());
    if (st_.mode == mv::kCropCustom) {
        st_.a = a;
        st_.b = b;
    }
}

void CropPanel::showFields()
{
    showing_ = true;
    const int w = pictureWidth(), h = pictureHeight();
    int m[4];
    mv::crop_margins(st_, w, h, m);
    for (int i = 0; i < 4; ++i) {
        margins_[i]->setRange(0, (i < 2 ? w : h) - 1);
        margins_[i]->setValue(m[i]);
        marginValues_[i]->setText(QString::number(m[i]));
        margins_[i]->setEnabled(st_.mode == mv::kCropArbitrary);
    }
    widthField_->setEnabled(st_.mode == mv::kCropCustom);
    heightField_->setEnabled(st_.mode == mv::kCropCustom);
    orientation_->setEnabled(st_.mode >= mv::kCropFirstFixed);
    const double dpi = mv::usable_resolution(marked_ ? marked_->record().image.resolution : 0);
    const int unit = unit_->index();
    size_->setText(QStringLiteral("%1 %2 %3")
                       .arg(QString::fromStdString(mv::crop_size_text(mv::crop_width(st_), w, dpi, unit)), tr("by"),
                            QString::fromStdString(mv::crop_size_text(mv::crop_height(st_), h, dpi, unit))));
    showing_ = false;
}

void CropPanel::commit()
{
    normalise(st_);
    showFields();
    if (marked_)
        marked_->canvas()->update();
    panel_support::set_values(window(), {{0, st_.x1}, {1, st_.y1}, {2, st_.x2}, {3, st_.y2}});
}

void CropPanel::toolEvent(ImageWindow* w, int x, int y, int event, bool)
{
    if (!w || w != marked_)
        return;
    const QPoint p = panel_support::picture_point(w, x, y);
    const int width = pictureWidth(), height = pictureHeight();
    if (event == kToolPress || event == kToolShiftPress) {
        normalise(st_);
        start_ = st_;
        drag_ = kNone;
        // Corners: the window points of the rectangle's outer corners.
        for (int cy = 0; cy < 2 && drag_ == kNone; ++cy)
            for (int cx = 0; cx < 2 && drag_ == kNone; ++cx) {
                const QPointF c = panel_support::window_point(w, cx ? st_.x2 + 1 : st_.x1, cy ? st_.y2 + 1 : st_.y1);
                if (std::abs(c.x() - x) <= kHandleReach && std::abs(c.y() - y) <= kHandleReach) {
                    drag_ = kCorner;
                    handle_ = mv::CropHandle{false, cx == 0, cy == 0};
                    anchor_ = QPoint(cx ? st_.x1 : st_.x2, cy ? st_.y1 : st_.y2);
                }
            }
        if (drag_ == kNone && p.x() >= st_.x1 && p.x() <= st_.x2 && p.y() >= st_.y1 && p.y() <= st_.y2 &&
            !(st_.x1 == 0 && st_.y1 == 0 && st_.x2 == width - 1 && st_.y2 == height - 1)) {
            drag_ = kMove;
            anchor_ = p;
        } else if (drag_ == kNone) {
            drag_ = kNew;
            handle_ = mv::CropHandle{false, false, false};
            anchor_ = p;
        }
    }
    if (drag_ == kNone || event == kToolWindowClosing) {
        drag_ = kNone;
        return;
    }
    if (event != kToolPress && event != kToolShiftPress && event != kToolMove && event != kToolShiftMove &&
        event != kToolRelease)
        return;
    if (drag_ == kMove) {
        const int dx = std::clamp(p.x() - anchor_.x(), -start_.x1, width - 1 - start_.x2);
        const int dy = std::clamp(p.y() - anchor_.y(), -start_.y1, height - 1 - start_.y2);
        st_ = start_;
        st_.x1 += dx;
        st_.x2 += dx;
        st_.y1 += dy;
        st_.y2 += dy;
    } else {
        (handle_.moved_x1 ? st_.x1 : st_.x2) = p.x();
        (handle_.moved_x1 ? st_.x2 : st_.x1) = anchor_.x();
        (handle_.moved_y1 ? st_.y1 : st_.y2) = p.y();
        (handle_.moved_y1 ? st_.y2 : st_.y1) = anchor_.y();
        fit(handle_);
    }
    if (event == kToolRelease) {
        drag_ = kNone;
        commit();
    } else {
        showFields();
        w->canvas()->update();
    }
}

void CropPanel::paintMarks(ImageWindow* w, QPainter& painter)
{
    if (!w || w != marked_)
        return;
    mv::CropSettings r = st_;
    normalise(r);
    const QPointF a = panel_support::window_point(w, r.x1, r.y1);
    const QPointF b = panel_support::window_point(w, r.x2 + 1, r.y2 + 1);
    const QRectF box(a, b);
    painter.save();
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    QPen dashes(Qt::white, 1, Qt::DashLine);
    painter.setPen(dashes);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    const QPointF handles[5] = {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight(), box.center()};
    for (const QPointF& h : handles)
        painter.drawRect(QRectF(h.x() - 3, h.y() - 3, 6, 6));
    painter.restore();
}
