#include "shell/display_painter.h"

#include "core/display_lookup.h"
#include "core/image.h"
#include "settings/preferences.h"
#include "shell/window_records.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

namespace {

QRgb looked_up(int v)
{
    const mv::DisplayLookup& t = mv::display_lookup();
    return qRgb(t.red[v], t.green[v], t.blue[v]);
}

} // namespace

void paint_display_image(QPainter& p, const mv::WindowRecord& r, const QRect& area, const QRect& dirty,
                         int left, int top)
{
    const mv::Image& d = r.display;
    const QRect picture(left, top, d.width, d.height);
    const mv::Rgb c = mv::preferences().border_color;
    QRegion bands(area);
    bands -= picture;
    for (const QRect& band : bands)
        p.fillRect(band, QColor(c.red, c.green, c.blue));
    if (d.empty())
        return;
    const QImage::Format format = d.type == mv::IMAGE_BINARY ? QImage::Format_Mono
                                  : d.type == mv::IMAGE_GRAY ? QImage::Format_Indexed8
                                                             : QImage::Format_BGR888;
    QList<QRgb> colours;
    if (d.type == mv::IMAGE_BINARY)
        colours = {qRgb(0, 0, 0), looked_up(255)};
    else if (d.type == mv::IMAGE_GRAY)
        for (int v = 0; v < 256; ++v)
            colours.append(looked_up(v));
    // The chunks are handed to the painter as they are: rows bottom-up, so draw flipped.
    p.save();
    p.setClipRect(dirty & picture);
    p.translate(left, top + d.height);
    p.scale(1, -1);
    for (int k = 0; k < d.chunk_count; ++k) {
        const int first = k * d.rows_per_chunk;
        const int rows = std::min(d.rows_per_chunk, d.height - first);
        QImage strip(d.chunks[k], d.width, rows, d.row_bytes, format);
        if (!colours.isEmpty())
            strip.setColorTable(colours);
        p.drawImage(QPoint(0, first), strip);
    }
    p.restore();
}
