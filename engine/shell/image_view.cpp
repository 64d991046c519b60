#include "image_view.h"

#include "core/format.h"
#include "core/image.h"

#include <algorithm>

namespace mv {

int zoomed_length(int length, int zoom)
{
    if (zoom >= 1)
        return length * zoom;
    const int n = -zoom;
    return (length + n - 1) / n;
}

int zoom_step_in(int zoom)
{
    return zoom == -2 ? 1 : zoom + 1;
}

int zoom_step_out(int zoom)
{
    return zoom == 1 ? -2 : zoom - 1;
}

std::string image_window_title(std::string_view path, int index, int type, int zoom, bool preview)
{
    std::string base = preview          ? std::string("Preview")
                       : !path.empty()  ? std::string(path)
                                        : format_text("Untitled %d", index + 1);
    if (is_picture_type(type))
        base = zoom >= 1 ? format_text("%s (%d:1)", base, zoom) : format_text("%s (1:%d)", base, -zoom);
    if (base.size() > kPathMaxLength)
        base.resize(kPathMaxLength);
    return base;
}

ScrollBarsNeeded scrollbar_deduction(int dw, int dh, int& target_w, int& target_h,
                                     int scrollbar_w, int scrollbar_h)
{
    ScrollBarsNeeded bars;
    if (dw > target_w) {
        bars.horizontal = true;
        target_h = std::max(0, target_h - scrollbar_h);
    }
    if (dh > target_h) {
        bars.vertical = true;
        target_w = std::max(0, target_w - scrollbar_w);
        if (dw > target_w && !bars.horizontal) {
            bars.horizontal = true;
            target_h = std::max(0, target_h - scrollbar_h);
        }
    }
    return bars;
}

VisibleOutcome view_visible_size(WindowRecord& r, const ViewMetrics& m, bool shrink, bool grow)
{
    if (!m.normal_state)
        shrink = grow = false;
    const int dw = zoomed_length(r.image.width, r.zoom);
    const int dh = zoomed_length(r.image.height, r.zoom);
    const int b2 = 2 * m.border;
    const int aw = std::max(0, m.client_width - b2), ah = std::max(0, m.client_height - b2);
    VisibleOutcome out;
    if ((shrink || grow) && dw == aw && dh == ah) {
        r.visible_width = dw;
        r.visible_height = dh;
        return out;
    }
    if (shrink && dw < aw && dh < ah) {
        out = {true, dw + b2, dh + b2};
        r.visible_width = dw;
        r.visible_height = dh;
        return out;
    }
    int tw = aw, th = ah;
    if (grow) {
        tw = std::min(dw, std::max(0, m.area_width - m.frame_width - b2));
        th = std::min(dh, std::max(0, m.area_height - m.frame_height - b2));
        out = {true, tw + b2, th + b2};
    }
    scrollbar_deduction(dw, dh, tw, th, m.scrollbar_width, m.scrollbar_height);
    r.visible_width = std::min(dw, tw);
    r.visible_height = std::min(dh, th);
    return out;
}

namespace {

// An image column (or row from the top) in display pixels.
int to_display(int v, int zoom)
{
    return zoom >= 1 ? v * zoom : v / -zoom;
}

int axis_position(int old_pos, int old_max, int new_max, int visible, std::optional<int> centre,
                  int zoom)
{
    if (new_max == 0)
        return 0;
    int pos;
    if (centre)
        pos = std::clamp(to_display(*centre, zoom) - visible / 2, 0, new_max);
    else if (old_max > 0)
        pos = int((long long)old_pos * new_max / old_max);
    else
        pos = new_max / 2;
    if (zoom >= 2)
        pos -= pos % zoom;
    return pos;
}

} // namespace

void view_scroll_setup(WindowRecord& r, const std::optional<ImagePoint>& centre)
{
    const int dw = zoomed_length(r.image.width, r.zoom);
    const int dh = zoomed_length(r.image.height, r.zoom);
    const int max_x = std::max(0, dw - r.visible_width);
    const int max_y = std::max(0, dh - r.visible_height);
    if (max_x == 0 && max_y == 0) {
        r.scroll_max_x = r.scroll_max_y = 0;
        r.display_rect = {0, 0, dw - 1, dh - 1};
        view_shown_rect(r);
        return;
    }
    std::optional<int> cx, cy;
    if (centre) {
        cx = centre->column;
        cy = r.image.height - 1 - centre->row;
    }
    const int x = axis_position(r.display_rect.left, r.scroll_max_x, max_x, r.visible_width, cx, r.zoom);
    const int y = axis_position(r.display_rect.top, r.scroll_max_y, max_y, r.visible_height, cy, r.zoom);
    r.scroll_max_x = max_x;
    r.scroll_max_y = max_y;
    r.display_rect = {x, y, x + r.visible_width - 1, y + r.visible_height - 1};
    view_shown_rect(r);
}

void view_shown_rect(WindowRecord& r)
{
    const IntRect& d = r.display_rect;
    IntRect s;
    if (r.zoom <= -2) {
        const int n = -r.zoom;
        s = {d.left * n, d.top * n, (d.right + 1) * n - 1, (d.bottom + 1) * n - 1};
    } else {
        const int z = r.zoom;
        s = {d.left / z, d.top / z, (d.right + 1) / z, (d.bottom + 1) / z};
    }
    s.right = std::min(s.right, r.image.width - 1);
    s.bottom = std::min(s.bottom, r.image.height - 1);
    r.shown = s;
}

bool view_hbar_shown(const WindowRecord& r)
{
    return r.scroll_max_x > 0;
}

bool view_vbar_shown(const WindowRecord& r)
{
    return r.scroll_max_y > 0;
}

void view_centring(WindowRecord& r, const ViewMetrics& m)
{
    const int cw = m.client_width - (view_vbar_shown(r) ? m.scrollbar_width : 0);
    const int ch = m.client_height - (view_hbar_shown(r) ? m.scrollbar_height : 0);
    r.centre_left = std::max(0, (cw - r.visible_width) / 2);
    r.centre_top = std::max(0, (ch - r.visible_height) / 2);
}

int scroll_line(int visible)
{
    return visible / 8;
}

int scroll_page(int visible)
{
    return visible * 7 / 8;
}

int scroll_position(const WindowRecord& r, ScrollAxis axis)
{
    return axis == ScrollAxis::kHorizontal ? r.display_rect.left : r.display_rect.top;
}

bool view_scroll_to(WindowRecord& r, ScrollAxis axis, int position)
{
    const bool h = axis == ScrollAxis::kHorizontal;
    int pos = std::clamp(position, 0, h ? r.scroll_max_x : r.scroll_max_y);
    if (r.zoom >= 2)
        pos -= pos % r.zoom;
    if (pos == scroll_position(r, axis))
        return false;
    if (h)
        r.display_rect = {pos, r.display_rect.top, pos + r.visible_width - 1, r.display_rect.bottom};
    else
        r.display_rect = {r.display_rect.left, pos, r.display_rect.right, pos + r.visible_height - 1};
    view_shown_rect(r);
    return true;
}

// The display image shows, in its row yy from the top, the picture row (from the top)
// (display top + yy) / z at magnification and (display top + yy) * N at reduction, and the
// same across; display positions at magnification are multiples of z, so both mappings
// below are exact inverses of that sampling.
ImagePoint window_to_image(const WindowRecord& r, int x, int y, bool clamp)
{
    const int dx = x - r.centre_left, dy = y - r.centre_top;
    int column, t;
    if (r.zoom >= 2) {
        const auto floor_div = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
        column = r.shown.left + floor_div(dx, r.zoom);
        t = r.shown.top + floor_div(dy, r.zoom);
    } else if (r.zoom <= -2) {
        column = r.shown.left + dx * -r.zoom;
        t = r.shown.top + dy * -r.zoom;
    } else {
        column = r.shown.left + dx;
        t = r.shown.top + dy;
    }
    ImagePoint p{column, r.image.height - 1 - t};
    if (clamp) {
        p.column = std::clamp(p.column, 0, std::max(0, r.image.width - 1));
        p.row = std::clamp(p.row, 0, std::max(0, r.image.height - 1));
    }
    return p;
}

void image_to_window(const WindowRecord& r, ImagePoint p, int& x, int& y)
{
    const int t = r.image.height - 1 - p.row;
    if (r.zoom >= 2) {
        x = r.centre_left + (p.column - r.shown.left) * r.zoom;
        y = r.centre_top + (t - r.shown.top) * r.zoom;
    } else if (r.zoom <= -2) {
        x = r.centre_left + (p.column - r.shown.left) / -r.zoom;
        y = r.centre_top + (t - r.shown.top) / -r.zoom;
    } else {
        x = r.centre_left + p.column - r.shown.left;
        y = r.centre_top + t - r.shown.top;
    }
}

namespace {

int fits_area_width(const ViewMetrics& m)
{
    return m.area_width - m.frame_width - 2 * m.border;
}

int fits_area_height(const ViewMetrics& m)
{
    return m.area_height - m.frame_height - 2 * m.border;
}

bool fits(int zoom, int width, int height, const ViewMetrics& m)
{
    return zoomed_length(width, zoom) <= fits_area_width(m) &&
           zoomed_length(height, zoom) <= fits_area_height(m);
}

int shrink_to_fit(int zoom, int width, int height, const ViewMetrics& m)
{
    // A reduction by the larger side always gives a 1-pixel picture: the loop ends there.
    const int smallest = -std::max({2, width, height});
    while (!fits(zoom, width, height, m) && zoom > smallest)
        zoom = zoom_step_out(zoom);
    return zoom;
}

} // namespace

int initial_zoom(int width, int height, const ViewMetrics& m)
{
    return shrink_to_fit(1, width, height, m);
}

int expand_zoom(int zoom, int width, int height, const ViewMetrics& m)
{
    const int largest = std::max(1, 4 * std::max(fits_area_width(m), fits_area_height(m)));
    while (zoomed_length(width, zoom) < fits_area_width(m) &&
           zoomed_length(height, zoom) < fits_area_height(m) && zoom < largest)
        zoom = zoom_step_in(zoom);
    return shrink_to_fit(zoom, width, height, m);
}

int fit_zoom(int zoom, int width, int height, const ViewMetrics& m)
{
    return shrink_to_fit(zoom, width, height, m);
}

VisibleOutcome view_apply_zoom(WindowRecord& r, const ViewMetrics& m, bool shrink, bool grow,
                               const std::optional<ImagePoint>& centre)
{
    const VisibleOutcome out = view_visible_size(r, m, shrink, grow);
    view_scroll_setup(r, centre);
    view_centring(r, m);
    return out;
}

bool view_refit(WindowRecord& r, const ViewMetrics& m)
{
    const IntRect before = r.display_rect;
    view_visible_size(r, m, false, false);
    view_scroll_setup(r, std::nullopt);
    view_centring(r, m);
    const IntRect& after = r.display_rect;
    return before.left != after.left || before.top != after.top || before.right != after.right ||
           before.bottom != after.bottom;
}

void view_reset(WindowRecord& r)
{
    r.zoom = r.zoom == 0 || r.zoom == -1 ? 1 : r.zoom;
    r.display_rect = {0, 0, r.image.width - 1, r.image.height - 1};
    r.shown = r.display_rect;
    r.visible_width = r.image.width;
    r.visible_height = r.image.height;
    r.scroll_max_x = r.scroll_max_y = 0;
}

} // namespace mv
