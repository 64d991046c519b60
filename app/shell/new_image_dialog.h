// File > New: the New Image window asks for the size, pixel type, resolution and fill colour
// of a new picture. The choices are remembered for the next New during the session.
#pragma once

#include "shell/new_image.h"

#include <QDialog>

class ColorControl;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

class NewImageDialog : public QDialog {
    Q_OBJECT
public:
    // Starts from the last choices (the resolution from "defaultres" the first time).
    explicit NewImageDialog(QWidget* parent = nullptr);

    mv::NewImageChoice choice() const;
    void setChoice(const mv::NewImageChoice& choice);
    // Takes the size of the picture on the clipboard or of the active picture.
    void setSize(int width, int height);

    // The choices of the last accepted dialog.
    static mv::NewImageChoice lastChoice();

    void accept() override;

private:
    QSpinBox* width_;
    QSpinBox* height_;
    QComboBox* type_;
    QDoubleSpinBox* resolution_;
    mv::Rgb fill_;
    ColorControl* color_;
};
