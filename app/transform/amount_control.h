// The "Amount:" control: a label with the percentages, a slider (one knob, or two with a mask)
// and a swatch from which an 8-bit gray image window of the input's size is chosen as amount
// mask. Changes are reported with amountChanged once a knob is released or the mask changes.
#pragma once

#include "transform/amount.h"
#include "transform/image_menu.h"

#include "shell/image_window.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class Slider;

class AmountControl : public QWidget {
    Q_OBJECT
public:
    AmountControl(ImageWindowSource candidates, QWidget* parent = nullptr);

    const mv::AmountBlock& block() const { return block_; }
    // Takes a block (after a transformation changed its defaults) and shows it.
    void load(const mv::AmountBlock& block);
    // Selects a mask window, or "No Mask" with null, without reporting the change.
    void setMask(ImageWindow* window);
    ImageWindow* maskWindow() const { return mask_; }
    void setRequiredSize(int width, int height);
    // The mask windows offered now: 8-bit gray image windows of the required size.
    QList<ImageWindow*> maskCandidates() const;
    Slider* slider() const { return slider_; }
    QLabel* label() const { return label_; }
    QRect swatchRect() const;

signals:
    void amountChanged();
    // The control started or stopped reading a mask window (for the use list).
    void maskWindowChanged(ImageWindow* previous, ImageWindow* current);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void showBlock();
    void chooseMask(ImageWindow* window);
    mv::AmountBlock block_;
    ImageWindowSource candidates_;
    QPointer<ImageWindow> mask_;
    int requiredWidth_ = -1, requiredHeight_ = -1;
    QLabel* label_;
    Slider* slider_;
};
