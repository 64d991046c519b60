#include "transform/panels/color_curves_panel.h"

#include "core/error.h"
#include "shell/image_window.h"
#include "tone/color_curves.h"
#include "transform/curve_control.h"
#include "transform/panels/curve_panel_support.h"
#include "transform/popup_list.h"
#include "transform/settings_file_dialog.h"
#include "transform/transformation_window.h"

#include <QHideEvent>

#include <QComboBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kFileParam = 0; // "color-curves=FILE.cc"
} // namespace

ColorCurvesPanel::ColorCurvesPanel(TransformationWindow* window)
    : OperationPanel(window), curve_(new CurveControl(this)),
      probe_([this](ImageWindow*, const mv::Rgb& c, int, int) { probed(c); })
{
    window->paramControl(kFileParam)->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* row = new QHBoxLayout;
    space_ = new PopupList(tr("Color Space:"), {tr("HSV"), tr("HSL"), tr("RGB")}, data_.color_space, this);
    row->addWidget(space_);
    const QStringList names[3] = {{tr("H"), tr("S"), tr("V")}, {tr("H"), tr("S"), tr("L")}, {tr("R"), tr("G"), tr("B")}};
    for (int s = 0; s < 3; ++s) {
        channels_[s] = new PopupList(QString(), names[s], 0, this);
        channels_[s]->setVisible(s == data_.color_space);
        row->addWidget(channels_[s]);
        connect(channels_[s], &PopupList::popupChanged, this, &ColorCurvesPanel::setChannel);
    }
    row->addStretch();
    auto* optionsButton = new QPushButton(tr("Options"), this);
    optionsButton->setAutoDefault(false);
    options_ = new QMenu(optionsButton);
    optionsButton->setMenu(options_);
    options_->addAction(tr("&Reset"), this, &ColorCurvesPanel::reset);
    options_->addAction(tr("&Load ..."), this, &ColorCurvesPanel::load);
    options_->addAction(tr("&Save As ..."), this, &ColorCurvesPanel::saveAs);
    row->addWidget(optionsButton);
    layout->addLayout(row);
    layout->addWidget(curve_);
    connect(space_, &PopupList::popupChanged, this, &ColorCurvesPanel::setSpace);

    connect(curve_, &CurveControl::curveChanged, this, [this] {
        if (showing_)
            return;
        data_.curves[channel_] = curve_->curve();
        this->window()->settingsChanged();
    });
    connect(curve_, &CurveControl::probeToggled, this, [this](bool on) {
        probe_.setOn(on);
        hasProbe_ = false;
        if (!on)
            curve_->setProbeMarks({});
    });
    connect(curve_, &CurveControl::probeSizeChanged, this, [this](int size) { probe_.setSize(size); });
    probe_.setSize(curve_->probeSize());
    showAll();
}

void ColorCurvesPanel::showAll()
{
    showing_ = true;
    space_->box()->setCurrentIndex(data_.color_space);
    for (int s = 0; s < 3; ++s) {
        channels_[s]->setVisible(s == data_.color_space);
        channels_[s]->box()->setCurrentIndex(channel_);
    }
    curve_->setCurve(data_.curves[channel_]);
    curve_->setChannelColor(curve_channel_color(data_.color_space, channel_));
    ImageWindow* in = window()->input();
    if (in && (histogramInput_ != in || histogramSpace_ != data_.color_space)) {
        histograms_ = color_curves_histograms(in->record().image, data_.color_space);
        histogramInput_ = in;
        histogramSpace_ = data_.color_space;
    }
    if (histograms_.size() == 3)
        curve_->setHistograms({histograms_[size_t(channel_)]});
    else
        curve_->setHistograms({});
    if (hasProbe_)
        curve_->setProbeMarks({{color_curves_probe(probed_, data_.color_space, channel_), Qt::yellow}});
    else
        curve_->setProbeMarks({});
    showing_ = false;
}

void ColorCurvesPanel::setSpace(int space)
{
    if (space < 0 || space > 2 || space == data_.color_space)
        return;
    data_.color_space = space;
    showAll();
    window()->settingsChanged();
}

void ColorCurvesPanel::setChannel(int channel)
{
    if (channel < 0 || channel > 2 || channel == channel_)
        return;
    channel_ = channel;
    showAll();
}

void ColorCurvesPanel::reset()
{
    for (mv::Curve& c : data_.curves)
        mv::curve_reset(c);
    showAll();
    window()->settingsChanged();
}

int ColorCurvesPanel::load()
{
    const QString path = ask_settings_load(this, color_curves_file_kind());
    if (path.isEmpty())
        return mv::kOk;
    mv::ColorCurvesFile file = data_;
    const int err = mv::color_curves_file_read(path.toStdString(), file);
    mv::error_box(err);
    if (err != mv::kOk && err != mv::kIllegalColorCurveFile)
        return err;
    // An illegal file leaves every curve at the identity.
    data_ = file;
    showAll();
    window()->settingsChanged();
    return err;
}

int ColorCurvesPanel::saveAs()
{
    const QString path = ask_settings_save(this, color_curves_file_kind());
    if (path.isEmpty())
        return mv::kOk;
    const int err = mv::color_curves_file_write(path.toStdString(), data_);
    mv::error_box(err);
    return err;
}

void ColorCurvesPanel::probed(const mv::Rgb& color)
{
    probed_ = color;
    hasProbe_ = true;
    curve_->setProbeMarks({{color_curves_probe(color, data_.color_space, channel_), Qt::yellow}});
}

void ColorCurvesPanel::inputChanged()
{
    hasProbe_ = false;
    showAll();
}

void ColorCurvesPanel::settingsRebuilt(mv::OperationSettings& settings)
{
    auto* s = static_cast<mv::ColorCurvesSettings*>(settings.record());
    s->color_space = data_.color_space;
    for (int k = 0; k < 3; ++k)
        s->curves[k] = data_.curves[k];
}

void ColorCurvesPanel::hideEvent(QHideEvent* event)
{
    curve_->setProbeOn(false);
    probe_.setOn(false);
    OperationPanel::hideEvent(event);
}
