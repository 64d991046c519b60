#include "tools/color_control.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ColorControl::ColorControl(mv::Rgb& color, const QString& dialogTitle, QWidget* parent)
    : QWidget(parent), color_(color), dialogTitle_(dialogTitle), swatch_(new QPushButton(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("Color:"), this));
    swatch_->setFixedSize(48, 20);
    layout->addWidget(swatch_);
    layout->addStretch();
    connect(swatch_, &QPushButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(
            QColor(color_.red, color_.green, color_.blue), this, dialogTitle_);
        if (!chosen.isValid())
            return;
        color_ = {chosen.red(), chosen.green(), chosen.blue()};
        refresh();
    });
    refresh();
}

void ColorControl::refresh()
{
    swatch_->setStyleSheet(QStringLiteral("background-color: rgb(%1, %2, %3); border: 1px solid black;")
                               .arg(color_.red)
                               .arg(color_.green)
                               .arg(color_.blue));
}
