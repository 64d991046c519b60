#include "transform/amount_control.h"

#include "core/image.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "transform/slider.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kSwatchBevel = 3;
}

AmountControl::AmountControl(ImageWindowSource candidates, QWidget* parent)
    : QWidget(parent), candidates_(std::move(candidates)), label_(new QLabel(this)), slider_(new Slider(this))
{
    setToolTip(tr("Select Amount Mask"));
    const int lineHeight = fontMetrics().height() + 1;
    setFixedHeight(lineHeight + Slider::kHeight);
    setMinimumWidth(200);
    connect(slider_, &Slider::sliderMoving, this, [this](int low, int high) {
        block_.low = low;
        if (block_.high >= 0)
            block_.high = high;
        showBlock();
    });
    connect(slider_, &Slider::sliderReleased, this, [this](int low, int high) {
        block_.low = low;
        if (block_.high >= 0)
            block_.high = high;
        showBlock();
        emit amountChanged();
    });
    showBlock();
}

QRect AmountControl::swatchRect() const
{
    const int side = height();
    return QRect(width() - side, 0, side, side);
}

void AmountControl::resizeEvent(QResizeEvent*)
{
    const int lineHeight = fontMetrics().height() + 1;
    const int w = width() - height() - 3;
    label_->setGeometry(0, 0, w, lineHeight);
    slider_->setGeometry(0, lineHeight, w, Slider::kHeight);
}

void AmountControl::load(const mv::AmountBlock& block)
{
    block_ = block;
    showBlock();
}

void AmountControl::showBlock()
{
    label_->setText(QString::fromStdString(mv::amount_label_text(block_)));
    slider_->setValues(block_.low, block_.high);
    update();
}

void AmountControl::setRequiredSize(int width, int height)
{
    requiredWidth_ = width;
    requiredHeight_ = height;
}

QList<ImageWindow*> AmountControl::maskCandidates() const
{
    QList<ImageWindow*> out;
    for (ImageWindow* w : candidates_ ? candidates_() : QList<ImageWindow*>{}) {
        const mv::Image& img = w->record().image;
        if (img.type != mv::IMAGE_GRAY)
            continue;
        if (requiredWidth_ >= 0 && (img.width != requiredWidth_ || img.height != requiredHeight_))
            continue;
        out.append(w);
    }
    return out;
}

void AmountControl::chooseMask(ImageWindow* window)
{
    ImageWindow* previous = mask_;
    mask_ = window;
    if (window)
        mv::amount_select_mask(block_, window, &window->record().image);
    else
        mv::amount_clear_mask(block_);
    if (previous != window)
        emit maskWindowChanged(previous, window);
    showBlock();
}

void AmountControl::setMask(ImageWindow* window)
{
    chooseMask(window);
}

void AmountControl::mousePressEvent(QMouseEvent* event)
{
    if (!swatchRect().contains(event->position().toPoint()))
        return;
    if (event->button() == Qt::RightButton) {
        if (mask_) {
            mask_->showNormal();
            if (mask_->mdiArea())
                mask_->mdiArea()->setActiveSubWindow(mask_);
        }
        return;
    }
    const QList<ImageWindow*> candidates = maskCandidates();
    const int chosen = show_image_menu(this, mapToGlobal(swatchRect().bottomLeft()), tr("No Mask"), candidates);
    if (chosen < 0)
        return;
    chooseMask(chosen == 0 ? nullptr : candidates[chosen - 1]);
    emit amountChanged();
}

void AmountControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect swatch = swatchRect();
    const QRect inner = swatch.adjusted(kSwatchBevel, kSwatchBevel, -kSwatchBevel, -kSwatchBevel);
    // Sunken bevel while a mask is chosen, raised otherwise.
    p.fillRect(swatch, mask_ ? QColor(64, 64, 64) : QColor(224, 224, 224));
    p.fillRect(swatch.adjusted(kSwatchBevel - 1, kSwatchBevel - 1, 0, 0), mask_ ? QColor(224, 224, 224) : QColor(64, 64, 64));
    if (mask_) {
        p.drawPixmap(inner, image_thumbnail(mask_, inner.width()));
    } else {
        const int level = (block_.low * 255 + 512) / 1024;
        p.fillRect(inner, QColor(level, level, level));
    }
}
