// Every window inside the workspace carries the same few facts: its kind (0 image window,
// 1 preview, 3 and above transformation, tool and workspace windows), the index of its
// window record (-1 when it has none), whether its picture was modified and not saved, and
// its position in the workspace.
#pragma once

#include <QIcon>
#include <QMdiSubWindow>
#include <QPixmap>

class ChildWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    enum Kind { kImage = 0, kPreview = 1 };

    ChildWindow(int kind, int recordIndex, QWidget* parent = nullptr)
        : QMdiSubWindow(parent), kind_(kind), recordIndex_(recordIndex)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        QPixmap blank(1, 1);
        blank.fill(Qt::transparent);
        setWindowIcon(QIcon(blank));
    }

    int kind() const { return kind_; }
    int recordIndex() const { return recordIndex_; }
    bool isModified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }

private:
    int kind_;
    int recordIndex_;
    bool modified_ = false;
};
