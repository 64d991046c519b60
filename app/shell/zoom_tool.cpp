#include "shell/zoom_tool.h"

#include "shell/image_window.h"
#include "shell/window_records.h"

#include <QPainter>
#include <QPixmap>

namespace {

// A magnifying glass with a plus (zoom in) or a minus (zoom out).
QCursor zoomCursor(bool in)
{
    QPixmap p(24, 24);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(Qt::white, 4));
    g.drawEllipse(QRectF(2, 2, 14, 14));
    g.drawLine(QPointF(14, 14), QPointF(21, 21));
    g.setPen(QPen(Qt::black, 2));
    g.setBrush(QColor(255, 255, 255, 160));
    g.drawEllipse(QRectF(2, 2, 14, 14));
    g.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(15, 15), QPointF(21, 21));
    g.setPen(QPen(Qt::black, 1.6));
    g.drawLine(QPointF(5.5, 9), QPointF(12.5, 9));
    if (in)
        g.drawLine(QPointF(9, 5.5), QPointF(9, 12.5));
    g.end();
    return QCursor(p, 9, 9);
}

} // namespace

ZoomTool* ZoomTool::instance()
{
    static ZoomTool tool;
    return &tool;
}

void ZoomTool::toolEvent(ImageWindow* window, int x, int y, int event, bool)
{
    switch (event) {
    case kToolPress:
        window->zoomIn(false, mv::window_to_image(window->record(), x, y, true));
        break;
    case kToolShiftPress: window->zoomOut(true); break;
    case kToolMove:
    case kToolShiftMove: {
        static const QCursor in = zoomCursor(true), out = zoomCursor(false);
        window->canvas()->setCursor(event == kToolMove ? in : out);
        break;
    }
    default: break;
    }
}
