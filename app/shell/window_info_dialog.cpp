#include "shell/window_info_dialog.h"

#include "shell/window_records.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

WindowInfoDialog::WindowInfoDialog(QWidget* parent, const mv::WindowRecord* record)
    : QDialog(parent),
      info_(record ? mv::window_info(record->image, record->path, record->file_type) : mv::window_info_none())
{
    setWindowTitle(QStringLiteral("Window Info"));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    const auto add = [&](const QString& label, const char* name, const std::string& text) {
        auto* value = new QLabel(QString::fromStdString(text), this);
        value->setObjectName(QString::fromLatin1(name));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(label, value);
    };
    add(tr("Image Type:"), "type", info_.type);
    add(tr("Image Size:"), "bytes", info_.bytes);
    add(tr("Dimensions:"), "pixels", info_.pixels);
    add(QString(), "inches", info_.inches);
    add(tr("Resolution:"), "dpi", info_.dpi);
    add(tr("Pathname:"), "path", info_.path);
    add(tr("File Type:"), "format", info_.format);
    add(tr("File Date:"), "date", info_.date);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString WindowInfoDialog::field(const QString& name) const
{
    const QLabel* label = findChild<QLabel*>(name);
    return label ? label->text() : QString();
}
