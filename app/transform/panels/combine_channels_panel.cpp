#include "transform/panels/combine_channels_panel.h"

#include "core/image.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "tone/combine_channels.h"
#include "transform/image_selector.h"
#include "transform/transformation_window.h"

#include <QVBoxLayout>

CombineChannelsPanel::CombineChannelsPanel(TransformationWindow* window) : OperationPanel(window)
{
    if (window->inputSelector())
        window->inputSelector()->hide();
    // The sources are chosen here, not typed: the catalogue's text fields stay hidden.
    for (int i = 1; i <= 3; ++i)
        if (QWidget* field = window->paramControl(i))
            field->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 3; ++i) {
        const QString title = QStringLiteral("Color %1").arg(i + 1);
        selectors_[i] = new ImageSelector(title, title, unsigned(mv::kCombineSourceTypes),
                                         window->imageWindows(), this);
        connect(selectors_[i], &ImageSelector::imageControlChanged, window, &TransformationWindow::settingsChanged);
        layout->addWidget(selectors_[i]);
    }
}

void CombineChannelsPanel::inputChanged()
{
    ImageWindow* in = window()->input();
    for (ImageSelector* s : selectors_)
        s->setRequiredSize(in ? in->record().image.width : -1, in ? in->record().image.height : -1);
}

void CombineChannelsPanel::settingsRebuilt(mv::OperationSettings& settings)
{
    auto& s = *static_cast<mv::CombineChannelsSettings*>(settings.record());
    for (int i = 0; i < 3; ++i) {
        mv::CombineSource& src = s.sources[i];
        const ImageSelector* sel = selectors_[i];
        src.image = sel->window() ? &sel->window()->record().image : nullptr;
        const QColor c = sel->color();
        src.red = std::uint8_t(c.red());
        src.green = std::uint8_t(c.green());
        src.blue = std::uint8_t(c.blue());
    }
}
