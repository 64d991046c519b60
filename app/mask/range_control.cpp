#include "mask/range_control.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cstdlib>
#include <vector>

RangeControl::RangeControl(QWidget* parent) : QWidget(parent)
{
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setEnabled(false);
}

void RangeControl::setChannel(mv::SimilarLimits* limits, int space, int channel)
{
    limits_ = limits;
    space_ = space;
    channel_ = channel;
    dragging_ = -1;
    setEnabled(limits != nullptr);
    refresh();
}

void RangeControl::refresh()
{
    updateTip();
    update();
}

bool RangeControl::hue() const
{
    return channel_ == 0 && (space_ == mv::SIMILAR_HSV || space_ == mv::SIMILAR_HSL);
}

std::array<int, 4> RangeControl::positions() const
{
    if (!limits_)
        return {0, 0, 0, 0};
    const mv::SimilarLimits& l = *limits_;
    return {mv::similar_control_from_limit(space_, l.outer_low), mv::similar_control_from_limit(space_, l.inner_low),
            mv::similar_control_from_limit(space_, l.inner_high), mv::similar_control_from_limit(space_, l.outer_high)};
}

void RangeControl::setPosition(int which, int position)
{
    if (!limits_ || which < 0 || which > 3)
        return;
    const int domain = mv::similar_domain(space_);
    std::int32_t* v[4] = {&limits_->outer_low, &limits_->inner_low, &limits_->inner_high, &limits_->outer_high};
    const int level = mv::similar_limit_from_control(space_, std::clamp(position, 0, 1024));
    if (!hue()) {
        // Each limit stays between its neighbours.
        const int low = which > 0 ? *v[which - 1] : 0;
        const int high = which < 3 ? *v[which + 1] : domain;
        *v[which] = std::clamp(level, low, std::max(low, high));
    } else {
        *v[which] = level;
        int& a = *v[0];
        int& b = *v[1];
        int& c = *v[2];
        int& e = *v[3];
        if (b <= c) {
            a = std::min(a, b);
            e = std::max(e, c);
        } else { // wrapping: the shoulders lie in the gap between c and b
            a = std::clamp(a, c, b);
            e = std::clamp(e, c, b);
        }
    }
    updateTip();
    update();
    emit rangeChanged();
}

int RangeControl::positionAt(int x) const
{
    const int d = x - left();
    return std::clamp((d * 1024 + span() / 2) / span(), 0, 1024);
}

QColor RangeControl::scaleColor(double t) const
{
    switch (space_) {
    case mv::SIMILAR_HSV:
        return channel_ == 0 ? QColor::fromHsvF(float(std::min(t, 0.9999)), 1.0f, 1.0f)
             : channel_ == 1 ? QColor::fromHsvF(0.0f, float(t), 1.0f)
                             : QColor::fromRgbF(float(t), float(t), float(t));
    case mv::SIMILAR_HSL:
        return channel_ == 0 ? QColor::fromHslF(float(std::min(t, 0.9999)), 1.0f, 0.5f)
             : channel_ == 1 ? QColor::fromHslF(0.0f, float(t), 0.5f)
                             : QColor::fromRgbF(float(t), float(t), float(t));
    case mv::SIMILAR_RGB:
        return channel_ == 0 ? QColor::fromRgbF(float(t), 0, 0)
             : channel_ == 1 ? QColor::fromRgbF(0, float(t), 0)
                             : QColor::fromRgbF(0, 0, float(t));
    default:
        return QColor::fromRgbF(float(t), float(t), float(t));
    }
}

void RangeControl::updateTip()
{
    if (!limits_) {
        setToolTip(QString());
        return;
    }
    const std::array<int, 4> p = positions();
    setToolTip(QStringLiteral("%1  %2 - %3  %4").arg(p[0]).arg(p[1]).arg(p[2]).arg(p[3]));
}

void RangeControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int top = 1, bottom = top + kStrip - 1;
    const QRect strip(left(), top, span() + 1, kStrip);
    p.fillRect(strip, palette().base());
    if (limits_) {
        // The channel's scale, veiled where the selection is weak, with the selection
        // strength as a line: exactly the table the selection is computed with.
        const int domain = mv::similar_domain(space_);
        std::vector<std::uint8_t> table(size_t(domain) + 1);
        mv::similar_table(*limits_, domain, table.data());
        QPolygon profile;
        for (int i = 0; i <= span(); ++i) {
            const int level = (i * domain + span() / 2) / span();
            const int v = table[size_t(level)];
            const int x = left() + i;
            QColor c = scaleColor(double(i) / span());
            if (!isEnabled())
                c = c.darker(150);
            p.setPen(c);
            p.drawLine(x, top, x, bottom);
            p.setPen(QColor(255, 255, 255, (255 - v) * 3 / 4));
            p.drawLine(x, top, x, bottom);
            profile << QPoint(x, top + (255 - v) * (kStrip - 1) / 255);
        }
        p.setPen(QPen(Qt::black, 1));
        p.drawPolyline(profile);
    }
    p.setPen(palette().color(QPalette::Mid));
    p.setBrush(Qt::NoBrush);
    p.drawRect(strip.adjusted(0, 0, -1, -1));
    if (!limits_)
        return;

    // The marks: inner limits filled on the upper row, outer limits hollow on the lower row.
    const std::array<int, 4> pos = positions();
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 4; ++i) {
        const bool inner = i == kInnerLow || i == kInnerHigh;
        const int x = xOf(pos[size_t(i)]);
        const int y = inner ? bottom + 2 : bottom + 8;
        const QPolygon mark({QPoint(x, y), QPoint(x - 4, y + 6), QPoint(x + 4, y + 6)});
        p.setPen(palette().color(QPalette::WindowText));
        p.setBrush(inner ? palette().color(QPalette::WindowText) : palette().color(QPalette::Base));
        if (i == dragging_)
            p.setBrush(palette().color(QPalette::Highlight));
        p.drawPolygon(mark);
    }
}

void RangeControl::mousePressEvent(QMouseEvent* event)
{
    if (!limits_ || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The upper row (and the strip) takes the inner marks, the lower row the outer ones; of
    // two marks on one spot the one on the side of the click.
    const int x = int(event->position().x());
    const bool inner = event->position().y() < 1 + kStrip + 7;
    const int first = inner ? kInnerLow : kOuterLow;
    const int second = inner ? kInnerHigh : kOuterHigh;
    const std::array<int, 4> pos = positions();
    const int d1 = std::abs(xOf(pos[size_t(first)]) - x);
    const int d2 = std::abs(xOf(pos[size_t(second)]) - x);
    if (d1 != d2)
        dragging_ = d1 < d2 ? first : second;
    else
        dragging_ = x <= xOf(pos[size_t(first)]) ? first : second;
    setPosition(dragging_, positionAt(x));
}

void RangeControl::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_ >= 0)
        setPosition(dragging_, positionAt(int(event->position().x())));
}

void RangeControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (dragging_ >= 0 && event->button() == Qt::LeftButton) {
        dragging_ = -1;
        update();
    }
}
