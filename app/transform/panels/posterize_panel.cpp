#include "transform/panels/posterize_panel.h"

#include "core/error.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "transform/image_selector.h"
#include "transform/transformation_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The catalogue's controls of Posterize, in order.
enum { kColors = 0, kRemap = 1, kAutoPalette = 3, kPalette = 4, kRemapped = 5 };
constexpr int kPerRow = 4;

QColor to_qcolor(const mv::Rgb& c)
{
    return QColor(c.red, c.green, c.blue);
}

QIcon swatch_icon(const QColor& c)
{
    QPixmap pm(36, 18);
    pm.fill(c);
    QPainter p(&pm);
    p.setPen(QColor(64, 64, 64));
    p.drawRect(0, 0, pm.width() - 1, pm.height() - 1);
    return QIcon(pm);
}

} // namespace

PosterizePanel::PosterizePanel(TransformationWindow* window) : OperationPanel(window)
{
    // The button replaces the catalogue's check box; the palettes are edited as swatches.
    for (const int hidden : {kAutoPalette, kPalette, kRemapped})
        if (QWidget* control = window->paramControl(hidden))
            control->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto_ = new QPushButton(tr("Auto Palette"), this);
    auto_->setAutoDefault(false);
    connect(auto_, &QPushButton::clicked, this, [this] { mv::error_box(autoPalette()); });
    auto* row = new QHBoxLayout;
    row->addWidget(auto_);
    row->addStretch();
    layout->addLayout(row);
    grids_[0] = buildGrid(false);
    grids_[1] = buildGrid(true);
    layout->addWidget(grids_[0]);
    layout->addWidget(grids_[1]);
    showPalette();
}

QWidget* PosterizePanel::buildGrid(bool remapped)
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(2);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    for (int i = 0; i < mv::kPosterizeMaxColors; ++i) {
        auto* cell = new QWidget(box);
        auto* v = new QVBoxLayout(cell);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(1);
        const QString title = (remapped ? tr("Remapped Color %1") : tr("Color %1")).arg(i + 1);
        auto* label = new QLabel(title, cell);
        label->setFont(small);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        auto* swatch = new QToolButton(cell);
        swatch->setIconSize(QSize(36, 18));
        swatch->setFixedSize(42, 24);
        swatch->setToolTip(title);
        connect(swatch, &QToolButton::clicked, this, [this, remapped, i, title] {
            const QColor c = ImageSelector::pickColor(this, color(remapped, i), title);
            if (c.isValid())
                setColor(remapped, i, c);
        });
        v->addWidget(swatch, 0, Qt::AlignHCenter);
        v->addWidget(label);
        cell->setFixedWidth(70);
        grid->addWidget(cell, i / kPerRow, i % kPerRow);
        cells_[remapped].append(cell);
        swatches_[remapped].append(swatch);
    }
    return box;
}

QToolButton* PosterizePanel::swatch(bool remapped, int index) const
{
    return swatches_[remapped].value(index);
}

QColor PosterizePanel::color(bool remapped, int index) const
{
    const mv::PosterizePalette& p = remapped ? remapped_ : colors_;
    return index >= 0 && index < mv::kPosterizeMaxColors ? to_qcolor(p[size_t(index)]) : QColor();
}

void PosterizePanel::setColor(bool remapped, int index, const QColor& c)
{
    if (index < 0 || index >= mv::kPosterizeMaxColors || !c.isValid())
        return;
    mv::PosterizePalette& p = remapped ? remapped_ : colors_;
    p[size_t(index)] = {c.red(), c.green(), c.blue()};
    window()->setText(remapped ? kRemapped : kPalette, mv::posterize_palette_text(p));
}

int PosterizePanel::autoPalette()
{
    ImageWindow* in = window()->input();
    if (!in)
        return mv::kOk;
    mv::PosterizeSettings s;
    s.colors = window()->values().numbers[kColors];
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int err = mv::posterize_auto_palette(in->record().image, s);
    QApplication::restoreOverrideCursor();
    if (err)
        return err;
    colors_ = s.color;
    remapped_ = s.remapped;
    window()->storeText(kRemapped, mv::posterize_palette_text(remapped_));
    window()->setText(kPalette, mv::posterize_palette_text(colors_));
    showPalette();
    return mv::kOk;
}

void PosterizePanel::settingsRebuilt(mv::OperationSettings& settings)
{
    // The record holds the palettes exactly as the texts give them.
    const auto& s = *static_cast<const mv::PosterizeSettings*>(settings.record());
    colors_ = s.color;
    remapped_ = s.remapped;
    showPalette();
}

void PosterizePanel::showPalette()
{
    const mv::OperationValues& v = window()->values();
    const int n = v.numbers.size() > kColors ? v.numbers[kColors] : 2;
    const bool remap = v.numbers.size() > kRemap && v.numbers[kRemap] != 0;
    bool resized = false;
    for (int r = 0; r < 2; ++r) {
        const mv::PosterizePalette& p = r ? remapped_ : colors_;
        for (int i = 0; i < mv::kPosterizeMaxColors; ++i) {
            swatches_[r][i]->setIcon(swatch_icon(to_qcolor(p[size_t(i)])));
            const bool shown = i < n;
            if (cells_[r][i]->isVisibleTo(this) != shown) {
                cells_[r][i]->setVisible(shown);
                resized = true;
            }
        }
    }
    if (grids_[1]->isVisibleTo(this) != remap) {
        grids_[1]->setVisible(remap);
        resized = true;
    }
    if (resized && window()->widget()) {
        window()->widget()->adjustSize();
        window()->adjustSize();
        // A taller window moves up so that it stays inside the workspace.
        window()->keep_inside(window());
    }
}
