#include "shell/new_image_dialog.h"

#include "core/image.h"
#include "settings/preferences.h"
#include "tools/color_control.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The picture types offered, in the order of the list.
constexpr int kTypes[] = {mv::IMAGE_COLOR, mv::IMAGE_GRAY, mv::IMAGE_BINARY, mv::IMAGE_COLOR48,
                          mv::IMAGE_GRAY16};
const char* const kTypeNames[] = {"24-bit Color", "8-bit Gray", "Binary (Black and White)",
                                  "48-bit Color", "16-bit Gray"};

struct Remembered {
    bool set = false;
    mv::NewImageChoice choice;
};

Remembered& remembered()
{
    static Remembered r;
    return r;
}

} // namespace

mv::NewImageChoice NewImageDialog::lastChoice()
{
    if (!remembered().set) {
        mv::NewImageChoice s;
        s.resolution = mv::preferences().default_resolution;
        return s;
    }
    return remembered().choice;
}

NewImageDialog::NewImageDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("New Image"));
    auto* form = new QFormLayout;
    width_ = new QSpinBox(this);
    height_ = new QSpinBox(this);
    for (QSpinBox* b : {width_, height_}) {
        b->setRange(1, mv::kNewImageMaxSide);
        b->setSuffix(tr(" pixels"));
    }
    type_ = new QComboBox(this);
    for (const char* name : kTypeNames)
        type_->addItem(tr(name));
    resolution_ = new QDoubleSpinBox(this);
    resolution_->setRange(1.0, 9999.9);
    resolution_->setDecimals(1);
    color_ = new ColorControl(fill_, tr("Fill Color"), this);
    form->addRow(tr("Width:"), width_);
    form->addRow(tr("Height:"), height_);
    form->addRow(tr("Image Type:"), type_);
    form->addRow(tr("Resolution (dpi):"), resolution_);
    form->addRow(tr("Fill:"), color_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setChoice(lastChoice());
}

void NewImageDialog::setChoice(const mv::NewImageChoice& choice)
{
    width_->setValue(choice.width);
    height_->setValue(choice.height);
    for (int i = 0; i < int(std::size(kTypes)); ++i)
        if (kTypes[i] == choice.type)
            type_->setCurrentIndex(i);
    resolution_->setValue(choice.resolution);
    fill_ = choice.fill;
    color_->refresh();
}

void NewImageDialog::setSize(int width, int height)
{
    width_->setValue(width);
    height_->setValue(height);
}

mv::NewImageChoice NewImageDialog::choice() const
{
    mv::NewImageChoice s;
    s.width = width_->value();
    s.height = height_->value();
    s.type = kTypes[std::max(0, type_->currentIndex())];
    s.resolution = resolution_->value();
    s.fill = fill_;
    return s;
}

void NewImageDialog::accept()
{
    remembered().set = true;
    remembered().choice = choice();
    QDialog::accept();
}
