// Draws a window record's display image: straight from its row chunks (stored bottom-up),
// binary and gray through the display lookup tables, with the border colour in the bands
// around a centred picture.
#pragma once

#include <QRect>

class QPainter;

namespace mv {
struct WindowRecord;
}

// Paints the display image at (left, top) within `area`, limited to `dirty`.
void paint_display_image(QPainter& p, const mv::WindowRecord& r, const QRect& area, const QRect& dirty,
                         int left, int top);
