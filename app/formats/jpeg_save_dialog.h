// "File Save (JPEG)": the quality slider and, for colour pictures, the colour sampling. The
// choices are remembered with the program's state for the next save.
#pragma once

#include "formats/format_entry.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QSlider;

class JpegSaveDialog : public QDialog {
    Q_OBJECT
public:
    JpegSaveDialog(QWidget* parent, bool colour);

    // Quality 0..100 from a slider position 0..1024, and the position showing a quality.
    static int qualityOf(int position) { return position * 100 / 1024; }
    static int positionOf(int quality) { return (quality * 1024 + 99) / 100; }

    int quality() const;
    int sampling() const;
    QSlider* slider() const { return slider_; }
    QLabel* qualityLabel() const { return label_; }
    QComboBox* samplingList() const { return sampling_; }

    // Shows the dialog; on OK fills the JPEG fields of `options`, remembers them and
    // returns true.
    static bool ask(QWidget* parent, bool colour, mv::SaveOptions& options);

private:
    QSlider* slider_;
    QLabel* label_;
    QComboBox* sampling_ = nullptr;
};
