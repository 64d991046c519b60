// An image selector: a label and a 33 x 33 swatch showing a thumbnail of the chosen image
// window, or a solid colour. A click on the swatch offers the image windows it accepts (by
// picture type and, when one is required, by size) and, when a colour may be chosen,
// "Select Solid Color" first, which opens the colour picker. While a window is chosen the
// selector reads it as "Color Image Control" in the use list, so it cannot close. A right
// click brings the chosen window forward.
#pragma once

#include "transform/image_menu.h"

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <functional>

class ImageWindow;
class QToolButton;

class ImageSelector : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSwatch = 33;

    // `colorTitle` is the colour picker's title; empty offers no solid colour. `types` holds
    // bit t for each accepted picture type t.
    ImageSelector(const QString& label, const QString& colorTitle, unsigned types,
                  ImageWindowSource candidates, QWidget* parent = nullptr);
    ~ImageSelector() override;

    // Windows of another size are not offered (-1, -1: any size).
    void setRequiredSize(int width, int height);
    // A window never offered (the transformation's own result, for example).
    void setLeftOut(ImageWindow* window) { leftOut_ = window; }

    // The chosen window (null: the solid colour, or nothing).
    ImageWindow* window() const { return window_; }
    QColor color() const { return color_; }
    bool offersColor() const { return !colorTitle_.isEmpty(); }
    // The windows the menu offers now, in window order.
    QList<ImageWindow*> candidates() const;

    // A choice from the menu: the window (null for the solid colour) becomes the selection
    // and imageControlChanged is reported.
    void choose(ImageWindow* window);
    // The colour picker set a colour: it is kept and, while no window is chosen, reported.
    void chooseColor(const QColor& color);

    // Answers the colour picker: initial colour, title; an invalid colour means cancelled.
    using Picker = std::function<QColor(QWidget* parent, const QColor& initial, const QString& title)>;
    static void setPicker(Picker picker);
    // Asks the colour picker (the colour swatches of transformation windows use it too).
    static QColor pickColor(QWidget* parent, const QColor& initial, const QString& title);

signals:
    void imageControlChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openMenu();
    void updateSwatch();
    QString colorTitle_;
    unsigned types_;
    ImageWindowSource candidates_;
    QPointer<ImageWindow> window_;
    QPointer<ImageWindow> leftOut_;
    QColor color_ = Qt::white;
    int requiredWidth_ = -1, requiredHeight_ = -1;
    QToolButton* swatch_;
};
