// One channel's range of the Similar selection: a strip showing the channel's scale with the
// selection strength drawn over it, and four draggable marks below it for the limits. The
// inner limits (full selection between them) sit on the upper row of marks, the outer limits
// (where the soft shoulders end) on the lower row. On the hue channel the inner limits may
// pass each other: the range then wraps round the hue circle through red.
#pragma once

#include "mask/similar.h"

#include <QWidget>
#include <array>

class RangeControl : public QWidget {
    Q_OBJECT
public:
    enum Limit { kOuterLow = 0, kInnerLow = 1, kInnerHigh = 2, kOuterHigh = 3 };

    explicit RangeControl(QWidget* parent = nullptr);

    // Edits `limits` (levels of `space`; owned by the caller) as channel `channel` of that
    // space; null hides nothing but disables the control.
    void setChannel(mv::SimilarLimits* limits, int space, int channel);
    // The limits changed elsewhere (a colour was picked): redraw.
    void refresh();

    // The control positions 0..1024 of the four limits.
    std::array<int, 4> positions() const;
    // Moves one limit to a control position, keeping the limits in a usable order: on a
    // plain channel a <= b <= c <= e; on the hue channel the outer limits stay on the outer
    // side of the inner ones, within the gap of a wrapping range.
    void setPosition(int which, int position);

    QSize sizeHint() const override { return QSize(220, kHeight); }
    QSize minimumSizeHint() const override { return QSize(120, kHeight); }

    static constexpr int kHeight = 30;

signals:
    // A limit was moved by the user (on every step of a drag).
    void rangeChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool hue() const;
    int left() const { return kMargin; }
    int span() const { return std::max(1, width() - 2 * kMargin - 1); }
    int xOf(int position) const { return left() + position * span() / 1024; }
    int positionAt(int x) const;
    QColor scaleColor(double t) const;
    void updateTip();

    static constexpr int kMargin = 5;
    static constexpr int kStrip = 16;

    mv::SimilarLimits* limits_ = nullptr;
    int space_ = mv::SIMILAR_HSV;
    int channel_ = 0;
    int dragging_ = -1;
};
