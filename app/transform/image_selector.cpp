#include "transform/image_selector.h"

#include "core/image.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "transform/use_registry.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace {

ImageSelector::Picker& picker()
{
    static ImageSelector::Picker p = [](QWidget* parent, const QColor& initial, const QString& title) {
        return QColorDialog::getColor(initial, parent, title);
    };
    return p;
}

const void* handle(ImageWindow* window)
{
    return static_cast<const void*>(static_cast<ChildWindow*>(window));
}

} // namespace

void ImageSelector::setPicker(Picker p)
{
    picker() = std::move(p);
}

QColor ImageSelector::pickColor(QWidget* parent, const QColor& initial, const QString& title)
{
    return picker()(parent, initial, title);
}

ImageSelector::ImageSelector(const QString& label, const QString& colorTitle, unsigned types,
                             ImageWindowSource candidates, QWidget* parent)
    : QWidget(parent), colorTitle_(colorTitle), types_(types), candidates_(std::move(candidates)),
      swatch_(new QToolButton(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* text = new QLabel(label, this);
    text->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    layout->addWidget(text);
    swatch_->setFixedSize(kSwatch, kSwatch);
    swatch_->setIconSize(QSize(kSwatch - 6, kSwatch - 6));
    swatch_->setCheckable(true); // checked (sunken) while a window is chosen
    swatch_->installEventFilter(this);
    connect(swatch_, &QToolButton::clicked, this, &ImageSelector::openMenu);
    layout->addWidget(swatch_);
    layout->addStretch();
    setFixedHeight(kSwatch);
    updateSwatch();
}

ImageSelector::~ImageSelector()
{
    mv::use_forget(app_use_list(), this);
}

void ImageSelector::setRequiredSize(int width, int height)
{
    requiredWidth_ = width;
    requiredHeight_ = height;
}

QList<ImageWindow*> ImageSelector::candidates() const
{
    QList<ImageWindow*> out;
    for (ImageWindow* w : candidates_ ? candidates_() : QList<ImageWindow*>{}) {
        const mv::Image& img = w->record().image;
        if (w == leftOut_ || !(types_ & (1u << img.type)))
            continue;
        if (requiredWidth_ >= 0 && (img.width != requiredWidth_ || img.height != requiredHeight_))
            continue;
        out.append(w);
    }
    return out;
}

void ImageSelector::openMenu()
{
    swatch_->setChecked(window_ != nullptr);
    const QList<ImageWindow*> offered = candidates();
    const QString first = offersColor() ? tr("Select Solid Color") : QString();
    const int chosen = show_image_menu(this, swatch_->mapToGlobal(QPoint(0, kSwatch)), first, offered);
    if (chosen < 0)
        return;
    if (offersColor() && chosen == 0) {
        const QColor c = picker()(this, color_, colorTitle_);
        if (c.isValid()) {
            // The colour becomes the choice: the window (if any) is let go first.
            if (window_) {
                mv::use_remove(app_use_list(), this, handle(window_));
                window_ = nullptr;
            }
            chooseColor(c);
        }
        return;
    }
    choose(offered[chosen - (offersColor() ? 1 : 0)]);
}

void ImageSelector::choose(ImageWindow* window)
{
    if (window_)
        mv::use_remove(app_use_list(), this, handle(window_));
    window_ = window;
    if (window_)
        mv::use_add(app_use_list(), this, handle(window_), "Color Image Control", true);
    updateSwatch();
    emit imageControlChanged();
}

void ImageSelector::chooseColor(const QColor& color)
{
    color_ = color;
    updateSwatch();
    if (!window_)
        emit imageControlChanged();
}

void ImageSelector::updateSwatch()
{
    const int side = kSwatch - 6;
    if (window_) {
        swatch_->setIcon(QIcon(image_thumbnail(window_, side)));
        swatch_->setChecked(true);
        return;
    }
    QPixmap solid(side, side);
    solid.fill(offersColor() ? color_ : QColor(128, 128, 128));
    swatch_->setIcon(QIcon(solid));
    swatch_->setChecked(false);
}

bool ImageSelector::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == swatch_ && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        if (window_) {
            window_->showNormal();
            if (QMdiArea* area = window_->mdiArea())
                area->setActiveSubWindow(window_);
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
