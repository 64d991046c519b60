#include "shell/picture_image.h"

#include "core/image.h"
#include "tone/value_tables.h"

#include <algorithm>

QImage picture_to_qimage(const mv::Image& image, QSize limit)
{
    if (image.type == mv::IMAGE_SINGLE_COLOR && !image.empty()) {
        const std::uint8_t* c = image.row(0);
        QImage swatch(limit.isEmpty() ? QSize(64, 64) : limit, QImage::Format_RGB32);
        swatch.fill(QColor(c[2], c[1], c[0]));
        return swatch;
    }
    if (!mv::is_picture_type(image.type) || image.empty())
        return {};
    int w = image.width, h = image.height;
    if (!limit.isEmpty() && (w > limit.width() || h > limit.height())) {
        const QSize fitted = QSize(w, h).scaled(limit, Qt::KeepAspectRatio);
        w = std::max(1, fitted.width());
        h = std::max(1, fitted.height());
    }
    QImage out(w, h, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    std::vector<int> columns(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x)
        columns[size_t(x)] = int(static_cast<long long>(x) * image.width / w);
    const std::uint8_t* narrow = mv::value_tables().narrow16;
    for (int y = 0; y < h; ++y) {
        // Row 0 of a picture is its bottom row; QImage rows run from the top.
        const int source = image.height - 1 - int(static_cast<long long>(y) * image.height / h);
        const std::uint8_t* row = image.row(source);
        const std::uint16_t* row16 = image.row16(source);
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int c = columns[size_t(x)];
            switch (image.type) {
            case mv::IMAGE_BINARY: {
                const int v = (row[c >> 3] >> (7 - (c & 7))) & 1 ? 255 : 0;
                line[x] = qRgb(v, v, v);
                break;
            }
            case mv::IMAGE_GRAY: line[x] = qRgb(row[c], row[c], row[c]); break;
            case mv::IMAGE_COLOR: line[x] = qRgb(row[3 * c + 2], row[3 * c + 1], row[3 * c]); break;
            case mv::IMAGE_GRAY16: {
                const int v = narrow[row16[c]];
                line[x] = qRgb(v, v, v);
                break;
            }
            default:
                line[x] = qRgb(narrow[row16[3 * c + 2]], narrow[row16[3 * c + 1]], narrow[row16[3 * c]]);
                break;
            }
        }
    }
    return out;
}
