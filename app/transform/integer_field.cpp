#include "transform/integer_field.h"

#include "tone/settings_tokenizer.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

IntegerField::IntegerField(const QString& label, int minimum, int maximum, int value, QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), minimum_(minimum), maximum_(maximum),
      value_(std::clamp(value, minimum, maximum))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!label.isEmpty())
        layout->addWidget(new QLabel(label, this));
    edit_->setMaxLength(10);
    edit_->setText(QString::number(value_));
    layout->addWidget(edit_, 1);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    up->setFixedSize(16, 11);
    down->setFixedSize(16, 11);
    arrows->addWidget(up);
    arrows->addWidget(down);
    layout->addLayout(arrows);
    connect(up, &QToolButton::clicked, this, [this] { step(1); });
    connect(down, &QToolButton::clicked, this, [this] { step(-1); });
    connect(edit_, &QLineEdit::editingFinished, this, &IntegerField::parseText);
}

void IntegerField::setValue(int value)
{
    value_ = std::clamp(value, minimum_, maximum_);
    edit_->setText(QString::number(value_));
}

void IntegerField::step(int delta)
{
    const int before = value_;
    setValue(value_ + delta);
    if (value_ != before)
        emit integerChanged(value_);
}

void IntegerField::parseText()
{
    int parsed = 0;
    const std::string text = edit_->text().toStdString();
    if (!mv::settings_parse_int(text, parsed)) {
        QApplication::beep();
        edit_->setText(QString::number(value_));
        return;
    }
    if (parsed < minimum_ || parsed > maximum_)
        QApplication::beep();
    const int before = value_;
    setValue(parsed);
    if (value_ != before)
        emit integerChanged(value_);
}
