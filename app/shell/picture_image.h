// A picture as a QImage for printing, thumbnails and the blink window: nearest sampling down
// to a size limit, 16-bit samples narrowed to 8 bits, no display calibration.
#pragma once

#include <QImage>
#include <QSize>

namespace mv {
struct Image;
}

// The picture scaled (keeping its proportions, never enlarged) to fit `limit`; an empty
// limit keeps the full size. A single-colour pseudo-image gives a swatch of the limit (or
// 64 x 64); a histogram or an empty record gives a null QImage.
QImage picture_to_qimage(const mv::Image& image, QSize limit = QSize());
