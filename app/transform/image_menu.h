// The menu of image windows shown by the input selector and the Amount control: a thumbnail
// and the title of each candidate, with an optional first entry ("No Mask", "Select Solid
// Color").
#pragma once

#include <QList>
#include <QString>
#include <functional>

class ImageWindow;
class QPoint;
class QWidget;
class QPixmap;

// The image windows a control may choose from, in window order.
using ImageWindowSource = std::function<QList<ImageWindow*>()>;

// A small picture of the window's Image, `side` pixels square at most.
QPixmap image_thumbnail(const ImageWindow* window, int side);

// Shows the menu at `at`; returns the chosen entry: 0 for the first entry when `first` is not
// empty, candidates from 1 on (from 0 when there is no first entry), -1 when dismissed.
int show_image_menu(QWidget* parent, const QPoint& at, const QString& first,
                    const QList<ImageWindow*>& candidates);
