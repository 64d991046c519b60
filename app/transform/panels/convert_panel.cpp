#include "transform/panels/convert_panel.h"

#include "core/image.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "tone/convert.h"
#include "transform/transformation_window.h"

#include <QLabel>
#include <QVBoxLayout>

ConvertPanel::ConvertPanel(TransformationWindow* window) : OperationPanel(window), source_(new QLabel(window))
{
    // The line sits between the input selector and the "Convert To:" list.
    QWidget* list = window->paramControl(0);
    if (auto* layout = list ? qobject_cast<QVBoxLayout*>(list->parentWidget()->layout()) : nullptr) {
        source_->setParent(list->parentWidget());
        layout->insertWidget(layout->indexOf(list), source_);
    }
    hide();
}

void ConvertPanel::inputChanged()
{
    ImageWindow* in = window()->input();
    if (!in)
        return;
    const int type = in->record().image.type;
    source_->setText(QString::fromLatin1(mv::convert_source_label(type)));
    // 16-bit sources start at their own type, which the list does not name: it shows no entry.
    window()->setValue(0, mv::convert_source_index(type));
}
