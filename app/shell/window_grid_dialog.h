// "Window Grid": the number of grid divisions of an image window, applied as it is typed.
#pragma once

#include <QDialog>

class ImageWindow;
class QLineEdit;
class QToolButton;

class WindowGridDialog : public QDialog {
    Q_OBJECT
public:
    WindowGridDialog(QWidget* parent, ImageWindow* window);

    QLineEdit* divisionsEdit() const { return edit_; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    // Text that is not a number of 1 to 99 was entered (the dialog also beeps).
    void beeped();

public slots:
    void reject() override;

private:
    void textEdited(const QString& text);
    void step(int delta);
    void apply(int divisions);

    ImageWindow* window_;
    int original_;
    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
};
