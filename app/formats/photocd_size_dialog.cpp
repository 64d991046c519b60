#include "formats/photocd_size_dialog.h"

#include "settings/preferences.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

PhotoCdSizeDialog::PhotoCdSizeDialog(QWidget* parent) : QDialog(parent), list_(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("PhotoCD Image Size"));
    list_->addItems({QStringLiteral("512x768"), QStringLiteral("1024x1536"), QStringLiteral("2048x3072")});
    list_->setCurrentRow(std::clamp(mv::program_state().default_pcd_resolution - 2, 0, 2));
    list_->setFixedHeight(list_->sizeHintForRow(0) * 3 + 2 * list_->frameWidth() + 4);
    auto* label = new QLabel(tr("Image size:"), this);
    label->setBuddy(list_);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_);
    layout->addLayout(buttons);
}

int PhotoCdSizeDialog::resolution() const
{
    return std::max(list_->currentRow(), 0) + 2;
}

int PhotoCdSizeDialog::ask(QWidget* parent)
{
    PhotoCdSizeDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    mv::program_state().default_pcd_resolution = dialog.resolution();
    return dialog.resolution();
}
