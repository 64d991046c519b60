#include "transform/panels/levels_panel.h"

#include "shell/image_window.h"
#include "tone/color_space.h"
#include "transform/amount_control.h"
#include "transform/color_swatch.h"
#include "transform/popup_list.h"
#include "transform/slider.h"
#include "transform/transformation_window.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QHideEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace {

// The catalogue's controls this panel stands in for, and the colour space list it places.
constexpr int kSpaceParam = 0;
constexpr int kFirstReplaced = 1, kLastReplaced = 6; // Midtones .. Blue

constexpr int kRampTop = 6, kRampHeight = 10, kSide = 4;

bool is_colour(const ImageWindow* w)
{
    const int t = w ? w->record().image.type : 0;
    return t == mv::IMAGE_COLOR || t == mv::IMAGE_COLOR48;
}

} // namespace

LevelsRangeControl::LevelsRangeControl(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(26);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void LevelsRangeControl::setRange(int low, int high)
{
    low_ = std::clamp(low, 0, 255);
    high_ = std::clamp(high, low_, 255);
    update();
}

void LevelsRangeControl::setMeasured(int black, int white)
{
    black_ = black;
    white_ = white;
    update();
}

void LevelsRangeControl::setProbeLevel(int level)
{
    probe_ = level < 0 ? -1 : std::min(level, 255);
    update();
}

int LevelsRangeControl::positionOf(int level) const
{
    return kSide + level * (std::max(1, width() - 2 * kSide - 1)) / 255;
}

int LevelsRangeControl::levelAt(int x) const
{
    const int w = std::max(1, width() - 2 * kSide - 1);
    return std::clamp(int(std::lround(double(x - kSide) * 255 / w)), 0, 255);
}

void LevelsRangeControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width() - 2 * kSide;
    QLinearGradient ramp(kSide, 0, kSide + w, 0);
    ramp.setColorAt(0, Qt::black);
    ramp.setColorAt(1, Qt::white);
    p.fillRect(QRect(kSide, kRampTop, w, kRampHeight), ramp);
    // The chosen output range, outlined on the ramp.
    p.setPen(QColor(255, 220, 0));
    p.drawRect(positionOf(low_), kRampTop, positionOf(high_) - positionOf(low_), kRampHeight - 1);
    // The measured points above the ramp.
    p.setPen(Qt::black);
    for (int level : {black_, white_})
        p.drawLine(positionOf(level), kRampTop - 5, positionOf(level), kRampTop - 1);
    if (probe_ >= 0) {
        p.setBrush(Qt::yellow);
        const int x = positionOf(probe_);
        const QPoint mark[] = {{x, kRampTop - 1}, {x - 3, kRampTop - 6}, {x + 3, kRampTop - 6}};
        p.drawPolygon(mark, 3);
    }
    // The knobs below it: low dark, high light.
    const int y = kRampTop + kRampHeight;
    for (int knob = 0; knob < 2; ++knob) {
        const int x = positionOf(knob == 0 ? low_ : high_);
        p.setBrush(knob == 0 ? Qt::black : Qt::white);
        p.setPen(knob == 0 ? Qt::white : Qt::black);
        const QPoint k[] = {{x, y}, {x - 4, y + 8}, {x + 4, y + 8}};
        p.drawPolygon(k, 3);
    }
}

void LevelsRangeControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int x = int(event->position().x());
    const int dl = std::abs(x - positionOf(low_)), dh = std::abs(x - positionOf(high_));
    // Between equal knobs, the side the press is on decides.
    dragging_ = dl < dh || (dl == dh && x < positionOf(low_)) ? 1 : 2;
    mouseMoveEvent(event);
}

void LevelsRangeControl::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return;
    const int level = levelAt(int(event->position().x()));
    if (dragging_ == 1)
        low_ = std::min(level, high_);
    else
        high_ = std::max(level, low_);
    update();
    emit rangeMoving(low_, high_);
}

void LevelsRangeControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    dragging_ = 0;
    emit rangeReleased(low_, high_);
}

LevelsPanel::LevelsPanel(TransformationWindow* window)
    : OperationPanel(window),
      probe_([this](ImageWindow* w, const mv::Rgb& c, int, int) { probed(w, c); })
{
    for (int i = kFirstReplaced; i <= kLastReplaced; ++i)
        window->paramControl(i)->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    const auto labelledSlider = [this, layout](QLabel*& label, Slider*& slider) {
        label = new QLabel(this);
        slider = new Slider(this);
        slider->setValues(512);
        layout->addWidget(label);
        layout->addWidget(slider);
    };
    labelledSlider(midtonesLabel_, midtones_);
    rangeLabel_ = new QLabel(this);
    layout->addWidget(rangeLabel_);
    range_ = new LevelsRangeControl(this);
    layout->addWidget(range_);
    balance_ = new ColorSwatch(tr("Color Balance:"), tr("Color Balance"), this);
    layout->addWidget(balance_);
    if (QWidget* space = window->paramControl(kSpaceParam))
        layout->addWidget(space);
    auto* saturationBox = new QWidget(this);
    auto* sv = new QVBoxLayout(saturationBox);
    sv->setContentsMargins(0, 0, 0, 0);
    saturationLabel_ = new QLabel(saturationBox);
    saturation_ = new Slider(saturationBox);
    saturation_->setValues(512);
    sv->addWidget(saturationLabel_);
    sv->addWidget(saturation_);
    layout->addWidget(saturationBox);
    colourOnly_[0] = balance_;
    colourOnly_[1] = saturationBox;

    auto* row = new QHBoxLayout;
    auto* optionsButton = new QPushButton(tr("Options"), this);
    optionsButton->setAutoDefault(false);
    options_ = new QMenu(optionsButton);
    optionsButton->setMenu(options_);
    row->addWidget(optionsButton);
    probeButton_ = new QToolButton(this);
    probeButton_->setText(tr("Probe"));
    probeButton_->setCheckable(true);
    row->addWidget(probeButton_);
    readout_ = new QLabel(this);
    row->addWidget(readout_, 1);
    layout->addLayout(row);

    options_->addAction(tr("&Reset"), this, &LevelsPanel::reset);
    options_->addAction(tr("&Full Range"), this, &LevelsPanel::fullRange);
    options_->addSeparator();
    auto* sizes = new QActionGroup(this);
    for (int i = 0; i < 5; ++i) {
        probeActions_[i] = options_->addAction(tr("%1x%1 Probe").arg(2 * i + 1));
        probeActions_[i]->setCheckable(true);
        probeActions_[i]->setChecked(i == probeSize_);
        sizes->addAction(probeActions_[i]);
        connect(probeActions_[i], &QAction::triggered, this, [this, i] {
            probeSize_ = i;
            probe_.setSize(i);
        });
    }
    probe_.setSize(probeSize_);

    connect(midtones_, &Slider::sliderMoving, this, [this](int low, int) {
        midtonesLabel_->setText(QString::fromStdString(mv::levels_midtones_label(mv::levels_slider_percent(low))));
    });
    connect(midtones_, &Slider::sliderReleased, this, [this](int low, int) {
        midtonesPercent_ = mv::levels_slider_percent(low);
        showLabels();
        this->window()->settingsChanged();
    });
    connect(saturation_, &Slider::sliderMoving, this, [this](int low, int) {
        saturationLabel_->setText(QString::fromStdString(mv::levels_saturation_label(mv::levels_slider_percent(low))));
    });
    connect(saturation_, &Slider::sliderReleased, this, [this](int low, int) {
        saturationPercent_ = mv::levels_slider_percent(low);
        showLabels();
        this->window()->settingsChanged();
    });
    connect(range_, &LevelsRangeControl::rangeMoving, this, [this](int low, int high) {
        mv::LevelsSettings s;
        s.range_low = low;
        s.range_high = high;
        rangeLabel_->setText(QString::fromStdString(mv::levels_range_label(s)));
    });
    connect(range_, &LevelsRangeControl::rangeReleased, this, [this](int low, int high) {
        rangeLow_ = low;
        rangeHigh_ = high;
        showLabels();
        this->window()->settingsChanged();
    });
    connect(balance_, &ColorSwatch::colorChanged, this, [this] { this->window()->settingsChanged(); });
    connect(probeButton_, &QToolButton::toggled, this, [this](bool on) {
        probe_.setOn(on);
        if (!on) {
            range_->setProbeLevel(-1);
            readout_->clear();
        }
    });
    showLabels();
    // The window itself has not been laid out yet: only the panel's rows change.
    const bool colour = is_colour(window->input());
    for (QWidget* w : colourOnly_)
        w->setVisible(colour);
}

void LevelsPanel::showLabels()
{
    mv::LevelsSettings s;
    s.range_low = rangeLow_;
    s.range_high = rangeHigh_;
    midtonesLabel_->setText(QString::fromStdString(mv::levels_midtones_label(midtonesPercent_)));
    saturationLabel_->setText(QString::fromStdString(mv::levels_saturation_label(saturationPercent_)));
    rangeLabel_->setText(QString::fromStdString(mv::levels_range_label(s)));
    range_->setRange(rangeLow_, rangeHigh_);
}

void LevelsPanel::showColourControls()
{
    const bool colour = is_colour(window()->input());
    for (QWidget* w : colourOnly_)
        w->setVisible(colour);
    window()->show_color_controls(colour);
}

void LevelsPanel::inputChanged()
{
    range_->setProbeLevel(-1);
    readout_->clear();
    showColourControls();
}

void LevelsPanel::settingsRebuilt(mv::OperationSettings& settings)
{
    mv::LevelsSettings& l = *static_cast<mv::LevelsSettings*>(settings.record());
    const void* in = window()->input();
    if (l.color_space != measuredSpace_ || in != measuredInput_) {
        // A fresh measurement: the range starts at the measured points, so the result
        // starts as the input.
        measuredSpace_ = l.color_space;
        measuredInput_ = in;
        rangeLow_ = l.black;
        rangeHigh_ = l.white;
        range_->setMeasured(l.black, l.white);
        showLabels();
    }
    l.probe = probeSize_;
    l.midtones = midtonesPercent_;
    l.saturation = saturationPercent_;
    l.range_low = rangeLow_;
    l.range_high = rangeHigh_;
    const QColor c = balance_->color();
    l.balance[0] = std::uint8_t(c.red());
    l.balance[1] = std::uint8_t(c.green());
    l.balance[2] = std::uint8_t(c.blue());
    last_ = l;
}

void LevelsPanel::fullRange()
{
    rangeLow_ = 0;
    rangeHigh_ = 255;
    showLabels();
    window()->settingsChanged();
}

void LevelsPanel::reset()
{
    if (AmountControl* amount = window()->amountControl()) {
        amount->setMask(nullptr);
        mv::AmountBlock block = amount->block();
        block.low = 1024;
        amount->load(block);
    }
    probeSize_ = 2;
    probe_.setSize(probeSize_);
    probeActions_[probeSize_]->setChecked(true);
    midtonesPercent_ = saturationPercent_ = 0;
    midtones_->setValues(512);
    saturation_->setValues(512);
    balance_->setColor(Qt::white);
    rangeLow_ = last_.black;
    rangeHigh_ = last_.white;
    showLabels();
    auto* space = qobject_cast<PopupList*>(window()->paramControl(kSpaceParam));
    if (space && window()->values().numbers[kSpaceParam] != mv::LEVELS_HSV)
        space->select(mv::LEVELS_HSV); // measures in HSV and recomputes
    else
        window()->settingsChanged();
}

void LevelsPanel::probed(ImageWindow* w, const mv::Rgb& c)
{
    int level = c.red;
    if (is_colour(w))
        level = last_.color_space == mv::LEVELS_HSL ? mv::hsl_lightness(c.red, c.green, c.blue)
                                                   : mv::color_max(c.red, c.green, c.blue);
    std::uint8_t table[256];
    mv::levels_level_table(last_.black, last_.white, last_.range_low, last_.range_high, last_.midtones, table);
    range_->setProbeLevel(level);
    readout_->setText(tr("Level %1 \u2192 %2").arg(level).arg(table[level]));
}

void LevelsPanel::hideEvent(QHideEvent* event)
{
    probeButton_->setChecked(false);
    probe_.setOn(false);
    OperationPanel::hideEvent(event);
}
