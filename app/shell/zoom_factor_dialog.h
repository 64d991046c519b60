// "Zoom Factor": a whole number and whether it magnifies or reduces.
#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

class ZoomFactorDialog : public QDialog {
    Q_OBJECT
public:
    // Starts with |zoom| and "Magnification" for zoom >= 1, "Reduction" for a negative zoom.
    ZoomFactorDialog(QWidget* parent, int zoom);

    QLineEdit* factorEdit() const { return edit_; }
    QRadioButton* magnification() const { return magnify_; }
    QRadioButton* reduction() const { return reduce_; }

    // The zoom the entry stands for: -value for a reduction other than 1, else value; 0 when
    // the text is not a whole number of at least 1.
    static int zoomFromEntry(const QString& text, bool reduction);
    int chosenZoom() const;

private:
    QLineEdit* edit_;
    QRadioButton* magnify_;
    QRadioButton* reduce_;
};
