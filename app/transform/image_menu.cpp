#include "transform/image_menu.h"

#include "core/image.h"
#include "shell/image_window.h"
#include "shell/window_records.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

QPixmap image_thumbnail(const ImageWindow* window, int side)
{
    const mv::Image& img = window->record().image;
    QImage thumb(side, side, QImage::Format_RGB888);
    thumb.fill(QColor(128, 128, 128));
    if (!mv::is_picture_type(img.type) || img.width <= 0 || img.height <= 0)
        return QPixmap::fromImage(thumb);
    const int longest = std::max(img.width, img.height);
    const int w = std::max(1, img.width * side / longest), h = std::max(1, img.height * side / longest);
    const int ox = (side - w) / 2, oy = (side - h) / 2;
    for (int y = 0; y < h; ++y) {
        const int row = img.height - 1 - y * img.height / h;
        for (int x = 0; x < w; ++x) {
            const int col = x * img.width / w;
            const std::uint8_t* p = img.row(row);
            QRgb c;
            switch (img.type) {
            case mv::IMAGE_BINARY: c = (p[col >> 3] & (0x80 >> (col & 7))) ? qRgb(255, 255, 255) : qRgb(0, 0, 0); break;
            case mv::IMAGE_GRAY: c = qRgb(p[col], p[col], p[col]); break;
            case mv::IMAGE_COLOR: c = qRgb(p[3 * col + 2], p[3 * col + 1], p[3 * col]); break;
            case mv::IMAGE_GRAY16: {
                const int v = img.row16(row)[col] >> 8;
                c = qRgb(v, v, v);
                break;
            }
            default: {
                const std::uint16_t* q = img.row16(row) + 3 * col;
                c = qRgb(q[2] >> 8, q[1] >> 8, q[0] >> 8);
                break;
            }
            }
            thumb.setPixel(ox + x, oy + y, c);
        }
    }
    return QPixmap::fromImage(thumb);
}

int show_image_menu(QWidget* parent, const QPoint& at, const QString& first,
                    const QList<ImageWindow*>& candidates)
{
    QMenu menu(parent);
    QList<QAction*> actions;
    if (!first.isEmpty())
        actions.append(menu.addAction(first));
    for (ImageWindow* w : candidates)
        actions.append(menu.addAction(QIcon(image_thumbnail(w, 32)), w->windowTitle()));
    QAction* chosen = menu.exec(at);
    return chosen ? int(actions.indexOf(chosen)) : -1;
}
