#include "mask/mask_buttons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <cstring>

namespace {

const QColor kInk(40, 40, 40);
const QColor kFill(90, 90, 90);

// Two overlapping discs and the part a combine mode keeps.
void combinePicture(QPainter& p, int mode)
{
    QPainterPath a, b;
    a.addEllipse(QRectF(1, 3.5, 10, 10));
    b.addEllipse(QRectF(6, 3.5, 10, 10));
    const QPainterPath both = a.intersected(b);
    const QPainterPath kept = mode == 0 ? a.united(b) : mode == 1 ? a.subtracted(b)
                            : mode == 2 ? both : a.united(b).subtracted(both);
    p.fillPath(kept, kFill);
    p.setPen(QPen(kInk, 1));
    p.drawPath(a);
    p.drawPath(b);
}

void colorPicture(QPainter& p, const QColor& c)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(c);
    p.drawRect(QRectF(2.5, 2.5, 12, 12));
}

// A light and a dark half with a red disc over them at the overlay's strength; the mask
// alone shows as a white disc on black.
void amountPicture(QPainter& p, int alpha)
{
    const QRectF box(1.5, 1.5, 14, 14);
    if (alpha < 0) {
        p.fillRect(box, Qt::black);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(4, 4, 9, 9));
    } else {
        p.fillRect(QRectF(1.5, 1.5, 7, 14), QColor(220, 220, 220));
        p.fillRect(QRectF(8.5, 1.5, 7, 14), QColor(110, 110, 110));
        p.setPen(QPen(QColor(200, 0, 0), 1));
        p.setBrush(QColor(255, 0, 0, alpha));
        p.drawEllipse(QRectF(4, 4, 9, 9));
    }
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
}

void dots(QPainter& p, const QList<QPointF>& points)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (const QPointF& pt : points)
        p.drawRect(QRectF(pt.x() - 1, pt.y() - 1, 2, 2));
}

void operationPicture(QPainter& p, const char* name)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::NoBrush);
    if (!std::strcmp(name, "IDLASSOMASK")) {
        QPainterPath loop(QPointF(3, 9));
        loop.cubicTo(2, 2, 12, 1, 14, 6);
        loop.cubicTo(16, 11, 9, 15, 6, 12);
        loop.cubicTo(4, 11, 5, 8, 8, 9);
        p.drawPath(loop);
    } else if (!std::strcmp(name, "IDRECTMASK")) {
        p.drawRect(QRectF(2.5, 4.5, 12, 8));
    } else if (!std::strcmp(name, "IDOVALMASK")) {
        p.drawEllipse(QRectF(1.5, 3.5, 14, 10));
    } else if (!std::strcmp(name, "IDPOLYMASK")) {
        const QList<QPointF> pts{{3, 13}, {2, 5}, {9, 2}, {15, 7}, {11, 14}};
        p.drawPolygon(QPolygonF(pts));
        dots(p, pts);
    } else if (!std::strcmp(name, "IDSPLINEMASK")) {
        QPainterPath curve(QPointF(3, 10));
        curve.cubicTo(1, 3, 8, 1, 11, 3);
        curve.cubicTo(16, 6, 15, 13, 10, 14);
        curve.cubicTo(6, 15, 4, 13, 3, 10);
        p.drawPath(curve);
        dots(p, {{3, 10}, {11, 3}, {10, 14}});
    } else if (!std::strcmp(name, "IDFEATHERMASK")) {
        QRadialGradient soft(QPointF(8.5, 8.5), 7.5);
        soft.setColorAt(0.0, kInk);
        soft.setColorAt(0.45, kInk);
        soft.setColorAt(1.0, QColor(40, 40, 40, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(soft);
        p.drawEllipse(QRectF(1, 1, 15, 15));
    } else if (!std::strcmp(name, "IDRANGEMASK")) {
        // Swatches of nearby colours, the middle one picked.
        p.setPen(Qt::NoPen);
        p.fillRect(QRectF(2, 2, 4, 13), QColor(200, 60, 40));
        p.fillRect(QRectF(6.5, 2, 4, 13), QColor(225, 80, 50));
        p.fillRect(QRectF(11, 2, 4, 13), QColor(240, 110, 60));
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(5.5, 1.5, 6, 14));
    } else if (!std::strcmp(name, "IDPAINTMASK")) {
        QPainterPath stroke(QPointF(3, 13));
        stroke.cubicTo(5, 4, 10, 15, 14, 4);
        p.setPen(QPen(kFill, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(stroke);
    } else if (!std::strcmp(name, "IDCOMBINEMASK")) {
        QLinearGradient ramp(QPointF(6, 0), QPointF(15, 0));
        ramp.setColorAt(0, Qt::white);
        ramp.setColorAt(1, kInk);
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(1.5, 1.5, 9, 9));
        p.setBrush(ramp);
        p.drawRect(QRectF(6.5, 6.5, 9, 9));
    } else if (!std::strcmp(name, "IDSMOOTHCURVE")) {
        p.setPen(QPen(QColor(150, 150, 150), 1));
        p.drawRect(QRectF(1.5, 1.5, 14, 14));
        QPainterPath curve(QPointF(2, 15));
        curve.cubicTo(9, 15, 8, 2, 15, 2);
        p.setPen(QPen(kInk, 1.2));
        p.drawPath(curve);
    }
}

} // namespace

QIcon mask_button_icon(const char* bitmap)
{
    QPixmap picture(kMaskButtonSize, kMaskButtonSize);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    static const char* const kModes[] = {"IDORMASK", "IDSUBMASK", "IDANDMASK", "IDINVERTMASK"};
    static const char* const kColors[] = {"IDREDMASK", "IDGREENMASK", "IDBLUEMASK", "IDWHITEMASK"};
    static const QColor kColorValues[] = {Qt::red, Qt::green, Qt::blue, Qt::white};
    static const char* const kAmounts[] = {"IDTRANS100", "IDTRANS50", "IDTRANS0", "IDTRANS0X"};
    static const int kAlphas[] = {0, 128, 255, -1};
    for (int i = 0; i < 4; ++i) {
        if (!std::strcmp(bitmap, kModes[i]))
            combinePicture(p, i);
        else if (!std::strcmp(bitmap, kColors[i]))
            colorPicture(p, kColorValues[i]);
        else if (!std::strcmp(bitmap, kAmounts[i]))
            amountPicture(p, kAlphas[i]);
    }
    operationPicture(p, bitmap);
    p.end();
    return QIcon(picture);
}
