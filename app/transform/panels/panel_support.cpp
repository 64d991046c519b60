#include "transform/panels/panel_support.h"

#include "shell/image_view.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "transform/preview_window.h"
#include "transform/transformation_window.h"

#include <algorithm>
#include <cmath>

namespace panel_support {

int param_index(const mv::Operation& op, const char* key)
{
    for (size_t i = 0; i < op.params.size(); ++i)
        if (op.params[i].key == key)
            return int(i);
    return -1;
}

void hide_generic_controls(TransformationWindow* window)
{
    for (int i = 0; i < int(window->operation().params.size()); ++i)
        if (QWidget* c = window->paramControl(i))
            c->hide();
}

void set_values(TransformationWindow* window, const QList<QPair<int, int>>& numbers,
                const QList<QPair<int, std::string>>& texts)
{
    // With "Auto" on every single change would recompute: switch it off meanwhile and on
    // again at the end, which recomputes once.
    const bool autoOn = window->state().auto_on;
    if (autoOn)
        window->press(mv::kButtonAuto);
    const int width = window->state().output_width, height = window->state().output_height;
    for (const auto& [param, value] : numbers)
        if (param >= 0)
            window->setValue(param, value);
    for (const auto& [param, text] : texts)
        if (param >= 0)
            window->setText(param, text);
    const bool resized = width != window->state().output_width || height != window->state().output_height;
    if (resized && window->preview())
        window->preview()->close();
    if (autoOn)
        window->press(mv::kButtonAuto);
}

QPointF window_point(const ImageWindow* w, double x, double y)
{
    const mv::WindowRecord& r = w->record();
    const int column = int(std::floor(x)), top = int(std::floor(y));
    int wx = 0, wy = 0;
    mv::image_to_window(r, mv::ImagePoint{column, r.image.height - 1 - top}, wx, wy);
    const double scale = r.zoom >= 1 ? r.zoom : 1.0 / -r.zoom;
    return QPointF(wx + (x - column) * scale, wy + (y - top) * scale);
}

QPoint picture_point(const ImageWindow* w, int x, int y)
{
    const mv::WindowRecord& r = w->record();
    const mv::ImagePoint at = mv::window_to_image(r, x, y, true);
    return QPoint(std::clamp(at.column, 0, r.image.width - 1),
                  std::clamp(r.image.height - 1 - at.row, 0, r.image.height - 1));
}

} // namespace panel_support
