#include "shell/zoom_factor_dialog.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstdlib>

ZoomFactorDialog::ZoomFactorDialog(QWidget* parent, int zoom)
    : QDialog(parent), edit_(new QLineEdit(QString::number(std::abs(zoom)), this)),
      magnify_(new QRadioButton(tr("Magnification"), this)), reduce_(new QRadioButton(tr("Reduction"), this))
{
    setWindowTitle(QStringLiteral("Zoom Factor"));
    (zoom >= 1 ? magnify_ : reduce_)->setChecked(true);
    edit_->selectAll();
    auto* label = new QLabel(tr("Factor:"), this);
    label->setBuddy(edit_);
    auto* field = new QHBoxLayout;
    field->addWidget(label);
    field->addWidget(edit_);
    auto* ok = new QPushButton(tr("OK"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addWidget(magnify_);
    layout->addWidget(reduce_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int ZoomFactorDialog::zoomFromEntry(const QString& text, bool reduction)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 1)
        return 0;
    return reduction && value != 1 ? -value : value;
}

int ZoomFactorDialog::chosenZoom() const
{
    return zoomFromEntry(edit_->text(), reduce_->isChecked());
}
