#include "transform/panels/resize_panel.h"

#include "core/format.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "transform/panels/panel_support.h"
#include "transform/popup_list.h"
#include "transform/transformation_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <charconv>
#include <cstring>

namespace {

QStringList items_of(const char* packed)
{
    // A packed list: the label, then each item ended by NUL, the whole ended by a byte 1.
    QStringList items;
    const char* p = packed + std::strlen(packed) + 1;
    while (*p != 1) {
        items << QString::fromUtf8(p);
        p += std::strlen(p) + 1;
    }
    return items;
}

QString text(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

ResizePanel::ResizePanel(TransformationWindow* window) : OperationPanel(window)
{
    panel_support::hide_generic_controls(window);
    if (ImageWindow* in = window->input())
        mv::resize_state_init(st_, in->record().image);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->addWidget(new QLabel(tr("Current"), this), 0, 1);
    grid->addWidget(new QLabel(tr("New"), this), 0, 2);
    const QString rows[5] = {tr("Width"), tr("Height"), tr("Resolution"), tr("File Size"), tr("Proportions")};
    for (int i = 0; i < 5; ++i) {
        grid->addWidget(new QLabel(rows[i], this), i + 1, 0);
        current_[i] = new QLabel(this);
        current_[i]->setMinimumWidth(60);
        grid->addWidget(current_[i], i + 1, 1);
        new_[i] = nullptr;
    }
    newWidth_ = new QLineEdit(this);
    newHeight_ = new QLineEdit(this);
    newResolution_ = new QLineEdit(this);
    QLineEdit* fields[3] = {newWidth_, newHeight_, newResolution_};
    for (int i = 0; i < 3; ++i) {
        fields[i]->setMaximumWidth(80);
        grid->addWidget(fields[i], i + 1, 2);
        QLineEdit* f = fields[i];
        connect(f, &QLineEdit::editingFinished, this, [this, f] { typed(f); });
    }
    for (int i = 3; i < 5; ++i) {
        new_[i] = new QLabel(this);
        grid->addWidget(new_[i], i + 1, 2);
    }
    sizeUnit_ = new PopupList(QString(), items_of(mv::kSizeUnitList), mv::kUnitPixels, this);
    connect(sizeUnit_, &PopupList::popupChanged, this, [this](int unit) {
        st_.size_unit = unit;
        showState();
    });
    grid->addWidget(sizeUnit_, 1, 3, 2, 1);
    resolutionUnit_ = new PopupList(QString(), items_of(mv::kResolutionUnitList), mv::kUnitDpi, this);
    connect(resolutionUnit_, &PopupList::popupChanged, this, [this](int unit) {
        st_.resolution_unit = unit;
        showState();
    });
    grid->addWidget(resolutionUnit_, 3, 3);
    layout->addLayout(grid);

    preserve_ = new PopupList(tr("Preserve:"), items_of(mv::kPreserveList), mv::kPreserveProportions, this);
    connect(preserve_, &PopupList::popupChanged, this, [this](int mode) {
        mv::resize_set_preserve(st_, mode);
        showState();
        commit();
    });
    layout->addWidget(preserve_);
    const int interp = panel_support::param_index(window->operation(), "interpolation-method");
    interpolation_ = new PopupList(tr("Interpolation Method:"), items_of(mv::kInterpolationList),
                                   window->values().numbers[size_t(interp)], this);
    connect(interpolation_, &PopupList::popupChanged, this, [this, interp](int v) {
        st_.interpolation = v;
        panel_support::set_values(this->window(), {{interp, v}});
    });
    layout->addWidget(interpolation_);
    showState();
}

void ResizePanel::inputChanged()
{
    ImageWindow* in = window()->input();
    if (!in)
        return;
    const mv::ResizeState old = st_;
    mv::resize_state_init(st_, in->record().image);
    st_.size_unit = old.size_unit;
    st_.resolution_unit = old.resolution_unit;
    st_.preserve = old.preserve;
    st_.interpolation = old.interpolation;
    showState();
    commit();
}

void ResizePanel::typed(QLineEdit* field)
{
    const std::string typedText = field->text().toStdString();
    bool ok;
    if (field == newWidth_)
        ok = mv::resize_type_width(st_, typedText);
    else if (field == newHeight_)
        ok = mv::resize_type_height(st_, typedText);
    else
        ok = mv::resize_type_resolution(st_, typedText);
    if (!ok)
        QApplication::beep();
    showState();
    if (ok)
        commit();
}

void ResizePanel::showState()
{
    const int unit = st_.size_unit, runit = st_.resolution_unit;
    current_[0]->setText(text(mv::resize_length_text(st_.current_width, st_.current_resolution, unit)));
    current_[1]->setText(text(mv::resize_length_text(st_.current_height, st_.current_resolution, unit)));
    current_[2]->setText(text(mv::resize_resolution_text(st_.current_resolution, runit)));
    mv::ResizeState current = st_;
    current.new_width = st_.current_width;
    current.new_height = st_.current_height;
    current_[3]->setText(text(mv::resize_file_size_text(current)));
    current_[4]->setText(text(mv::resize_proportions_text(st_.current_width, st_.current_height)));
    newWidth_->setText(text(mv::resize_length_text(st_.new_width, st_.new_resolution, unit)));
    newHeight_->setText(text(mv::resize_length_text(st_.new_height, st_.new_resolution, unit)));
    newResolution_->setText(text(mv::resize_resolution_text(st_.new_resolution, runit)));
    new_[3]->setText(text(mv::resize_file_size_text(st_)));
    new_[4]->setText(text(mv::resize_proportions_text(st_.new_width, st_.new_height)));
    const bool editable = mv::resize_size_editable(st_);
    newWidth_->setEnabled(editable);
    newHeight_->setEnabled(editable);
}

void ResizePanel::commit()
{
    const mv::Operation& op = window()->operation();
    // The resolution in its shortest exact form, so the window and the batch tool agree.
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, st_.new_resolution);
    const std::string resolution = st_.new_resolution > 0 ? std::string(buffer, r.ptr) : std::string();
    panel_support::set_values(window(),
                              {{panel_support::param_index(op, "width"), st_.new_width},
                               {panel_support::param_index(op, "height"), st_.new_height}},
                              {{panel_support::param_index(op, "resolution"), resolution}});
}
