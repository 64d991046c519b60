// A labelled drop-down list whose entries starting with "-" are disabled; a choice reports
// popupChanged with the entry's index (separators count).
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;

class PopupList : public QWidget {
    Q_OBJECT
public:
    // `items` are the list texts; an item beginning with "-" starts disabled.
    PopupList(const QString& label, const QStringList& items, int initial, QWidget* parent = nullptr);

    int index() const;
    // Selects an entry (ignored outside the list) and reports it like a user's choice.
    void select(int index);
    // Shows an entry without reporting it; an index outside the list shows an empty box.
    void setIndex(int index);
    void setEntryEnabled(int index, bool enabled);
    QComboBox* box() const { return box_; }

signals:
    void popupChanged(int index);

private:
    QComboBox* box_;
};
