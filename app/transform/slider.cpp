#include "transform/slider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

Slider::Slider(QWidget* parent) : QWidget(parent)
{
    setFixedHeight(kHeight);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::SizeHorCursor);
}

void Slider::setValues(int low, int high)
{
    low_ = std::clamp(low, 0, 1024);
    high_ = high < 0 ? -1 : std::clamp(high, 0, 1024);
    update();
}

int Slider::positionOf(int value) const
{
    return value * usableWidth() / 1024 + 4;
}

int Slider::valueAt(int position) const
{
    return std::clamp((position - 4) * 1024 / usableWidth(), 0, 1024);
}

void Slider::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 128, 128));
    const int w = usableWidth();
    // Ticks on the centre line, longer at the halves, quarters and eighths.
    const int ticks = w >= 512 ? 129 : w >= 256 ? 65 : w >= 128 ? 33 : 17;
    p.setPen(Qt::black);
    p.drawLine(4, 8, 4 + w, 8);
    for (int i = 0; i < ticks; ++i) {
        const int x = 4 + i * w / (ticks - 1);
        const int n = ticks - 1;
        const int len = i % (n / 2) == 0 ? 4 : i % (n / 4) == 0 ? 3 : i % (n / 8) == 0 ? 2 : 1;
        p.drawLine(x, 8 - len, x, 8 + len);
    }
    const auto knob = [&](int value, int top, int bottom, bool pointsDown) {
        const int x = positionOf(value);
        QPolygon shape;
        if (pointsDown)
            shape << QPoint(x - 4, top) << QPoint(x + 4, top) << QPoint(x, bottom);
        else
            shape << QPoint(x - 4, bottom) << QPoint(x + 4, bottom) << QPoint(x, top);
        p.setBrush(Qt::white);
        p.drawPolygon(shape);
    };
    if (twoKnobs()) {
        knob(high_, 0, 8, true);
        knob(low_, 9, 16, false);
    } else {
        const int x = positionOf(low_);
        p.setBrush(Qt::white);
        p.drawRect(x - 3, 0, 6, kHeight - 1);
    }
}

void Slider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = twoKnobs() && event->position().y() < 9 ? 2 : 1;
    dragTo(int(event->position().x()));
}

void Slider::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_)
        dragTo(int(event->position().x()));
}

void Slider::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    dragTo(int(event->position().x()));
    dragging_ = 0;
    emit sliderReleased(low_, high_);
}

void Slider::dragTo(int x)
{
    const int value = valueAt(std::clamp(x, 4, usableWidth() + 4));
    int& target = dragging_ == 2 ? high_ : low_;
    if (value == target)
        return;
    target = value;
    update();
    emit sliderMoving(low_, high_);
}

void Slider::keyPressEvent(QKeyEvent* event)
{
    // Arrow keys move the low knob by one step of the scale; the change counts as a release.
    const int step = event->modifiers() & Qt::ShiftModifier ? 64 : 8;
    int delta = 0;
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Down)
        delta = -step;
    else if (event->key() == Qt::Key_Right || event->key() == Qt::Key_Up)
        delta = step;
    if (!delta) {
        QWidget::keyPressEvent(event);
        return;
    }
    setValues(low_ + delta, high_);
    emit sliderReleased(low_, high_);
}
