// A clickable colour swatch with an optional label on its left: a click opens the colour
// picker under the swatch's dialog title, and a colour chosen there is shown and reported
// with colorChanged. The picker is reached through a replaceable function (tests).
#pragma once

#include <QColor>
#include <QWidget>

#include <functional>

class QLabel;
class QToolButton;

class ColorSwatch : public QWidget {
    Q_OBJECT
public:
    ColorSwatch(const QString& label, const QString& dialogTitle, QWidget* parent = nullptr);

    QColor color() const { return color_; }
    // Shows a colour without reporting it.
    void setColor(const QColor& color);
    QToolButton* button() const { return button_; }
    // Opens the picker, as a click does.
    void pick();

    // Answers the colour picker: initial colour, title; an invalid colour means cancelled.
    using Picker = std::function<QColor(QWidget* parent, const QColor& initial, const QString& title)>;
    static void setPicker(Picker picker);

signals:
    void colorChanged(const QColor& color);

private:
    QString title_;
    QColor color_ = Qt::white;
    QToolButton* button_;
};
