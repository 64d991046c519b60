// A slide picture or thumbnail (8-bit gray or 24-bit colour, bottom row first) as a QImage,
// shared by the editor's slide strip and summary and by the viewer.
#pragma once

#include "core/image.h"

#include <QImage>

#include <algorithm>

// A null QImage for any other pixel type.
inline QImage slide_picture_to_qimage(const mv::Image& image)
{
    if ((image.type != mv::IMAGE_GRAY && image.type != mv::IMAGE_COLOR) || image.width <= 0 ||
        image.height <= 0)
        return {};
    const bool gray = image.type == mv::IMAGE_GRAY;
    QImage out(image.width, image.height, gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (out.isNull())
        return {};
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* s = image.row(image.height - 1 - y); // row 0 is the bottom row
        std::uint8_t* d = out.scanLine(y);
        if (gray) {
            std::copy(s, s + image.width, d);
            continue;
        }
        for (int x = 0; x < image.width; ++x, s += 3, d += 3) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    }
    return out;
}
