#include "shell/window_grid_dialog.h"

#include "shell/image_window.h"
#include "shell/window_records.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kMinDivisions = 1, kMaxDivisions = 99;
}

WindowGridDialog::WindowGridDialog(QWidget* parent, ImageWindow* window)
    : QDialog(parent), window_(window), original_(window->record().grid_divisions),
      edit_(new QLineEdit(QString::number(original_), this)), up_(new QToolButton(this)),
      down_(new QToolButton(this))
{
    setWindowTitle(QStringLiteral("Window Grid"));
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAutoRepeat(true);
    down_->setAutoRepeat(true);
    for (QToolButton* b : {up_, down_})
        b->setFixedSize(18, edit_->sizeHint().height() / 2);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(up_);
    arrows->addWidget(down_);
    auto* label = new QLabel(tr("Grid Divisions:"), this);
    label->setBuddy(edit_);
    auto* field = new QHBoxLayout;
    field->setSpacing(0);
    field->addWidget(label);
    field->addSpacing(6);
    field->addWidget(edit_);
    field->addLayout(arrows);
    edit_->setMaxLength(4);

    auto* ok = new QPushButton(tr("OK"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edit_, &QLineEdit::textEdited, this, &WindowGridDialog::textEdited);
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void WindowGridDialog::apply(int divisions)
{
    window_->record().grid_divisions = divisions;
    window_->canvas()->update();
}

void WindowGridDialog::textEdited(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < kMinDivisions || value > kMaxDivisions) {
        QApplication::beep();
        emit beeped();
        return;
    }
    apply(value);
}

void WindowGridDialog::step(int delta)
{
    const int value = std::clamp(window_->record().grid_divisions + delta, kMinDivisions, kMaxDivisions);
    edit_->setText(QString::number(value));
    apply(value);
}

void WindowGridDialog::reject()
{
    apply(original_);
    QDialog::reject();
}
