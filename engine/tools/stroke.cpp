#include "stroke.h"

#include "core/util.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mv {

void tool_result_add(ToolResult& r, WindowHandle window, int first_column, int first_row,
                     int last_column, int last_row)
{
    if (first_column > last_column || first_row > last_row)
        return;
    if (!r.changed) {
        r.first_column = first_column;
        r.first_row = first_row;
        r.last_column = last_column;
        r.last_row = last_row;
    } else {
        r.first_column = std::min(r.first_column, first_column);
        r.first_row = std::min(r.first_row, first_row);
        r.last_column = std::max(r.last_column, last_column);
        r.last_row = std::max(r.last_row, last_row);
    }
    r.window = window;
    r.changed = true;
}

int stroke_step(double spacing, double radius)
{
    const double v = spacing * radius;
    if (!std::isfinite(v))
        return 1;
    const long long step = round_nearest(std::min(v, 1e6));
    return step < 1 ? 1 : int(step);
}

void stroke_points(int x0, int y0, int x1, int y1, int step, std::vector<StrokePoint>& out)
{
    out.clear();
    if (x0 == -1 && y0 == -1) {
        out.push_back({x1, y1});
        return;
    }
    const long long dx = (long long)x1 - x0, dy = (long long)y1 - y0;
    long long n = std::max(std::llabs(dx), std::llabs(dy)) / std::max(step, 1);
    if (n < 1)
        n = 1;
    out.reserve(size_t(n));
    for (long long i = 1; i <= n; ++i)
        out.push_back({int(x0 + dx * i / n), int(y0 + dy * i / n)});
}

bool stamp_rect(const Image& image, int x, int y, int brush_width, int brush_height,
                int& first_column, int& first_row, int& last_column, int& last_row)
{
    const int hw = (brush_width + 1) / 2, hh = (brush_height + 1) / 2;
    first_column = std::max(x - hw, 0);
    last_column = std::min(x + hw, image.width - 1);
    first_row = std::max(y - hh, 0);
    last_row = std::min(y + hh, image.height - 1);
    return first_column <= last_column && first_row <= last_row;
}

const Image* usable_mask(const Image* mask, const Image& image)
{
    if (!mask || mask->type != IMAGE_GRAY || mask->empty() || mask->width != image.width ||
        mask->height != image.height)
        return nullptr;
    return mask;
}

} // namespace mv
