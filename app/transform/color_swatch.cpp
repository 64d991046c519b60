#include "transform/color_swatch.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

namespace {

ColorSwatch::Picker& picker()
{
    static ColorSwatch::Picker p;
    return p;
}

} // namespace

ColorSwatch::ColorSwatch(const QString& label, const QString& dialogTitle, QWidget* parent)
    : QWidget(parent), title_(dialogTitle), button_(new QToolButton(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!label.isEmpty())
        layout->addWidget(new QLabel(label, this));
    button_->setFixedSize(33, 22);
    button_->setIconSize(QSize(27, 16));
    layout->addWidget(button_);
    if (!label.isEmpty())
        layout->addStretch();
    connect(button_, &QToolButton::clicked, this, &ColorSwatch::pick);
    setColor(color_);
}

void ColorSwatch::setColor(const QColor& color)
{
    color_ = color;
    QPixmap swatch(27, 16);
    swatch.fill(color);
    QPainter p(&swatch);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 26, 15);
    button_->setIcon(QIcon(swatch));
}

void ColorSwatch::pick()
{
    const QColor chosen = picker() ? picker()(this, color_, title_)
                                   : QColorDialog::getColor(color_, this, title_);
    if (!chosen.isValid())
        return;
    setColor(chosen);
    emit colorChanged(chosen);
}

void ColorSwatch::setPicker(Picker p)
{
    picker() = std::move(p);
}
