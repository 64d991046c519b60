// A labelled colour swatch; clicking it opens the colour dialog under the given title.
#pragma once

#include "settings/preferences.h"

#include <QWidget>

class QPushButton;

class ColorControl : public QWidget {
    Q_OBJECT
public:
    ColorControl(mv::Rgb& color, const QString& dialogTitle, QWidget* parent = nullptr);
    // Shows the colour after it was set elsewhere (picked from a picture).
    void refresh();

private:
    mv::Rgb& color_;
    QString dialogTitle_;
    QPushButton* swatch_;
};
