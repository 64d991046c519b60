#include "transform/panels/add_border_panel.h"

#include "core/format.h"
#include "filters/resize_units.h"
#include "shell/window_records.h"
#include "transform/color_swatch.h"
#include "transform/panels/panel_support.h"
#include "transform/popup_list.h"
#include "transform/transformation_window.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The largest width a field takes; the window's values hold no more.
constexpr int kMaxWidth = 65535;

// The catalogue controls, in order: Left, Right, Top, Bottom, Red, Green, Blue.
enum Param { kLeft = 0, kRight, kTop, kBottom, kRed, kGreen, kBlue };

} // namespace

AddBorderPanel::AddBorderPanel(TransformationWindow* window) : OperationPanel(window), marked_(window->input())
{
    panel_support::hide_generic_controls(window);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    background_ = new ColorSwatch(tr("Background Color:"), tr("Background Color"), this);
    background_->setColor(QColor(st_.red, st_.green, st_.blue));
    connect(background_, &ColorSwatch::colorChanged, this, &AddBorderPanel::colorChosen);
    layout->addWidget(background_);

    auto* grid = new QGridLayout;
    const QString names[4] = {tr("Left:"), tr("Right:"), tr("Top:"), tr("Bottom:")};
    for (int i = 0; i < 4; ++i) {
        fields_[i] = new QLineEdit(this);
        // Six characters wide, plus the frame.
        fields_[i]->setFixedWidth(QFontMetrics(fields_[i]->font()).horizontalAdvance(QLatin1Char('0')) * 6 + 12);
        connect(fields_[i], &QLineEdit::editingFinished, this, [this, i] { widthTyped(i); });
        grid->addWidget(new QLabel(names[i], this), i / 2, (i % 2) * 2);
        grid->addWidget(fields_[i], i / 2, (i % 2) * 2 + 1);
    }
    grid->setColumnStretch(4, 1);
    layout->addLayout(grid);

    unit_ = new PopupList(tr("Units:"), {tr("pixels"), tr("in"), tr("mm"), tr("cm"), tr("%")}, mv::kUnitPixels, this);
    connect(unit_, &PopupList::popupChanged, this, [this](int u) {
        st_.unit = u;
        showFields();
    });
    layout->addWidget(unit_);

    showFields();
    set_current_tool(this);
    connect(window, &QMdiSubWindow::aboutToActivate, this, [this] { set_current_tool(this); });
}

AddBorderPanel::~AddBorderPanel()
{
    if (current_tool() == this)
        set_current_tool(nullptr);
    if (marked_)
        marked_->canvas()->update();
}

int AddBorderPanel::pictureWidth() const
{
    return marked_ ? std::max(1, marked_->record().image.width) : 1;
}

int AddBorderPanel::pictureHeight() const
{
    return marked_ ? std::max(1, marked_->record().image.height) : 1;
}

double AddBorderPanel::pictureResolution() const
{
    return mv::usable_resolution(marked_ ? marked_->record().image.resolution : 0);
}

void AddBorderPanel::outline(int r[4]) const
{
    mv::add_border_outline(st_, pictureWidth(), pictureHeight(), r);
}

void AddBorderPanel::inputChanged()
{
    if (marked_)
        marked_->canvas()->update();
    marked_ = window()->input();
    // The widths stay in pixels; the fields show them against the new picture.
    showFields();
    if (marked_)
        marked_->canvas()->update();
}

void AddBorderPanel::widthTyped(int side)
{
    int* widths[4] = {&st_.left, &st_.right, &st_.top, &st_.bottom};
    int pixels = 0;
    const std::string text = fields_[side]->text().toStdString();
    if (!mv::add_border_parse_width(st_, side, text.c_str(), pictureWidth(), pictureHeight(), pictureResolution(),
                                    pixels) ||
        pixels > kMaxWidth) {
        QApplication::beep();
        showFields();
        return;
    }
    if (pixels == *widths[side]) {
        showFields();
        return;
    }
    *widths[side] = pixels;
    commit();
}

void AddBorderPanel::colorChosen(const QColor& color)
{
    st_.red = color.red();
    st_.green = color.green();
    st_.blue = color.blue();
    commit();
}

void AddBorderPanel::showFields()
{
    const int widths[4] = {st_.left, st_.right, st_.top, st_.bottom};
    for (int i = 0; i < 4; ++i) {
        const double v = mv::add_border_width_in_unit(st_, i, widths[i], pictureWidth(), pictureHeight(),
                                                      pictureResolution());
        const std::string text =
            st_.unit == mv::kUnitPixels ? mv::format_text("%d", widths[i]) : mv::format_text("%3f", v);
        fields_[i]->setText(QString::fromStdString(text));
    }
}

void AddBorderPanel::commit()
{
    showFields();
    if (marked_)
        marked_->canvas()->update();
    panel_support::set_values(window(), {{kLeft, st_.left},
                                         {kRight, st_.right},
                                         {kTop, st_.top},
                                         {kBottom, st_.bottom},
                                         {kRed, st_.red},
                                         {kGreen, st_.green},
                                         {kBlue, st_.blue}});
}

void AddBorderPanel::toolEvent(ImageWindow*, int, int, int, bool) {}

void AddBorderPanel::paintMarks(ImageWindow* w, QPainter& painter)
{
    if (!w || w != marked_)
        return;
    int r[4];
    outline(r);
    const QRectF box(panel_support::window_point(w, r[0], r[1]), panel_support::window_point(w, r[2] + 1, r[3] + 1));
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.restore();
}
