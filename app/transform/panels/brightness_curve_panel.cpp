#include "transform/panels/brightness_curve_panel.h"

#include "shell/image_window.h"
#include "tone/brightness_curve.h"
#include "transform/curve_control.h"
#include "transform/panels/curve_panel_support.h"
#include "transform/popup_list.h"
#include "transform/transformation_window.h"

#include <QHideEvent>
#include <QVBoxLayout>

namespace {
constexpr int kCurveParam = 0; // "curve=FILE.crv"
constexpr int kSpaceParam = 1; // "Color Space:"
} // namespace

BrightnessCurvePanel::BrightnessCurvePanel(TransformationWindow* window)
    : OperationPanel(window), curve_(new CurveControl(this)),
      probe_([this](ImageWindow* w, const mv::Rgb& c, int, int) { probed(w, c); })
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(curve_);
    window->paramControl(kCurveParam)->hide();
    // The colour space list belongs below the curve, where the window drops it for gray inputs.
    if (QWidget* space = window->paramControl(kSpaceParam)) {
        layout->addWidget(space);
        if (auto* list = qobject_cast<PopupList*>(space))
            connect(list, &PopupList::popupChanged, this, [this](int) {
                curve_->setProbeMarks({});
                showHistograms();
            });
    }
    connect(curve_, &CurveControl::curveChanged, window, &TransformationWindow::settingsChanged);
    connect(curve_, &CurveControl::probeToggled, this, [this](bool on) {
        probe_.setOn(on);
        if (!on)
            curve_->setProbeMarks({});
    });
    connect(curve_, &CurveControl::probeSizeChanged, this, [this](int size) { probe_.setSize(size); });
    probe_.setSize(curve_->probeSize());
    showHistograms();
}

int BrightnessCurvePanel::colorSpace() const
{
    return window()->values().numbers[kSpaceParam];
}

void BrightnessCurvePanel::showHistograms()
{
    if (ImageWindow* in = window()->input())
        curve_->setHistograms(brightness_curve_histograms(in->record().image, colorSpace()));
}

void BrightnessCurvePanel::inputChanged()
{
    curve_->setProbeMarks({});
    showHistograms();
}

void BrightnessCurvePanel::probed(ImageWindow* w, const mv::Rgb& color)
{
    const int type = w->record().image.type;
    const bool gray = type != mv::IMAGE_COLOR && type != mv::IMAGE_COLOR48;
    curve_->setProbeMarks(brightness_curve_probe(color, colorSpace(), gray));
}

void BrightnessCurvePanel::settingsRebuilt(mv::OperationSettings& settings)
{
    static_cast<mv::BrightnessCurveSettings*>(settings.record())->curve = curve_->curve();
}

void BrightnessCurvePanel::hideEvent(QHideEvent* event)
{
    curve_->setProbeOn(false);
    probe_.setOn(false);
    OperationPanel::hideEvent(event);
}
