#include "transform/popup_list.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStandardItemModel>

PopupList::PopupList(const QString& label, const QStringList& items, int initial, QWidget* parent)
    : QWidget(parent), box_(new QComboBox(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!label.isEmpty())
        layout->addWidget(new QLabel(label, this));
    box_->setMaxVisibleItems(24);
    for (const QString& item : items)
        box_->addItem(item.startsWith('-') && item.size() > 1 ? item.mid(1) : item);
    for (int i = 0; i < items.size(); ++i)
        if (items[i].startsWith('-'))
            setEntryEnabled(i, false);
    box_->setCurrentIndex(initial);
    layout->addWidget(box_, 1);
    connect(box_, &QComboBox::activated, this, &PopupList::popupChanged);
}

int PopupList::index() const
{
    return box_->currentIndex();
}

void PopupList::select(int index)
{
    if (index < 0 || index >= box_->count())
        return;
    box_->setCurrentIndex(index);
    emit popupChanged(index);
}

void PopupList::setIndex(int index)
{
    box_->setCurrentIndex(index >= 0 && index < box_->count() ? index : -1);
}

void PopupList::setEntryEnabled(int index, bool enabled)
{
    if (auto* model = qobject_cast<QStandardItemModel*>(box_->model()))
        if (QStandardItem* item = model->item(index))
            item->setEnabled(enabled);
}
