#include "shell/splash.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

QPixmap splash_picture()
{
    QPixmap pm(325, 279);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    // A dusk sky over a dark ridge: the photographer's hour.
    QLinearGradient sky(0, 0, 0, 279);
    sky.setColorAt(0.0, QColor(24, 32, 64));
    sky.setColorAt(0.55, QColor(176, 96, 72));
    sky.setColorAt(1.0, QColor(232, 176, 96));
    p.fillRect(pm.rect(), sky);

    QRadialGradient sun(230, 170, 46);
    sun.setColorAt(0.0, QColor(255, 240, 200));
    sun.setColorAt(0.6, QColor(255, 200, 120, 200));
    sun.setColorAt(1.0, QColor(255, 180, 100, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(230, 170), 46, 46);

    QPainterPath ridge;
    ridge.moveTo(0, 279);
    ridge.lineTo(0, 200);
    ridge.cubicTo(60, 170, 110, 215, 160, 190);
    ridge.cubicTo(210, 165, 260, 205, 325, 185);
    ridge.lineTo(325, 279);
    p.setBrush(QColor(20, 20, 28));
    p.drawPath(ridge);

    // An aperture ring above the title.
    p.setPen(QPen(QColor(255, 255, 255, 210), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(162, 70), 30, 30);
    for (int k = 0; k < 6; ++k) {
        p.save();
        p.translate(162, 70);
        p.rotate(60 * k);
        p.drawLine(QPointF(-8, -28), QPointF(16, -6));
        p.restore();
    }

    QFont title("DejaVu Sans", 26, QFont::Bold);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 108, 325, 40), Qt::AlignCenter, QStringLiteral("Morvane"));
    QFont sub("DejaVu Sans", 10);
    p.setFont(sub);
    p.setPen(QColor(240, 230, 220));
    p.drawText(QRect(0, 146, 325, 20), Qt::AlignCenter, QStringLiteral("Photographic Image Editor 2.5"));
    p.setPen(QColor(200, 200, 210));
    p.drawText(QRect(0, 250, 325, 20), Qt::AlignCenter, QStringLiteral("Halvern"));
    return pm;
}
