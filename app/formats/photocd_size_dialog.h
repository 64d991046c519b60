// "PhotoCD Image Size": which of the three sizes of a Photo CD picture to read.
#pragma once

#include <QDialog>

class QListWidget;

class PhotoCdSizeDialog : public QDialog {
    Q_OBJECT
public:
    explicit PhotoCdSizeDialog(QWidget* parent);

    QListWidget* sizes() const { return list_; }
    // The resolution number of the chosen entry: its index + 2 (2: 512x768, 3: 1024x1536,
    // 4: 2048x3072).
    int resolution() const;

    // Shows the dialog; the resolution number, or 0 when cancelled. The choice is kept for
    // the next time.
    static int ask(QWidget* parent);

private:
    QListWidget* list_;
};
