// Small helpers shared by the geometry panels.
#pragma once

#include "transform/operation.h"

#include <QList>
#include <QPair>
#include <QPoint>
#include <QPointF>
#include <string>

class ImageWindow;
class QPainter;
class TransformationWindow;

namespace panel_support {

// The index of the catalogue control with `key`, or -1.
int param_index(const mv::Operation& op, const char* key);

// Hides every control the window laid out from the catalogue.
void hide_generic_controls(TransformationWindow* window);

// Sets several values with one recomputation. Panels of transformations that change the
// picture's size call this: when the output size differs from the preview's, the preview is
// made again at the new size (at once with "Auto" on, else on the next "Preview").
void set_values(TransformationWindow* window, const QList<QPair<int, int>>& numbers,
                const QList<QPair<int, std::string>>& texts = {});

// The window point at the centre of picture pixel (x, y), counted from the top-left.
QPointF window_point(const ImageWindow* w, double x, double y);
// The picture pixel under a window point, held to the picture, from the top-left.
QPoint picture_point(const ImageWindow* w, int x, int y);

} // namespace panel_support
