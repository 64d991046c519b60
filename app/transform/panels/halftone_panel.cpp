#include "transform/panels/halftone_panel.h"

#include "core/image.h"
#include "reduce/halftone.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "transform/image_selector.h"
#include "transform/transformation_window.h"

#include <QVBoxLayout>

HalftonePanel::HalftonePanel(TransformationWindow* window)
    : OperationPanel(window),
      screen_(new ImageSelector(tr("Halftone Screen Image:"), QString(), 1u << mv::IMAGE_GRAY,
                                window->imageWindows(), this))
{
    // The window's screen is an image window, not the batch tool's file.
    if (QWidget* file = window->paramControl(1))
        file->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(screen_);
    connect(screen_, &ImageSelector::imageControlChanged, this, [this] {
        if (this->window()->values().numbers[0] == mv::kHalftoneCustom)
            this->window()->settingsChanged();
        else if (last_)
            last_->screen = screen_->window() ? &screen_->window()->record().image : nullptr;
    });
}

void HalftonePanel::settingsRebuilt(mv::OperationSettings& settings)
{
    auto& s = *static_cast<mv::HalftoneSettings*>(settings.record());
    if (screen_->window())
        s.screen = &screen_->window()->record().image;
    // The previous record is still alive here; its diffusion result stays valid as long as
    // it was computed from the same input (the region function checks that).
    if (last_ && last_ != &s)
        s.diffusion = std::move(last_->diffusion);
    last_ = &s;
}
