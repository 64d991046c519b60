#include "resources/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cstring>

namespace {

// Every icon is drawn on a 16 x 16 grid.
const QColor kInk(40, 44, 52);
const QColor kBlue(52, 101, 164);
const QColor kYellow(237, 190, 62);
const QColor kGlass(214, 233, 250);

QPen ink(qreal width = 1.2)
{
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A magnifying glass: lens centred at (6.5, 6.5), handle to the lower right.
void magnifier(QPainter& p, qreal radius = 4.6)
{
    p.setPen(QPen(kInk, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.2, 10.2), QPointF(14.6, 14.6));
    p.setPen(ink(1.4));
    p.setBrush(kGlass);
    p.drawEllipse(QPointF(6.5, 6.5), radius, radius);
}

void plus(QPainter& p, QPointF c, qreal r)
{
    p.setPen(ink(1.5));
    p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
    p.drawLine(c - QPointF(0, r), c + QPointF(0, r));
}

void minus(QPainter& p, QPointF c, qreal r)
{
    p.setPen(ink(1.5));
    p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
}

void arrowHead(QPainter& p, QPointF tip, QPointF from, qreal size)
{
    const QLineF back(tip, from);
    QLineF a = back, b = back;
    a.setLength(size);
    b.setLength(size);
    a.setAngle(back.angle() + 35);
    b.setAngle(back.angle() - 35);
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(a.p2());
    head.lineTo(b.p2());
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPath(head);
}

void drawIcon(QPainter& p, const char* name)
{
    const auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
    p.setBrush(Qt::NoBrush);
    if (is("IDOPENPCD")) {
        // A compact disc with a coloured sheen.
        QConicalGradient sheen(QPointF(8, 8), 30);
        sheen.setColorAt(0.0, QColor(220, 225, 235));
        sheen.setColorAt(0.25, QColor(255, 214, 150));
        sheen.setColorAt(0.5, QColor(170, 220, 255));
        sheen.setColorAt(0.75, QColor(230, 180, 240));
        sheen.setColorAt(1.0, QColor(220, 225, 235));
        p.setPen(ink(1.1));
        p.setBrush(sheen);
        p.drawEllipse(QPointF(8, 8), 7, 7);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 2, 2);
    } else if (is("IDOPEN")) {
        // An open folder.
        p.setPen(ink(1.0));
        p.setBrush(QColor(201, 153, 35));
        QPainterPath back;
        back.moveTo(1, 3);
        back.lineTo(6, 3);
        back.lineTo(7.5, 4.5);
        back.lineTo(13, 4.5);
        back.lineTo(13, 13.5);
        back.lineTo(1, 13.5);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(kYellow);
        QPainterPath front;
        front.moveTo(1, 13.5);
        front.lineTo(3.5, 7);
        front.lineTo(15.5, 7);
        front.lineTo(13, 13.5);
        front.closeSubpath();
        p.drawPath(front);
    } else if (is("IDBROWSE")) {
        // Four thumbnails.
        p.setPen(ink(1.0));
        const QColor tints[] = {QColor(120, 170, 220), QColor(130, 190, 120), QColor(230, 170, 90),
                                QColor(190, 140, 200)};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(tints[i]);
            p.drawRect(QRectF(1.5 + (i % 2) * 7, 1.5 + (i / 2) * 7, 5.5, 5.5));
        }
    } else if (is("IDSAVE")) {
        // A diskette.
        p.setPen(ink(1.0));
        p.setBrush(kBlue);
        QPainterPath body;
        body.moveTo(1.5, 1.5);
        body.lineTo(12.5, 1.5);
        body.lineTo(14.5, 3.5);
        body.lineTo(14.5, 14.5);
        body.lineTo(1.5, 14.5);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(QColor(235, 238, 242));
        p.drawRect(QRectF(4, 1.5, 7, 4.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 8.5, 9, 6));
        p.setPen(QPen(kBlue, 1.0));
        p.drawLine(QPointF(9, 2.5), QPointF(9, 5));
    } else if (is("IDACQUIRE")) {
        // A flatbed scanner with its light bar.
        p.setPen(ink(1.0));
        p.setBrush(QColor(190, 196, 206));
        p.drawRoundedRect(QRectF(1, 7.5, 14, 6), 1.2, 1.2);
        p.setBrush(QColor(150, 158, 170));
        p.drawRect(QRectF(1.5, 5, 13, 2.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 220, 120));
        p.drawRect(QRectF(3, 9.5, 10, 1.5));
        p.setPen(ink(1.0));
        p.drawLine(QPointF(12, 12), QPointF(13.5, 12));
        // The page coming in.
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 0.8, 7, 4.2));
    } else if (is("IDZOOMIN")) {
        magnifier(p);
        plus(p, QPointF(6.5, 6.5), 2.4);
    } else if (is("IDZOOMINRESIZE")) {
        magnifier(p, 4.2);
        plus(p, QPointF(6.5, 6.5), 2.2);
        // Corners of a growing window.
        p.setPen(ink(1.1));
        p.drawPolyline(QPolygonF({QPointF(11, 0.8), QPointF(15.2, 0.8), QPointF(15.2, 5)}));
        p.drawPolyline(QPolygonF({QPointF(0.8, 11), QPointF(0.8, 15.2), QPointF(5, 15.2)}));
    } else if (is("IDZOOM11")) {
        // A pixel grid seen at its own size: a framed square of equal cells.
        p.setPen(ink(1.0));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setPen(Qt::NoPen);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                if ((x + y) % 2 == 0) {
                    p.setBrush(kBlue);
                    p.drawRect(QRectF(2.5 + 3 * x, 2.5 + 3 * y, 3, 3));
                }
    } else if (is("IDZOOMOUT")) {
        magnifier(p);
        minus(p, QPointF(6.5, 6.5), 2.4);
    } else if (is("IDFIT")) {
        // A screen with four arrows pointing into it.
        p.setPen(ink(1.0));
        p.setBrush(QColor(235, 240, 248));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setPen(ink(1.1));
        const QPointF c(8, 8);
        const QPointF corners[] = {{3, 3}, {13, 3}, {3, 13}, {13, 13}};
        for (const QPointF& k : corners) {
            const QPointF tip = c + (k - c) * 0.35;
            p.setPen(ink(1.1));
            p.drawLine(k, tip);
            arrowHead(p, tip, k, 2.6);
        }
    } else if (is("IDNEXTWINDOW")) {
        // Two windows and a turning arrow.
        p.setPen(ink(1.0));
        p.setBrush(QColor(225, 230, 238));
        p.drawRect(QRectF(1.5, 1.5, 8, 6.5));
        p.setBrush(QColor(170, 200, 235));
        p.drawRect(QRectF(6.5, 7.5, 8, 6.5));
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRect(QRectF(6.5, 7.5, 8, 1.8));
        p.setPen(ink(1.2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(10, 1.5, 5, 5), 180 * 16, -180 * 16);
        arrowHead(p, QPointF(15, 5.8), QPointF(15, 3), 2.4);
    } else if (is("IDMASK")) {
        // A soft shape inside a dashed selection.
        QRadialGradient soft(QPointF(8, 8), 6);
        soft.setColorAt(0, QColor(220, 60, 60));
        soft.setColorAt(1, QColor(220, 60, 60, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(soft);
        p.drawEllipse(QPointF(8, 8), 6, 6);
        QPen dash(kInk, 1.1, Qt::DashLine);
        dash.setDashPattern({2, 1.5});
        p.setPen(dash);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8, 8), 6.5, 5.5);
    } else if (is("IDZOOM")) {
        magnifier(p, 5);
    } else if (is("IDMAGNIFY")) {
        // A loupe over an enlarged pixel pattern.
        p.setPen(Qt::NoPen);
        const QColor cells[] = {QColor(230, 120, 90), QColor(120, 180, 230), QColor(140, 200, 120),
                                QColor(240, 210, 110)};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(cells[i]);
            p.drawRect(QRectF(3 + (i % 2) * 3.5, 3 + (i / 2) * 3.5, 3.5, 3.5));
        }
        p.setPen(QPen(kInk, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10.2, 10.2), QPointF(14.6, 14.6));
        p.setPen(ink(1.4));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(6.5, 6.5), 4.9, 4.9);
    } else if (is("IDREADOUT")) {
        // Cross hairs over a sampled pixel.
        p.setPen(ink(1.0));
        p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
        p.drawLine(QPointF(8, 0.8), QPointF(8, 5));
        p.drawLine(QPointF(8, 11), QPointF(8, 15.2));
        p.drawLine(QPointF(0.8, 8), QPointF(5, 8));
        p.drawLine(QPointF(11, 8), QPointF(15.2, 8));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 60, 60));
        p.drawRect(QRectF(6.6, 6.6, 2.8, 2.8));
    } else if (is("IDCLONE")) {
        // A rubber stamp.
        p.setPen(ink(1.0));
        p.setBrush(QColor(170, 110, 70));
        p.drawEllipse(QPointF(8, 3.2), 2.6, 2.4);
        p.drawRect(QRectF(6.7, 4.8, 2.6, 4.2));
        p.setBrush(QColor(120, 120, 130));
        p.drawRoundedRect(QRectF(2, 9, 12, 3), 1, 1);
        p.setBrush(QColor(200, 60, 60));
        p.drawRect(QRectF(2.5, 12, 11, 2));
        p.setPen(QPen(QColor(200, 60, 60), 1.0));
        p.drawLine(QPointF(2, 15.3), QPointF(14, 15.3));
    } else if (is("IDBRUSH")) {
        // A paint brush with a wet tip.
        p.setPen(ink(1.0));
        p.setBrush(QColor(196, 140, 80));
        QPainterPath handle;
        handle.moveTo(15, 1);
        handle.lineTo(9.5, 8.5);
        handle.lineTo(7.5, 6.5);
        handle.closeSubpath();
        p.drawPath(handle);
        p.setBrush(QColor(190, 190, 200));
        QPainterPath ferrule;
        ferrule.moveTo(9.8, 8.2);
        ferrule.lineTo(7.8, 6.2);
        ferrule.lineTo(6, 7.5);
        ferrule.lineTo(8.5, 10);
        ferrule.closeSubpath();
        p.drawPath(ferrule);
        p.setBrush(kBlue);
        QPainterPath tip;
        tip.moveTo(6, 7.5);
        tip.cubicTo(3, 8.5, 3, 12, 1, 15);
        tip.cubicTo(4, 13.5, 7.5, 13, 8.5, 10);
        tip.closeSubpath();
        p.drawPath(tip);
    } else if (is("IDARROW")) {
        // A line ending in an arrow head.
        p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(2, 14), QPointF(11.5, 4.5));
        arrowHead(p, QPointF(14.5, 1.5), QPointF(2, 14), 6);
    } else if (is("IDTOOLBOX")) {
        // A tool box with a handle.
        p.setPen(ink(1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(5.5, 2.5, 5, 3.5), 1, 1);
        p.setBrush(QColor(205, 70, 60));
        p.drawRect(QRectF(1.5, 5.5, 13, 8.5));
        p.setBrush(QColor(165, 50, 45));
        p.drawRect(QRectF(1.5, 5.5, 13, 2.5));
        p.setBrush(QColor(225, 225, 230));
        p.drawRect(QRectF(7, 7, 2, 2.5));
    } else if (is("IDQUESTION")) {
        // A question mark in a blue disc.
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(8, 8), 7, 7);
        p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath q;
        q.moveTo(5.6, 6);
        q.cubicTo(5.6, 3.2, 10.4, 3.2, 10.4, 6);
        q.cubicTo(10.4, 7.8, 8, 7.8, 8, 9.8);
        p.drawPath(q);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 12.3), 1.1, 1.1);
    }
}

const char* const kNames[] = {"IDOPENPCD", "IDOPEN", "IDBROWSE", "IDSAVE", "IDACQUIRE", "IDZOOMIN",
                              "IDZOOMINRESIZE", "IDZOOM11", "IDZOOMOUT", "IDFIT", "IDNEXTWINDOW",
                              "IDMASK", "IDZOOM", "IDMAGNIFY", "IDREADOUT", "IDCLONE", "IDBRUSH",
                              "IDARROW", "IDTOOLBOX", "IDQUESTION"};

bool known(const char* name)
{
    for (const char* n : kNames)
        if (std::strcmp(n, name) == 0)
            return true;
    return false;
}

} // namespace

QPixmap tool_pixmap(const char* bitmap, int size, qreal dpr)
{
    if (!bitmap || !known(bitmap))
        return {};
    QPixmap picture(int(size * dpr), int(size * dpr));
    picture.setDevicePixelRatio(dpr);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    drawIcon(p, bitmap);
    return picture;
}

QIcon tool_icon(const char* bitmap)
{
    QIcon icon;
    for (const int size : {13, 16, 24})
        if (const QPixmap pm = tool_pixmap(bitmap, size); !pm.isNull())
            icon.addPixmap(pm);
    return icon;
}
