#include "transform/panels/mirror_rotate_panel.h"

#include "core/error.h"
#include "filters/mirror_rotate.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "transform/panels/panel_support.h"
#include "transform/transformation_window.h"

#include <QGridLayout>
#include <QImage>
#include <QPainter>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kThumb = 128;
constexpr int kFrame = 3;

// A thumbnail picture on the screen (rows are stored from the bottom; colour as blue,
// green, red; 16-bit samples shown by their high byte).
QImage to_qimage(const mv::Image& img)
{
    QImage out(std::max(img.width, 1), std::max(img.height, 1), QImage::Format_RGB888);
    out.fill(QColor(128, 128, 128));
    for (int y = 0; y < img.height; ++y) {
        const std::uint8_t* p = img.row(img.height - 1 - y);
        std::uint8_t* d = out.scanLine(y);
        for (int x = 0; x < img.width; ++x) {
            int r, g, b;
            switch (img.type) {
            case mv::IMAGE_BINARY: r = g = b = (p[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0; break;
            case mv::IMAGE_GRAY: r = g = b = p[x]; break;
            case mv::IMAGE_COLOR: b = p[3 * x], g = p[3 * x + 1], r = p[3 * x + 2]; break;
            case mv::IMAGE_GRAY16: r = g = b = reinterpret_cast<const std::uint16_t*>(p)[x] >> 8; break;
            default: {
                const std::uint16_t* q = reinterpret_cast<const std::uint16_t*>(p) + 3 * x;
                b = q[0] >> 8, g = q[1] >> 8, r = q[2] >> 8;
                break;
            }
            }
            d[3 * x] = std::uint8_t(r);
            d[3 * x + 1] = std::uint8_t(g);
            d[3 * x + 2] = std::uint8_t(b);
        }
    }
    return out;
}

} // namespace

MirrorRotatePanel::MirrorRotatePanel(TransformationWindow* window) : OperationPanel(window)
{
    panel_support::hide_generic_controls(window);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    const QStringList tips{tr("Copy"), tr("Rotate 90 CCW"), tr("Rotate 180"), tr("Rotate 90 CW"),
                           tr("Mirror"), tr("Reflect Anti-Diagonal"), tr("Flip"), tr("Reflect Diagonal")};
    for (int i = 0; i < 8; ++i) {
        auto* b = new QToolButton(this);
        b->setFixedSize(kThumb + 2 * kFrame, kThumb + 2 * kFrame);
        b->setIconSize(QSize(kThumb + 2 * kFrame, kThumb + 2 * kFrame));
        b->setAutoRaise(true);
        b->setToolTip(tips[i]);
        connect(b, &QToolButton::clicked, this, [this, i] { select(mv::kOrientFirst + i); });
        grid->addWidget(b, i / 4, i % 4);
        buttons_[i] = b;
    }
    rebuildThumbnails();
}

int MirrorRotatePanel::selection() const
{
    return mv::kOrientFirst + window()->values().numbers[0];
}

void MirrorRotatePanel::select(int orientation)
{
    if (orientation < mv::kOrientFirst || orientation > mv::kOrientLast)
        return;
    panel_support::set_values(window(), {{0, orientation - mv::kOrientFirst}});
    showSelection();
}

void MirrorRotatePanel::inputChanged()
{
    rebuildThumbnails();
}

void MirrorRotatePanel::rebuildThumbnails()
{
    ImageWindow* in = window()->input();
    if (!in)
        return;
    if (const int err = mv::orientation_thumbnails(in->record().image, thumbs_))
        mv::error_box(err);
    showSelection();
}

void MirrorRotatePanel::showSelection()
{
    const int selected = selection() - mv::kOrientFirst;
    for (int i = 0; i < 8; ++i) {
        QPixmap cell(kThumb + 2 * kFrame, kThumb + 2 * kFrame);
        cell.fill(QColor(128, 128, 128));
        QPainter p(&cell);
        const QImage picture = to_qimage(thumbs_[i]);
        const int w = thumbs_[i].empty() ? 0 : picture.width(), h = thumbs_[i].empty() ? 0 : picture.height();
        const QRect at(kFrame + (kThumb - w) / 2, kFrame + (kThumb - h) / 2, w, h);
        if (w > 0)
            p.drawImage(at, picture);
        p.setPen(QPen(i == selected ? QColor(255, 0, 0) : QColor(192, 192, 192), kFrame));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(kFrame / 2.0, kFrame / 2.0, kThumb + kFrame, kThumb + kFrame));
        p.end();
        buttons_[i]->setIcon(QIcon(cell));
    }
}
